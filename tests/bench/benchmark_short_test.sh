#!/usr/bin/env bash
# Runs the benchmark command in its short mode with the programs already built, then checks the document it
# wrote: every table row is there, every time is a positive number, every ratio a positive median inside its
# interval, every goal met, open or missed, every round count above zero, handle and window counts whole
# numbers above zero, and the command and the Wine (QM_WINE, 8 or 10) recorded in it are the ones that ran.
#   benchmark_short_test.sh BENCHMARK_SCRIPT OUTPUT_FILE
set -euo pipefail
script="$1"
out="$2"
rm -f "$out"
# As from a trader's shell: the Wine comes from --wine alone, not from the Wine 10 run's environment.
env -u QM_WINE PATH="${PATH//$QM_BUILD_DIR\/wine10\/bin:/}" \
  bash "$script" --short --no-build --wine "${QM_WINE:-8}" --out "$out"

fail() { echo "bench_short: $*" >&2; exit 1; }
[ -s "$out" ] || fail "no document at $out"
grep -q '^Made by `scripts/benchmark.sh --short' "$out" || fail "the document does not name the command"
grep -q "^Machine: .*, wine-${QM_WINE:-8}\.[0-9]" "$out" || fail "the document does not name Wine ${QM_WINE:-8}"

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
interval() {  # "1.04 (0.99 to 1.09)": a positive median within its interval
  [[ "$1" =~ ^([0-9]+\.[0-9]+)\ \(([0-9]+\.[0-9]+)\ to\ ([0-9]+\.[0-9]+)\)$ ]] || fail "'$2' is not an interval: '$1'"
  awk -v m="${BASH_REMATCH[1]}" -v low="${BASH_REMATCH[2]}" -v high="${BASH_REMATCH[3]}" \
    'BEGIN { exit !(low > 0 && low <= m && m <= high) }' || fail "'$2' is no median within its interval: '$1'"
}

goal_rows=("Start-up to the window answering input, vendor server never answering")
rows=("The same against that floor without the menu bar" "Start-up to main window shown"
      "The floor's menu bar: the floor against the same without it, to answering"
      "The floor without the menu bar against an empty window, to shown")
for server in "answering (the stand-in)" "refusing (closed port)" "never answering"; do
  goal_rows+=("BUY press to Buy.txt in place, vendor server $server"
              "BUY press to the window answering again, vendor server $server")
  rows+=("BUY press to its handler's return (a message sent next answered), vendor server $server")
  [[ "$(cell "BUY press to Buy.txt in place, vendor server $server" 2)" == *"(the press floor:"* ]] ||
    fail "the press with the server $server is not put against the press floor"
done
for row in "${goal_rows[@]}" "${rows[@]}"; do
  positive_ms "$(cell "$row" 1)" "$row"
  positive_ms "$(cell "$row" 2)" "$row floor"
  interval "$(cell "$row" 3)" "$row ratio"
done
for row in "${goal_rows[@]}"; do
  [[ "$(cell "$row" 6)" =~ ^(met|open|missed)$ ]] || fail "'$row' has no result: '$(cell "$row" 6)'"
done
for row in "${goal_rows[0]}" "${goal_rows[1]}"; do
  [[ "$(cell "$row" 4)" =~ ^[1-9][0-9]* ]] || fail "'$row' does not say its rounds: '$(cell "$row" 4)'"
done
for row in "Quenmarel.exe size, as built (with debug information)" "Quenmarel.exe size, stripped (as timed and shipped)" "Private memory"; do
  [[ "$(cell "$row" 1)" =~ ^[0-9]+(\.[0-9]+)?\ KiB$ ]] || fail "'$row' is not a size: '$(cell "$row" 1)'"
done
for row in Handles "USER objects"; do
  count=$(cell "$row" 1)
  [[ "$count" =~ ^[1-9][0-9]*$ ]] || fail "'$row' after start-up is not a count above zero: '$count'"
  growth=$(cell "$row" 2)
  [[ "$growth" =~ ^-?[0-9]+(\.[0-9]+)?$ ]] || fail "'$row' growth is not a number: '$growth'"
done
grep -q "^## Method" "$out" || fail "the notes kept below the figures are missing"
echo "bench_short: $out holds every figure"
