#!/usr/bin/env bash
# Instructions spent on a flood from the peer (bench/message_flood.cpp), per
# received byte, as the flood doubles: linear work keeps the cost of each
# further byte (the last column) flat.
# Usage: bench/message_flood.sh [smallest bytes] (default 131072), after a build;
# needs valgrind.
set -euo pipefail
cd "$(dirname "$0")/.."
program=build/bench/bench_message_flood
[ -x "$program" ] || { echo "build first: $program is missing" >&2; exit 1; }
smallest=${1:-131072}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
printf '%-8s %10s %16s %10s %14s\n' flood bytes instructions "per byte" "further byte"
for kind in line lines keywords unread nudges; do
  previous=0
  for factor in 1 2 4 8; do
    bytes=$((smallest * factor))
    QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --toggle-collect=feedFlood \
      --callgrind-out-file="$out" "$program" "$kind" "$bytes" >/dev/null 2>&1
    total=$(awk '/^(summary|totals):/ { print $2; exit }' "$out")
    awk -v k="$kind" -v b="$bytes" -v t="$total" -v p="$previous" \
      'BEGIN { printf "%-8s %10d %16.0f %10.1f %14s\n", k, b, t, t / b, p ? sprintf("%.1f", (t - p) / (b / 2)) : "" }'
    previous=$total
  done
done
