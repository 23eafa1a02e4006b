#!/usr/bin/env bash
# Builds everything (installing what is missing) and runs every test, inside a
# private network namespace that has only the loopback interface, so no test can
# reach any other address and the game's fixed ports collide with nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
tools/build.sh
NS_FLAGS=(-n)
[ "$(id -u)" -ne 0 ] && NS_FLAGS=(-r -n)
exec unshare "${NS_FLAGS[@]}" -- bash -c '
  ip link set lo up
  cd build
  QT_QPA_PLATFORM=offscreen MIRVO_PACE=0 ctest --output-on-failure -j"$(nproc)" "$@"
' ctest "$@"
