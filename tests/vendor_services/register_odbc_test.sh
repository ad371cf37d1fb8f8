#!/usr/bin/env bash
# Checks scripts/register-odbc.sh on driver lists of its own (--dir): each case starts from a given
# odbcinst.ini, runs the script with the given arguments, and compares the exit status and what unixODBC
# then reads as "SQL Server". The last case registers FreeTDS in a folder of its own, and LOGIN_PROBE (run
# through WINE_RUN) then checks that a login to a server that never answers ends, with FreeTDS's login
# time-out, within a generous bound.
#   register_odbc_test.sh [WINE_RUN LOGIN_PROBE]
set -uo pipefail

script="$(cd "$(dirname "$0")/../.." && pwd)/scripts/register-odbc.sh"
wine_run="${1:-}"
probe="${2:-}"
freetds="${QM_FREETDS_ODBC_DRIVER:-/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so}"
sqlite="${QM_SQLITE_ODBC_DRIVER:-/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
output="$work/registered"
failures=0

registered() { ODBCSYSINI="$1" odbcinst -q -d -n "SQL Server" 2>/dev/null | sed -n 's/^Driver=//p'; }
sections() { ODBCSYSINI="$1" odbcinst -q -d 2>/dev/null | grep '^\[' | tr '\n' ' '; }

# name | odbcinst.ini before ("" for none) | arguments | exit status | "SQL Server" driver after | sections after
# (@fixed@ stands for the library the script builds in the case's folder: FreeTDS with a fixed version)
check() {
  local name="$1" before="$2" args="$3" want_status="$4" want_driver="$5" want_sections="$6"
  local dir="$work/$name"
  want_driver="${want_driver//@fixed@/$dir/libtdsodbc-fixed-version.so}"
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

check fresh-folder "" "" 0 @fixed@ "[SQL Server] "
check other-drivers-kept "[Other]\nDriver=/x.so\n" "" 0 @fixed@ "[Other] [SQL Server] "
check plain-freetds-fixed "[SQL Server]\nDriver=$freetds\n[Later]\nDriver=/y.so\n" "--driver $freetds" 0 @fixed@ \
  "[Later] [SQL Server] "
check freetds-by-short-name-fixed "[SQL Server]\nDriver=libtdsodbc.so\n" "" 0 @fixed@ "[SQL Server] "
check another-driver-refused "[SQL Server]\nDriver=$sqlite\n[Later]\nDriver=/y.so\n" "" 1 "$sqlite" "[SQL Server] [Later] "
check another-driver-replaced "[A]\nDriver=/a.so\n[SQL Server]\nDriver=$sqlite\nUsageCount=1\n[Later]\nDriver=/y.so\n" \
  "--replace" 0 @fixed@ "[A] [Later] [SQL Server] "
check similar-name-untouched "[SQL Server 2]\nDriver=/z.so\n" "" 0 @fixed@ "[SQL Server 2] [SQL Server] "
check missing-driver-refused "" "--driver $work/none.so" 1 "" ""

# A second run changes nothing, not even a byte, and leaves the library it built in place.
dir="$work/again"
snapshot() { cat "$dir/odbcinst.ini"; stat -c '%i %Y' "$dir/libtdsodbc-fixed-version.so"; }
bash "$script" --dir "$dir" >/dev/null 2>&1
first="$(snapshot)"
bash "$script" --dir "$dir" >/dev/null 2>&1
if [ "$(snapshot)" != "$first" ]; then
  echo "FAILED second-run-changes-nothing"
  failures=$((failures + 1))
else
  echo "ok     second-run-changes-nothing"
fi

mkdir -p "$output"
rm -f "$output/odbcinst.ini"
if ! bash "$script" --dir "$output" --driver "$freetds" ||
   [ "$(registered "$output")" != "$output/libtdsodbc-fixed-version.so" ]; then
  echo "FAILED registering FreeTDS in $output"
  failures=$((failures + 1))
fi

# FreeTDS as registered there, against a server that accepts the connection and never answers: the login
# ends with the driver's own time-out (HYT00) instead of never. 60 s is the bound, four times the time-out.
if [ -n "$probe" ]; then
  login="$(ODBCSYSINI="$output" "$wine_run" "$probe" 60 2>&1)"
  status=$?
  if [ "$status" != 0 ] || ! grep -q '^HYT00 ' <<<"$login"; then
    echo "FAILED hung-server-login-ends: status $status (want 0), want SQLSTATE HYT00"
    printf '%s\n' "$login" | sed 's/^/  /'
    failures=$((failures + 1))
  else
    echo "ok     hung-server-login-ends ($(head -n 1 <<<"$login"))"
  fi
fi

[ "$failures" -eq 0 ]
