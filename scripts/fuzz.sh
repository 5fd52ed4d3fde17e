#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time each, starting from the seeds in
# fuzz/corpus/<name>/ and keeping what it learns in <build>/corpus/<name>/.
#   scripts/fuzz.sh <fuzz build folder> <seconds per target>
# Prints the executions of each target; a finding stops the run, leaves the input in
# <build>/findings/ and fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2
# The scratch files of a settings save go to memory, like the fuzz targets' working directory.
if [ -d /dev/shm ]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

mkdir -p "$build/findings"
status=0
for source in fuzz/fuzz_*.cpp; do
  target=$(basename "$source" .cpp)
  name=${target#fuzz_}
  mkdir -p "$build/corpus/$name"
  log="$build/$target.log"
  if "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=4096 \
       -artifact_prefix="$build/findings/$name-" "$build/corpus/$name" "fuzz/corpus/$name" >"$log" 2>&1; then
    result="no finding"
  else
    result="FINDING, see $log and $build/findings/"
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  corpus=$(find "$build/corpus/$name" -type f | wc -l)
  printf '%-16s %12s executions in %ss, %s inputs kept: %s\n' "$target" "${runs:-?}" "$seconds" "$corpus" "$result"
done
exit $status
