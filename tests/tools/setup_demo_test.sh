#!/usr/bin/env bash
# scripts/setup-demo.sh on a throw-away prefix: both layouts and their printed paths, and that a second run
# keeps what is there while bringing a changed terminal.exe up to date.
#   setup_demo_test.sh <source dir> <build dir>
set -euo pipefail
source_dir="$1"
build_dir="$2"
script="$source_dir/scripts/setup-demo.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
mkdir -p "$prefix/drive_c/users/Public" "$prefix/drive_c/users/trader"
touch "$prefix/system.reg"  # a booted prefix, as far as the script can tell
data="$prefix/drive_c/QuenmarelDemo/MT4"
# Linux path of a Windows path in the prefix.
linux() { local path="${1#C:\\}"; echo "$prefix/drive_c/${path//\\//}"; }

# Each layout: its option | the Expert Advisor printed | the folder of terminal.exe | whether the data folder
# has an origin.txt naming that folder. The profile is found in the prefix, whatever the account's name.
while IFS='|' read -r option expert program origin; do
  out="$(USER=nobody "$script" $option "$prefix" "$build_dir" 2>/dev/null)" || fail "$option: failed"
  [ "$out" = "$expert" ] || fail "$option: printed '$out'"
  # The data folder is what the panel derives from that path: the path less its last 33 characters.
  layout_data="$(linux "${out:0:${#out}-33}")"
  for folder in MQL4/Experts MQL4/files tester/files; do
    [ -d "$layout_data/$folder" ] || fail "$option: no $folder"
  done
  [ -f "$layout_data/MQL4/Experts/Kelvarinth_V10x.ex4" ] && [ ! -s "$layout_data/MQL4/Experts/Kelvarinth_V10x.ex4" ] ||
    fail "$option: the Expert Advisor is not an empty placeholder"
  cmp -s "$build_dir/tools/terminal/terminal.exe" "$(linux "$program")/terminal.exe" ||
    fail "$option: terminal.exe not copied to $program"
  if [ "$origin" = no ]; then
    [ ! -e "$layout_data/origin.txt" ] || fail "$option: an origin.txt"
  else
    [ ! -e "$layout_data/terminal.exe" ] || fail "$option: terminal.exe in the data folder"
    [ "$(head -c 2 "$layout_data/origin.txt" | od -An -tx1 | tr -d ' ')" = fffe ] ||
      fail "$option: origin.txt does not start with the UTF-16 LE byte-order mark"
    cmp -s <(iconv -f UTF-16 -t UTF-8 "$layout_data/origin.txt") <(printf '%s' "$program") ||
      fail "$option: origin.txt does not hold '$program'"
  fi
done <<'LAYOUTS'
|C:\QuenmarelDemo\MT4\MQL4\Experts\Kelvarinth_V10x.ex4|C:\QuenmarelDemo\MT4|no
--standard-layout|C:\users\trader\AppData\Roaming\MetaQuotes\Terminal\CC2584095AAF73321D8B309F50D4B542\MQL4\Experts\Kelvarinth_V10x.ex4|C:\Program Files (x86)\QuenmarelDemo MT4|yes
LAYOUTS

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
