#!/usr/bin/env bash
# Runs every test of a build folder (the first argument; further arguments go to
# ctest) inside a private network namespace that has only the loopback
# interface, so no test can reach any other address and the game's fixed ports
# collide with nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"
shift
NS_FLAGS=(-n)
[ "$(id -u)" -ne 0 ] && NS_FLAGS=(-r -n)
exec unshare "${NS_FLAGS[@]}" -- bash -c '
  ip link set lo up
  cd "$1"
  shift
  QT_QPA_PLATFORM=offscreen MIRVO_PACE=0 ctest --output-on-failure -j"$(nproc)" "$@"
' ctest "$dir" "$@"
