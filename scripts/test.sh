#!/usr/bin/env bash
# Builds everything and runs every test.  --sanitize builds a separate tree
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs the same tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"

build="$root/build"
extra=()
if [ "${1:-}" = "--sanitize" ]; then
  build="$root/build-asan"
  extra=(-DRCV_SANITIZE=ON -DRCV_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
fi
jobs=$(nproc)
cmake -S "$root" -B "$build" -G Ninja "${extra[@]}"
cmake --build "$build" -j "$jobs"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build"
ctest --output-on-failure -j "$jobs" --timeout 600
