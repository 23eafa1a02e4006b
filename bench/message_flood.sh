#!/usr/bin/env bash
# Instructions spent on a flood from the peer (bench/message_flood.cpp), per
# received byte, as the flood doubles: linear work keeps the figure flat.
# Usage: bench/message_flood.sh [smallest bytes] (default 131072), after a build;
# needs valgrind.
set -euo pipefail
cd "$(dirname "$0")/.."
program=build/bench/bench_message_flood
[ -x "$program" ] || { echo "build first: $program is missing" >&2; exit 1; }
smallest=${1:-131072}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
printf '%-7s %10s %16s %12s\n' flood bytes instructions "per byte"
for kind in line lines nudges; do
  for factor in 1 2 4 8; do
    bytes=$((smallest * factor))
    QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --toggle-collect=feedFlood \
      --callgrind-out-file="$out" "$program" "$kind" "$bytes" >/dev/null 2>&1
    total=$(awk '/^(summary|totals):/ { print $2; exit }' "$out")
    awk -v k="$kind" -v b="$bytes" -v t="$total" 'BEGIN { printf "%-7s %10d %16d %12.1f\n", k, b, t, t / b }'
  done
done
