#!/usr/bin/env bash
# Builds the native fuzzers (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in build/fuzz
# and runs each for a bounded time over its seed corpus in fuzz/corpus/<fuzzer>/. New inputs go to
# build/fuzz/corpus/, never into the repository. Fails when a fuzzer finds a crash, undefined behaviour or a
# broken invariant; the input that did it is kept in build/fuzz/findings/<fuzzer>/ (replay it with
# build/fuzz/fuzz_<fuzzer> <file>).
#   scripts/fuzz.sh         # QM_FUZZ_SECONDS (default 40) seconds a fuzzer: what CI runs
#   scripts/fuzz.sh 600     # ten minutes a fuzzer
# Prints one FIGURE line a fuzzer (see tests/reliability/figures.h).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-${QM_FUZZ_SECONDS:-40}}
build=build/fuzz
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" >/dev/null

status=0
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  fuzzer="$build/fuzz_$name"
  figure="fuzzing, $name: inputs run in $seconds s"
  if [ ! -x "$fuzzer" ]; then
    echo "FIGURE $figure | not built (its source is not in this tree) | no crash, no broken invariant | skip"
    continue
  fi
  mkdir -p "$build/corpus/$name" "$build/findings/$name"
  log="$build/$name.log"
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$name/" "$build/corpus/$name" "$corpus" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "FIGURE $figure | ${runs:-?} | no crash, no broken invariant | pass"
  else
    echo "FIGURE $figure | finding (see $log) | no crash, no broken invariant | fail"
    grep -E -A6 'FINDING|ERROR: |runtime error' "$log" | head -30 >&2 || tail -30 "$log" >&2
    status=1
  fi
done
exit $status
