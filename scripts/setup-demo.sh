#!/usr/bin/env bash
# Sets up the offline demo's MetaTrader 4 data folder inside a Wine prefix, once; running it again changes
# nothing but a rebuilt stand-in terminal.exe, and never touches the journal or files the panel wrote.
#
#   scripts/setup-demo.sh [WINEPREFIX] [BUILD_DIR]
#
# WINEPREFIX defaults to $WINEPREFIX, BUILD_DIR to build/mingw. The data folder is C:\QuenmarelDemo\MT4 in that
# prefix: the placeholder Expert Advisor MQL4\Experts\Kelvarinth_V10x.ex4, both exchange folders (MQL4\files for
# "RealTime (Demo or Real)", tester\files for "Backtest") and the stand-in terminal.exe from the build tree.
# Choosing the placeholder in the panel's Open dialog starts the stand-in, whose window and journal.txt show
# every command the panel sends.
#
# Prints the Windows path of the Expert Advisor to choose, alone on standard output; notes go to standard error.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
prefix="${1:-${WINEPREFIX:-}}"
build="${2:-$repo/build/mingw}"
if [ -z "$prefix" ]; then
  echo "usage: $0 [WINEPREFIX] [BUILD_DIR]   (or set WINEPREFIX)" >&2
  exit 2
fi
prefix="$(realpath -m "$prefix")"
build="$(realpath -m "$build")"

terminal="$build/tools/terminal/terminal.exe"
if [ ! -f "$terminal" ]; then
  echo "No stand-in terminal at $terminal: build it first (cmake --build $build --target terminal)." >&2
  exit 1
fi

# A prefix that has never been booted gets booted first, so that Wine does not treat our folders as its own.
if [ ! -f "$prefix/system.reg" ]; then
  echo "Creating the Wine prefix $prefix ..." >&2
  mkdir -p "$prefix"
  WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=" wineboot -i >/dev/null 2>&1
  WINEPREFIX="$prefix" wineserver -w
fi

# Lower-case folder names exactly as the panel spells them, so that tools on the Linux side find them too.
data="$prefix/drive_c/QuenmarelDemo/MT4"
mkdir -p "$data/MQL4/Experts" "$data/MQL4/files" "$data/tester/files"
expert="$data/MQL4/Experts/Kelvarinth_V10x.ex4"
[ -e "$expert" ] || : >"$expert"
if ! cmp -s "$terminal" "$data/terminal.exe"; then
  cp "$terminal" "$data/terminal.exe.new"
  mv -f "$data/terminal.exe.new" "$data/terminal.exe"
fi

# The demo's stand-in vendor database is set up by its own script, when there is one: it gets the prefix and
# the demo's root folder (drive_c/QuenmarelDemo) and may keep its files there.
setup_vendor_database() {
  local hook="$repo/scripts/setup-demo-database.sh"
  if [ -x "$hook" ]; then
    "$hook" "$prefix" "$prefix/drive_c/QuenmarelDemo" >&2
  else
    echo "No demo vendor database set up ($hook is not there): the panel will report the database as down." >&2
  fi
}
setup_vendor_database

echo "Demo data folder: $data (C:\\QuenmarelDemo\\MT4)" >&2
echo "Choose this Expert Advisor in the panel's Open dialog:" >&2
echo 'C:\QuenmarelDemo\MT4\MQL4\Experts\Kelvarinth_V10x.ex4'
