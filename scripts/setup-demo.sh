#!/usr/bin/env bash
# Sets up the offline demo's MetaTrader 4 data folder inside a Wine prefix, once; running it again changes
# nothing but a rebuilt stand-in terminal.exe, and never touches the journal or files the panel wrote.
#
#   scripts/setup-demo.sh [--standard-layout] [WINEPREFIX] [BUILD_DIR]
#
# WINEPREFIX defaults to $WINEPREFIX, BUILD_DIR to build/mingw. A data folder holds the placeholder Expert
# Advisor MQL4\Experts\Kelvarinth_V10x.ex4 and both exchange folders (MQL4\files for "RealTime (Demo or
# Real)", tester\files for "Backtest"). Choosing the placeholder in the panel's Open dialog starts the stand-in
# terminal.exe from the build tree, whose window and journal.txt show every command the panel sends.
#
# Two layouts, as a terminal keeps them:
#   portable (the default)  the data folder C:\QuenmarelDemo\MT4 holds terminal.exe as well.
#   --standard-layout       terminal.exe in the program folder C:\Program Files (x86)\QuenmarelDemo MT4, the
#                           data folder in the prefix user's AppData\Roaming\MetaQuotes\Terminal\<id>, with
#                           an origin.txt (UTF-16 LE with a byte-order mark) that names the program folder.
#
# Prints the Windows path of the Expert Advisor to choose, alone on standard output; notes go to standard error.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
layout=portable
if [ "${1:-}" = --standard-layout ]; then
  layout=standard
  shift
fi
prefix="${1:-${WINEPREFIX:-}}"
build="${2:-$repo/build/mingw}"
if [ -z "$prefix" ]; then
  echo "usage: $0 [--standard-layout] [WINEPREFIX] [BUILD_DIR]   (or set WINEPREFIX)" >&2
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

# The placeholder Expert Advisor and the exchange folders, with lower-case folder names exactly as the panel
# spells them, so that tools on the Linux side find them too.
make_data_folder() {
  local data="$1"
  mkdir -p "$data/MQL4/Experts" "$data/MQL4/files" "$data/tester/files"
  [ -e "$data/MQL4/Experts/Kelvarinth_V10x.ex4" ] || : >"$data/MQL4/Experts/Kelvarinth_V10x.ex4"
}

# Replaces FILE with the bytes on standard input when they differ, in one rename.
replace_if_changed() {
  local file="$1"
  cat >"$file.new"
  if cmp -s "$file.new" "$file"; then
    rm -f "$file.new"
  else
    mv -f "$file.new" "$file"
  fi
}

# The prefix user's profile folder name: Wine names it after $USER, else the account's name; a prefix made
# under another name has just one profile besides Public.
prefix_user() {
  local users="$prefix/drive_c/users" name found=()
  for name in "${USER:-}" "$(id -un)"; do
    if [ -n "$name" ] && [ -d "$users/$name" ]; then
      echo "$name"
      return
    fi
  done
  for name in "$users"/*/; do
    [ -d "$name" ] || continue
    name="$(basename "$name")"
    [ "$name" = Public ] || found+=("$name")
  done
  if [ ${#found[@]} -ne 1 ]; then
    echo "No single user profile in $users: cannot place the standard layout's data folder." >&2
    exit 1
  fi
  echo "${found[0]}"
}

if [ "$layout" = portable ]; then
  data_win='C:\QuenmarelDemo\MT4'
  data="$prefix/drive_c/QuenmarelDemo/MT4"
  program="$data"
else
  program_win='C:\Program Files (x86)\QuenmarelDemo MT4'
  program="$prefix/drive_c/Program Files (x86)/QuenmarelDemo MT4"
  user="$(prefix_user)"
  # One data folder for each program folder, named by 32 hexadecimal digits: the MD5 of the program folder's
  # upper-case name in UTF-16 LE.
  id="$(printf '%s' "$program_win" | tr '[:lower:]' '[:upper:]' | iconv -f UTF-8 -t UTF-16LE | md5sum |
    cut -c1-32 | tr '[:lower:]' '[:upper:]')"
  data_win="C:\\users\\$user\\AppData\\Roaming\\MetaQuotes\\Terminal\\$id"
  data="$prefix/drive_c/users/$user/AppData/Roaming/MetaQuotes/Terminal/$id"
fi
make_data_folder "$data"
mkdir -p "$program"
replace_if_changed "$program/terminal.exe" <"$terminal"
if [ "$layout" = standard ]; then
  { printf '\xff\xfe'; printf '%s' "$program_win" | iconv -f UTF-8 -t UTF-16LE; } |
    replace_if_changed "$data/origin.txt"
fi

# The demo's stand-in vendor database is set up by its own script, when there is one: it gets the demo's root
# folder (drive_c/QuenmarelDemo) and may keep its files there.
setup_vendor_database() {
  local hook="$repo/scripts/setup-demo-database.sh"
  if [ -x "$hook" ]; then
    "$hook" "$prefix/drive_c/QuenmarelDemo" >&2
  else
    echo "No demo vendor database set up ($hook is not there): the panel will report the database as down." >&2
  fi
}
setup_vendor_database

echo "Demo data folder: $data ($data_win)" >&2
if [ "$layout" = standard ]; then
  echo "Stand-in terminal.exe: $program ($program_win), named in the data folder's origin.txt" >&2
fi
echo "Choose this Expert Advisor in the panel's Open dialog:" >&2
echo "$data_win\\MQL4\\Experts\\Kelvarinth_V10x.ex4"
