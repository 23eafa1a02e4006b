#!/usr/bin/env bash
# Start-up time: from the process's start to the table window shown, offscreen,
# the median of several runs. Usage: bench/startup.sh [runs] (after a build).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$settings" MIRVO_STARTUP_PROBE=1 MIRVO_SOUND_DEVICE=null \
    build/mirvo-vorla >/dev/null 2>&1
  echo $(( ($(date +%s%N) - start) / 1000 ))
done | sort -n | awk '{ t[NR] = $1 } END {
  m = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
  printf "start-up to the table shown: median %.1f ms over %d runs (min %.1f, max %.1f)\n", m / 1000, NR, t[1] / 1000, t[NR] / 1000 }'
