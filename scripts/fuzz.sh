#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (every layer instrumented), writes
# their seed corpora from the sample data, and runs each target for a while.
#
#   scripts/fuzz.sh [seconds] [target ...]
#
# seconds: how long each target runs (default 600). Targets are the names
# after "fuzz_" (default: all of them). RCV_FUZZ_JOBS targets run at once
# (default 3); RCV_FUZZ_BUILD is the build folder (default <repo>/build-fuzz).
# Each target's corpus grows in <build>/fuzz-corpus/<target>, its log is
# <build>/fuzz-logs/<target>.log, and what it finds lands in
# <build>/fuzz-findings/<target>/. Prints each run's final status line and
# exits 1 when any run found something.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${RCV_FUZZ_BUILD:-$root/build-fuzz}
seconds=${1:-600}
[ $# -gt 0 ] && shift
jobs=${RCV_FUZZ_JOBS:-3}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DRCV_TESTS=OFF -DRCV_BENCH=OFF -DRCV_FUZZ=ON > /dev/null ||
  exit 1
cmake --build "$build" -j"$jobs" || exit 1

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/tools/fuzz/fuzz_*; do
    name=$(basename "$exe")
    [ "$name" = fuzz_seeds ] && continue
    targets+=("${name#fuzz_}")
  done
fi

seeds=$build/fuzz-seeds
rm -rf "$seeds"
"$build/tools/fuzz/fuzz_seeds" "$build/data" "$root" "$seeds" || exit 1

run() {
  local name=$1
  local corpus=$build/fuzz-corpus/$name findings=$build/fuzz-findings/$name
  mkdir -p "$corpus" "$findings" "$seeds/$name" "$build/fuzz-logs"
  "$build/tools/fuzz/fuzz_$name" -max_total_time="$seconds" -close_fd_mask=3 -timeout=25 \
    -artifact_prefix="$findings/" "$corpus" "$seeds/$name" > "$build/fuzz-logs/$name.log" 2>&1
}

status=0
running=0
for name in "${targets[@]}"; do
  [ -x "$build/tools/fuzz/fuzz_$name" ] || { echo "no target fuzz_$name"; status=1; continue; }
  run "$name" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

for name in "${targets[@]}"; do
  log=$build/fuzz-logs/$name.log
  [ -f "$log" ] || continue
  last=$(grep -E '^#[0-9]+' "$log" | tail -1)
  if grep -qE '^(==[0-9]+==ERROR|SUMMARY:|.*deadly signal)' "$log"; then
    echo "fuzz_$name: FOUND $(grep -m1 -E 'SUMMARY:' "$log")  (see $log)"
    status=1
  else
    echo "fuzz_$name: $last"
  fi
done
exit $status
