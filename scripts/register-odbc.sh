#!/usr/bin/env bash
# Registers FreeTDS with unixODBC under the driver name "SQL Server", the driver the vendor connection
# string names. Under Wine, the program's odbc32 hands every ODBC call to unixODBC, which loads the Linux
# driver registered under that name; FreeTDS then speaks to the vendor's SQL Server itself.
#
#   scripts/register-odbc.sh                 # the system's driver list (odbcinst -j), with sudo when needed
#   scripts/register-odbc.sh --dir FOLDER    # FOLDER/odbcinst.ini instead; run the program with ODBCSYSINI=FOLDER
#   options: --driver PATH (another FreeTDS build), --replace (take the name over from another driver)
#
# Safe to run again: an existing registration of FreeTDS under the name is left as it is, and a "SQL Server"
# that belongs to another driver is only replaced when asked to.
set -euo pipefail

name="SQL Server"
driver=""
folder=""
replace=0
while [ $# -gt 0 ]; do
  case "$1" in
    --dir) folder="${2:?--dir needs a folder}"; shift 2 ;;
    --driver) driver="${2:?--driver needs a path}"; shift 2 ;;
    --replace) replace=1; shift ;;
    -h | --help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "register-odbc: unknown argument: $1" >&2; exit 2 ;;
  esac
done

command -v odbcinst >/dev/null || { echo "register-odbc: odbcinst not found; run scripts/install-deps.sh" >&2; exit 1; }
if [ -z "$driver" ]; then
  for candidate in /usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so \
                   $(dpkg -L tdsodbc 2>/dev/null | grep '/libtdsodbc\.so$' || true); do
    if [ -f "$candidate" ]; then driver="$candidate"; break; fi
  done
fi
if [ -z "$driver" ]; then
  echo "register-odbc: the FreeTDS ODBC driver (tdsodbc) is not installed; run scripts/install-deps.sh" >&2
  exit 1
fi
[ -f "$driver" ] || { echo "register-odbc: no ODBC driver at $driver" >&2; exit 1; }

if [ -n "$folder" ]; then
  mkdir -p "$folder"
  ODBCSYSINI="$(cd "$folder" && pwd)"
  export ODBCSYSINI
fi
ini="$(odbcinst -j | sed -n 's/^DRIVERS\.*: //p')"
[ -n "$ini" ] || { echo "register-odbc: unixODBC names no driver list" >&2; exit 1; }

current="$( (odbcinst -q -d -n "$name" 2>/dev/null || true) | sed -n 's/^Driver[[:space:]]*=[[:space:]]*//p' | head -n 1)"
if [ "$current" = "$driver" ] || [ "$current" = "$(basename "$driver")" ]; then
  echo "register-odbc: \"$name\" is FreeTDS already ($ini)"
  exit 0
fi
if [ -n "$current" ] && [ "$replace" != 1 ]; then
  echo "register-odbc: \"$name\" already names $current in $ini; run again with --replace to use FreeTDS" >&2
  exit 1
fi

# The list without any earlier "SQL Server" section, then the FreeTDS one; written whole, then moved in.
sudo_cmd=()
if { [ -e "$ini" ] && [ ! -w "$ini" ]; } || { [ ! -e "$ini" ] && [ ! -w "$(dirname "$ini")" ]; }; then
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
fi
new="$(mktemp)"
trap 'rm -f "$new"' EXIT
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
printf '[%s]\nDescription=FreeTDS, for the vendor database of Quenmarel\nDriver=%s\n' "$name" "$driver" >>"$new"
"${sudo_cmd[@]}" install -m 644 "$new" "$ini"

check="$(odbcinst -q -d -n "$name" | sed -n 's/^Driver=//p')"
[ "$check" = "$driver" ] || { echo "register-odbc: unixODBC does not read back the registration" >&2; exit 1; }
echo "register-odbc: \"$name\" is FreeTDS ($driver) in $ini"
