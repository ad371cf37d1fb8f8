#!/usr/bin/env bash
# Runs the benchmark command in its short mode with the programs already built, then checks the document it
# wrote: every table row is there, every time is a positive number, every ratio a positive number, handle
# and window counts whole numbers above zero, and the command recorded in it is the one that ran.
#   benchmark_short_test.sh BENCHMARK_SCRIPT OUTPUT_FILE
set -euo pipefail
script="$1"
out="$2"
rm -f "$out"
bash "$script" --short --no-build --out "$out"

fail() { echo "bench_short: $*" >&2; exit 1; }
[ -s "$out" ] || fail "no document at $out"
grep -q '^Made by `scripts/benchmark.sh --short' "$out" || fail "the document does not name the command"

# The cell of `column` (1-based, counting after the label) in the row that starts with `label`.
cell() {
  local row
  row=$(grep -F "| $1 |" "$out" | head -n 1) || fail "row '$1' is missing"
  awk -F'|' -v c="$(($2 + 2))" '{ gsub(/^ +| +$/, "", $c); print $c }' <<<"$row"
}
positive_ms() {  # "12.3 ms" with a number above zero
  [[ "$1" =~ ^([0-9]+(\.[0-9]+)?)\ ms ]] || fail "'$2' is not a time: '$1'"
  awk "BEGIN { exit !(${BASH_REMATCH[1]} > 0) }" || fail "'$2' is not above zero: '$1'"
}
positive_number() {
  [[ "$1" =~ ^[0-9]+(\.[0-9]+)?$ ]] || fail "'$2' is not a number: '$1'"
  awk "BEGIN { exit !($1 > 0) }" || fail "'$2' is not above zero: '$1'"
}

rows=("Start-up to the window answering input, vendor server never answering" "Start-up to main window shown")
for server in "answering (the stand-in)" "refusing (closed port)" "never answering"; do
  rows+=("BUY press to Buy.txt in place, vendor server $server"
         "BUY press to the window answering again, vendor server $server")
done
for row in "${rows[@]}"; do
  positive_ms "$(cell "$row" 1)" "$row"
  positive_ms "$(cell "$row" 2)" "$row floor"
  positive_number "$(cell "$row" 3)" "$row ratio"
done
# The presses are put against the press floor, pressed in the same rounds, each press also against its own.
for server in "answering (the stand-in)" "refusing (closed port)" "never answering"; do
  [[ "$(cell "BUY press to Buy.txt in place, vendor server $server" 2)" == *"(the press floor:"* ]] ||
    fail "the press with the server $server is not put against the press floor"
  paired=$(cell "BUY press, median of each press's ratio to the press floor's in the same round, to Buy.txt / to answering, vendor server $server" 3)
  positive_number "${paired% / *}" "paired ratio to Buy.txt, server $server"
  positive_number "${paired#* / }" "paired ratio to answering, server $server"
done
for row in "Quenmarel.exe size, as built (with debug information)" "Quenmarel.exe size, stripped" "Private memory"; do
  [[ "$(cell "$row" 1)" =~ ^[0-9]+(\.[0-9]+)?\ KiB$ ]] || fail "'$row' is not a size: '$(cell "$row" 1)'"
done
for row in Handles "USER objects"; do
  count=$(cell "$row" 1)
  [[ "$count" =~ ^[1-9][0-9]*$ ]] || fail "'$row' after start-up is not a count above zero: '$count'"
  growth=$(cell "$row" 2)
  [[ "$growth" =~ ^-?[0-9]+(\.[0-9]+)?$ ]] || fail "'$row' growth is not a number: '$growth'"
done
echo "bench_short: $out holds every figure"
