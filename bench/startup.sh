#!/usr/bin/env bash
# Start-up benchmark: from launch to the window on the screen, the program's
# table against a bare Qt 6 window of the same size, under Xvfb with a window
# manager (openbox, when installed). Each is run once to warm the caches, then
# the two take turns for the given number of runs; the medians of the time and
# of the peak memory (resident set) are printed side by side.
# Usage: bench/startup.sh [runs] (default 7), after a build. Needs Xvfb and
# /usr/bin/time; BENCH_DISPLAY picks the display (else the first free from :50).
# The programs run in a network namespace that has only the loopback interface.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
program=build/mirvo-vorla
bare=build/bench/bench_bare_window
for f in "$program" "$bare"; do
  [ -x "$f" ] || { echo "build first: $f is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

display=${BENCH_DISPLAY:-}
if [ -z "$display" ]; then
  for n in $(seq 50 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
  done
fi
[ -e "/tmp/.X11-unix/X${display#:}" ] && { echo "display $display is in use" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 200); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
if command -v openbox >/dev/null; then
  DISPLAY=$display openbox >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 200); do
    DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
    sleep 0.05
  done
fi

mkdir -m 700 "$work/config" "$work/cache" "$work/runtime"
export DISPLAY=$display XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
export MIRVO_STARTUP_PROBE=1 MIRVO_SOUND_DEVICE=null

# Prints "name microseconds kilobytes" for each run after the warm-up.
runAll() {
  ip link set lo up
  for i in $(seq 0 "$runs"); do
    for name in program bare; do
      [ $name = program ] && exe=$program || exe=$bare
      start=$(date +%s%N)
      /usr/bin/time -f %M -o "$work/rss" timeout 20 "$exe" >/dev/null 2>&1
      end=$(date +%s%N)
      [ "$i" -gt 0 ] && echo "$name $(( (end - start) / 1000 )) $(cat "$work/rss")"
    done
  done
}
export -f runAll
export runs program bare work
ns=(-n)
[ "$(id -u)" -ne 0 ] && ns=(-r -n)
unshare "${ns[@]}" -- bash -c runAll >"$work/runs"

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
summary() {
  t=$(awk -v n="$1" '$1 == n { print $2 }' "$work/runs" | median)
  m=$(awk -v n="$1" '$1 == n { print $3 }' "$work/runs" | median)
  echo "$t $m"
}
read -r pt pm <<<"$(summary program)"
read -r bt bm <<<"$(summary bare)"
awk -v runs="$runs" -v pt="$pt" -v pm="$pm" -v bt="$bt" -v bm="$bm" 'BEGIN {
  printf "launch to window shown, median of %d runs under Xvfb:\n", runs
  printf "  mirvo-vorla      %6.1f ms  peak %5.1f MB\n", pt / 1000, pm / 1024
  printf "  bare Qt window   %6.1f ms  peak %5.1f MB\n", bt / 1000, bm / 1024
  printf "  difference       %+6.1f ms       %+5.1f MB\n", (pt - bt) / 1000, (pm - bm) / 1024 }'
