#!/usr/bin/env bash
# Builds one fuzz target with clang in ./build-fuzz and runs it, with no network,
# for the given seconds (60 unless told) from its seed corpus in fuzz/corpus.
# Inputs it finds go to build-fuzz/corpus/<target>, failing inputs to
# build-fuzz/findings/<target>/; further arguments go to libFuzzer.
#   tools/fuzz.sh messagereader 900
#   build-fuzz/fuzz_messagereader build-fuzz/findings/messagereader/crash-...   (replays one input)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 1 ]; then
  echo "usage: $0 <target> [seconds] [libFuzzer options...]; targets: $(cd fuzz && ls ./*.cpp | sed 's|./||; s|\.cpp||' | tr '\n' ' ')" >&2
  exit 2
fi
target="$1"
seconds="${2:-60}"
shift $(( $# > 1 ? 2 : 1 ))
cmake -S . -B build-fuzz -DMIRVO_FUZZ=ON -DMIRVO_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >/dev/null
cmake --build build-fuzz -j4 --target "fuzz_$target"
corpus="build-fuzz/corpus/$target"
findings="build-fuzz/findings/$target"
mkdir -p "$corpus" "$findings"
export QT_QPA_PLATFORM=offscreen
exec unshare -rn "build-fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
  -artifact_prefix="$findings/" "$@" "$corpus" "fuzz/corpus/$target"
