#!/usr/bin/env bash
# Configures and builds the program and its tests: in ./build, or in the folder
# given first, with any further arguments passed to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift $(( $# > 0 ? 1 : 0 ))
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
