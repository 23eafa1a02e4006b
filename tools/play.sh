#!/usr/bin/env bash
# Builds the game (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
tools/build.sh
cd build && exec ./mirvo-vorla "$@"
