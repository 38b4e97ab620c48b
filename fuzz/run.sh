#!/bin/sh
# Runs every fuzzer of a fuzzing build side by side for the given number of
# seconds, each from its committed seed corpus, and prints how much each
# ran. New corpus entries and any crashing input stay in the build folder.
set -u
build=$1
seconds=$2
here=$(dirname "$0")
targets="check line"
failed=0
pids=""

for target in $targets; do
  mkdir -p "$build/corpus/$target"
  "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" \
    -print_final_stats=1 -artifact_prefix="$build/$target-" \
    "$build/corpus/$target" "$here/corpus/$target" \
    >"$build/$target.log" 2>&1 &
  pids="$pids $!"
done

for pid in $pids; do
  wait "$pid" || failed=1
done

for target in $targets; do
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$target.log")
  if [ -z "$runs" ] || grep -q -E '^(==[0-9]+==ERROR|broken:)' "$build/$target.log"; then
    echo "${target}_fuzzer failed:"
    tail -n 40 "$build/$target.log"
    failed=1
  else
    echo "${target}_fuzzer: $runs inputs in $seconds s, no finding"
  fi
done
exit $failed
