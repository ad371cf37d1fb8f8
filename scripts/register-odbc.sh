#!/usr/bin/env bash
# Registers FreeTDS with unixODBC under the driver name "SQL Server", the driver the vendor connection
# string names. Under Wine, the program's odbc32 hands every ODBC call to unixODBC, which loads the Linux
# driver registered under that name; FreeTDS then speaks to the vendor's SQL Server itself.
#
#   scripts/register-odbc.sh                 # the system's driver list (odbcinst -j), with sudo when needed
#   scripts/register-odbc.sh --dir FOLDER    # FOLDER/odbcinst.ini instead; run the program with ODBCSYSINI=FOLDER
#   options: --driver PATH (another FreeTDS build), --replace (take the name over from another driver)
#
# The name is given to FreeTDS with its protocol version fixed at 7.4, so that its login time-out ends a
# login to a server that never answers (see scripts/lib/tdsodbc-fixed-version.c): a small library, built here
# with the system's C compiler, that puts "TDS_Version=7.4;" in front of each connection string and leaves
# all else to FreeTDS. It goes to /usr/local/lib/quenmarel, or to FOLDER with --dir. It holds for every
# program that uses the name, however it is started (a desktop menu entry, a terminal, any Wine prefix).
#
# Safe to run again: a registration that is already this one is left as it is, one of FreeTDS itself is
# changed to this one, and a "SQL Server" that belongs to another driver is only replaced when asked to.
# With QM_ODBC_LIBRARY_CACHE=FOLDER the library is built once for each FreeTDS, compiler and source, kept in
# FOLDER and taken from there the next time (the test build tree registers it many times).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

name="SQL Server"
driver=""
folder=""
replace=0
while [ $# -gt 0 ]; do
  case "$1" in
    --dir) folder="${2:?--dir needs a folder}"; shift 2 ;;
    --driver) driver="${2:?--driver needs a path}"; shift 2 ;;
    --replace) replace=1; shift ;;
    -h | --help) sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "register-odbc: unknown argument: $1" >&2; exit 2 ;;
  esac
done

command -v odbcinst >/dev/null || { echo "register-odbc: odbcinst not found; run scripts/install-deps.sh" >&2; exit 1; }
if [ -z "$driver" ]; then
  # The package's list is asked only when the usual place has none: reading it takes a while.
  driver=/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so
  if [ ! -f "$driver" ]; then
    driver="$( (dpkg -L tdsodbc 2>/dev/null || true) | grep '/libtdsodbc\.so$' | head -n 1)"
  fi
fi
if [ -z "$driver" ]; then
  echo "register-odbc: the FreeTDS ODBC driver (tdsodbc) is not installed; run scripts/install-deps.sh" >&2
  exit 1
fi
[ -f "$driver" ] || { echo "register-odbc: no ODBC driver at $driver" >&2; exit 1; }
# The library below names FreeTDS by this path, so it must not depend on the folder the script runs in.
driver="$(realpath "$driver")"

compiler=""
for candidate in "${CC:-}" cc gcc clang; do
  if [ -n "$candidate" ] && command -v "$candidate" >/dev/null; then compiler="$candidate"; break; fi
done
[ -n "$compiler" ] || { echo "register-odbc: no C compiler (cc, gcc, clang); run scripts/install-deps.sh" >&2; exit 1; }

if [ -n "$folder" ]; then
  mkdir -p "$folder"
  ODBCSYSINI="$(cd "$folder" && pwd)"
  export ODBCSYSINI
  library="$ODBCSYSINI/libtdsodbc-fixed-version.so"
else
  library="/usr/local/lib/quenmarel/libtdsodbc-fixed-version.so"
fi
ini="$(odbcinst -j | sed -n 's/^DRIVERS\.*: //p')"
[ -n "$ini" ] || { echo "register-odbc: unixODBC names no driver list" >&2; exit 1; }

current="$( (odbcinst -q -d -n "$name" 2>/dev/null || true) | sed -n 's/^Driver[[:space:]]*=[[:space:]]*//p' | head -n 1)"
if [ -n "$current" ] && [ "$current" != "$library" ] && [ "$current" != "$driver" ] &&
   [ "$current" != "$(basename "$driver")" ] && [ "$replace" != 1 ]; then
  echo "register-odbc: \"$name\" already names $current in $ini; run again with --replace to use FreeTDS" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Runs a command that writes PATH, with sudo when this user cannot write it (or, for a new file, the nearest
# folder that exists on its way).
writing() {
  local path="$1"
  shift
  while [ ! -e "$path" ]; do path="$(dirname "$path")"; done
  if [ ! -w "$path" ] && [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi
}

# The library names FreeTDS by its absolute path (as the soname of an empty stand-in it is linked against),
# so the dynamic loader finds it in its own folder, which is not on the library path.
build_library() {
  "$compiler" -shared -fPIC -nostdlib -Wl,-soname,"$driver" -o "$work/freetds-name.so" -x c /dev/null
  "$compiler" -shared -fPIC -O2 -Wall -Wextra -Werror -o "$1" \
    "$here/lib/tdsodbc-fixed-version.c" -Wl,--no-as-needed "$work/freetds-name.so" -Wl,--as-needed -ldl
}
if [ -n "${QM_ODBC_LIBRARY_CACHE:-}" ]; then
  key="$( { printf '%s\n' "$driver" "$(command -v "$compiler")"; cat "$here/lib/tdsodbc-fixed-version.c"; } |
          sha256sum | cut -c1-16)"
  cached="$QM_ODBC_LIBRARY_CACHE/libtdsodbc-fixed-version-$key.so"
  if [ ! -f "$cached" ]; then
    mkdir -p "$QM_ODBC_LIBRARY_CACHE"
    build_library "$cached.$$"
    mv -f "$cached.$$" "$cached"
  fi
  cp "$cached" "$work/library.so"
else
  build_library "$work/library.so"
fi
if ! cmp -s "$work/library.so" "$library"; then
  # A new file moved in: a program that has the old one loaded keeps it.
  writing "$library" mkdir -p "$(dirname "$library")"
  writing "$library" install -m 644 "$work/library.so" "$library.new"
  writing "$library" mv -f "$library.new" "$library"
  echo "register-odbc: built $library for FreeTDS ($driver)"
fi

if [ "$current" = "$library" ]; then
  echo "register-odbc: \"$name\" is FreeTDS with protocol version 7.4 already ($ini)"
  exit 0
fi

# The list without any earlier "SQL Server" section, then the new one; written whole, then moved in.
new="$work/odbcinst.ini"
if [ -f "$ini" ]; then
  awk -v section="$name" '
    /^[[:space:]]*\[/ {
      header = $0
      gsub(/^[[:space:]]*\[|\][[:space:]]*$/, "", header)
      skipping = (header == section)
    }
    !skipping { print }
  ' "$ini" >"$new"
fi
[ ! -s "$new" ] || printf '\n' >>"$new"
printf '[%s]\nDescription=FreeTDS with protocol version 7.4, for the vendor database of Quenmarel\nDriver=%s\n' \
  "$name" "$library" >>"$new"
writing "$ini" install -m 644 "$new" "$ini"

check="$(odbcinst -q -d -n "$name" | sed -n 's/^Driver=//p')"
[ "$check" = "$library" ] || { echo "register-odbc: unixODBC does not read back the registration" >&2; exit 1; }
echo "register-odbc: \"$name\" is FreeTDS ($driver) with protocol version 7.4 ($library) in $ini"
