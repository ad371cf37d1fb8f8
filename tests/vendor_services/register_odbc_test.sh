#!/usr/bin/env bash
# Checks scripts/register-odbc.sh on driver lists of its own (--dir): each case starts from a given
# odbcinst.ini, runs the script with the given arguments, and compares the exit status and what unixODBC
# then reads as "SQL Server". The last case leaves FreeTDS registered in $1, for the server-down tests.
#   register_odbc_test.sh OUTPUT_FOLDER
set -uo pipefail

script="$(cd "$(dirname "$0")/../.." && pwd)/scripts/register-odbc.sh"
output="${1:?usage: register_odbc_test.sh OUTPUT_FOLDER}"
freetds="${QM_FREETDS_ODBC_DRIVER:-/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so}"
sqlite="${QM_SQLITE_ODBC_DRIVER:-/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

registered() { ODBCSYSINI="$1" odbcinst -q -d -n "SQL Server" 2>/dev/null | sed -n 's/^Driver=//p'; }
sections() { ODBCSYSINI="$1" odbcinst -q -d 2>/dev/null | grep '^\[' | tr '\n' ' '; }

# name | odbcinst.ini before ("" for none) | arguments | exit status | "SQL Server" driver after | sections after
check() {
  local name="$1" before="$2" args="$3" want_status="$4" want_driver="$5" want_sections="$6"
  local dir="$work/$name"
  mkdir -p "$dir"
  [ -z "$before" ] || printf '%b' "$before" >"$dir/odbcinst.ini"
  # shellcheck disable=SC2086
  bash "$script" --dir "$dir" $args >"$dir/log" 2>&1
  local status=$?
  local driver sections_after
  driver="$(registered "$dir")"
  sections_after="$(sections "$dir")"
  if [ "$status" != "$want_status" ] || [ "$driver" != "$want_driver" ] || [ "$sections_after" != "$want_sections" ]; then
    echo "FAILED $name: status $status (want $want_status), driver '$driver' (want '$want_driver')," \
         "sections '$sections_after' (want '$want_sections')"
    sed 's/^/  /' "$dir/log"
    failures=$((failures + 1))
  else
    echo "ok     $name"
  fi
}

check fresh-folder "" "" 0 "$freetds" "[SQL Server] "
check other-drivers-kept "[Other]\nDriver=/x.so\n" "" 0 "$freetds" "[Other] [SQL Server] "
check freetds-by-short-name-kept "[SQL Server]\nDriver=libtdsodbc.so\n" "" 0 "libtdsodbc.so" "[SQL Server] "
check another-driver-refused "[SQL Server]\nDriver=$sqlite\n[Later]\nDriver=/y.so\n" "" 1 "$sqlite" "[SQL Server] [Later] "
check another-driver-replaced "[A]\nDriver=/a.so\n[SQL Server]\nDriver=$sqlite\nUsageCount=1\n[Later]\nDriver=/y.so\n" \
  "--replace" 0 "$freetds" "[A] [Later] [SQL Server] "
check similar-name-untouched "[SQL Server 2]\nDriver=/z.so\n" "" 0 "$freetds" "[SQL Server 2] [SQL Server] "
check missing-driver-refused "" "--driver $work/none.so" 1 "" ""

# A second run changes nothing, not even a byte.
dir="$work/again"
bash "$script" --dir "$dir" >/dev/null 2>&1
first="$(cat "$dir/odbcinst.ini")"
bash "$script" --dir "$dir" >/dev/null 2>&1
if [ "$(cat "$dir/odbcinst.ini")" != "$first" ]; then
  echo "FAILED second-run-changes-nothing"
  failures=$((failures + 1))
else
  echo "ok     second-run-changes-nothing"
fi

mkdir -p "$output"
rm -f "$output/odbcinst.ini"
if ! bash "$script" --dir "$output" --driver "$freetds" || [ "$(registered "$output")" != "$freetds" ]; then
  echo "FAILED registering FreeTDS in $output"
  failures=$((failures + 1))
fi

[ "$failures" -eq 0 ]
