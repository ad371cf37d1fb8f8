#!/usr/bin/env bash
# Builds the native fuzzers (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in build/fuzz
# and runs them side by side over their seed corpora in fuzz/corpus/<fuzzer>/, sharing the machine's cores: each
# gets at least the processor time it would get alone for the given seconds (the run lasts that long times
# the number of fuzzers over the number of cores, and a tenth more). New inputs go to build/fuzz/corpus/, never into the
# repository. Fails when a fuzzer finds a crash, undefined behaviour or a broken invariant; the input that did
# it is kept in build/fuzz/findings/<fuzzer>/ (replay it with build/fuzz/fuzz_<fuzzer> <file>).
#   scripts/fuzz.sh         # QM_FUZZ_SECONDS (default 30) seconds of a core a fuzzer: what CI runs
#   scripts/fuzz.sh 600     # ten minutes a fuzzer
#   scripts/fuzz.sh --build # only builds them (CI builds them while the Windows tests run)
# Prints one FIGURE line a fuzzer (see tests/support/figures.h).
set -euo pipefail
cd "$(dirname "$0")/.."

build_only=0
if [ "${1:-}" = --build ]; then
  build_only=1
  shift
fi
seconds=${1:-${QM_FUZZ_SECONDS:-30}}
build=build/fuzz
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" >/dev/null
[ "$build_only" = 0 ] || exit 0

fuzzers=()
for corpus in fuzz/corpus/*/; do
  fuzzers+=("$(basename "$corpus")")
done
cores=$(nproc)
# A tenth more than the fair share, for the switching between them.
wall=$(( (seconds * ${#fuzzers[@]} * 11 + cores * 10 - 1) / (cores * 10) ))
[ "$wall" -ge "$seconds" ] || wall=$seconds

declare -A pids=()
for name in "${fuzzers[@]}"; do
  fuzzer="$build/fuzz_$name"
  [ -x "$fuzzer" ] || continue
  mkdir -p "$build/corpus/$name" "$build/findings/$name"
  "$fuzzer" -max_total_time="$wall" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$name/" "$build/corpus/$name" "fuzz/corpus/$name/" \
    >"$build/$name.log" 2>&1 &
  pids[$name]=$!
done

status=0
for name in "${fuzzers[@]}"; do
  figure="fuzzing, $name: inputs run in $seconds s of a core ($wall s beside the other fuzzers)"
  log="$build/$name.log"
  if [ -z "${pids[$name]:-}" ]; then
    echo "FIGURE $figure | not built (its source is not in this tree) | no crash, no broken invariant | skip"
  elif wait "${pids[$name]}"; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "FIGURE $figure | ${runs:-?} | no crash, no broken invariant | pass"
  else
    echo "FIGURE $figure | finding (see $log) | no crash, no broken invariant | fail"
    grep -E -A6 'FINDING|ERROR: |runtime error' "$log" | head -30 >&2 || tail -30 "$log" >&2
    status=1
  fi
done
exit $status
