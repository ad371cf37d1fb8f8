#!/usr/bin/env bash
# scripts/setup-demo.sh on a throw-away prefix: the layout, the printed path, and that a second run keeps what
# is there while bringing a changed terminal.exe up to date.
#   setup_demo_test.sh <source dir> <build dir>
set -euo pipefail
source_dir="$1"
build_dir="$2"
script="$source_dir/scripts/setup-demo.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
mkdir -p "$prefix/drive_c"
touch "$prefix/system.reg"  # a booted prefix, as far as the script can tell
data="$prefix/drive_c/QuenmarelDemo/MT4"

out="$("$script" "$prefix" "$build_dir" 2>/dev/null)"
[ "$out" = 'C:\QuenmarelDemo\MT4\MQL4\Experts\Kelvarinth_V10x.ex4' ] || fail "printed '$out'"
# The data folder is what the panel derives from that path: the path less its last 33 characters.
[ "${out:0:${#out}-33}" = 'C:\QuenmarelDemo\MT4' ] || fail "the printed path does not lead to the data folder"
for folder in MQL4/Experts MQL4/files tester/files; do
  [ -d "$data/$folder" ] || fail "no $folder"
done
[ -f "$data/MQL4/Experts/Kelvarinth_V10x.ex4" ] && [ ! -s "$data/MQL4/Experts/Kelvarinth_V10x.ex4" ] ||
  fail "the Expert Advisor is not an empty placeholder"
cmp -s "$build_dir/tools/terminal/terminal.exe" "$data/terminal.exe" || fail "terminal.exe not copied"

# A second run, with WINEPREFIX instead of the argument, after the demo has been used.
printf 'BUY pair=GBPUSD\r\n' >"$data/journal.txt"
printf 'GBPUSD\r\n' >"$data/MQL4/files/mypair.txt"
printf 'kept' >"$data/MQL4/Experts/Kelvarinth_V10x.ex4"
printf 'stale' >"$data/terminal.exe"
out="$(WINEPREFIX="$prefix" "$script" "" "$build_dir" 2>/dev/null)"
[ "$out" = 'C:\QuenmarelDemo\MT4\MQL4\Experts\Kelvarinth_V10x.ex4' ] || fail "second run printed '$out'"
[ "$(cat "$data/journal.txt")" = $'BUY pair=GBPUSD\r' ] || fail "journal changed"
[ "$(cat "$data/MQL4/files/mypair.txt")" = $'GBPUSD\r' ] || fail "exchange file changed"
[ "$(cat "$data/MQL4/Experts/Kelvarinth_V10x.ex4")" = kept ] || fail "placeholder replaced"
cmp -s "$build_dir/tools/terminal/terminal.exe" "$data/terminal.exe" || fail "stale terminal.exe kept"
[ -z "$(find "$data" -name '*.new')" ] || fail "temporary copy left behind"

# Without a prefix it refuses and says how to call it.
if env -u WINEPREFIX "$script" "" "$build_dir" >/dev/null 2>&1; then fail "ran without a prefix"; fi
if "$script" "$prefix" "$work/no-build" >/dev/null 2>&1; then fail "ran without a built terminal.exe"; fi
echo "setup-demo.sh: all checks passed"
