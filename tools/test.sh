#!/usr/bin/env bash
# Builds everything (installing what is missing) in ./build and runs every test
# on loopback only (see run-tests.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
tools/build.sh
exec tools/run-tests.sh build "$@"
