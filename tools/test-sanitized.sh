#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in
# ./build-asan and runs every test there on loopback only (see run-tests.sh).
# The run fails on any report: an address or leak report of any process, also
# one a test starts, is kept in a file and fails the run; an undefined-behaviour
# report ends the process that made it. The only leaks let through are those
# inside Qt and the system's libraries, listed in tools/sanitizers/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
SAN="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
ASAN="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
UBSAN="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tools/sanitizers/lsan.supp:print_suppressions=0"
# The build runs a tool of its own, so it is checked too.
ASAN_OPTIONS="$ASAN" UBSAN_OPTIONS="$UBSAN" \
  tools/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DCMAKE_CXX_FLAGS="$SAN" -DCMAKE_EXE_LINKER_FLAGS="$SAN" \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON

# Every process writes its address and leak reports to a file of its own here.
logs="$PWD/build-asan/sanitizer-reports"
rm -rf "$logs"
mkdir -p "$logs"
export ASAN_OPTIONS="$ASAN:log_path=$logs/asan"
export UBSAN_OPTIONS="$UBSAN"
status=0
tools/run-tests.sh build-asan "$@" || status=$?
for report in "$logs"/*; do
  [ -e "$report" ] || continue
  echo "==== $report"
  cat "$report"
  status=1
done
exit "$status"
