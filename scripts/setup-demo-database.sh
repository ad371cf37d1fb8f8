#!/usr/bin/env bash
# Sets up the offline demo's stand-in vendor database, once: a unixODBC driver list that registers the SQLite
# ODBC driver under the name "SQL Server" (the driver the vendor connection string names), and the SQLite file
# Vostrel_EA with the table Vostrel_Gap holding one welcome public message. Running it again keeps the data.
#
#   scripts/setup-demo-database.sh DEMO_ROOT
#
# Writes DEMO_ROOT/odbc/odbcinst.ini (run the panel with ODBCSYSINI=DEMO_ROOT/odbc) and
# DEMO_ROOT/vendor/Vostrel_EA. The SQLite driver opens Vostrel_EA in the working folder of the Linux process
# that runs the panel, so the panel must be started from DEMO_ROOT/vendor; scripts/run.sh does that.
set -euo pipefail

root="${1:?usage: $0 DEMO_ROOT}"
root="$(realpath -m "$root")"
driver="${QM_SQLITE_ODBC_DRIVER:-/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so}"
welcome="Welcome to the Quenmarel offline demo. This message comes from the demo's own vendor database."

command -v sqlite3 >/dev/null || { echo "setup-demo-database: sqlite3 not found; run scripts/install-deps.sh" >&2; exit 1; }
[ -f "$driver" ] || { echo "setup-demo-database: no SQLite ODBC driver at $driver (libsqliteodbc)" >&2; exit 1; }

odbc="$root/odbc"
vendor="$root/vendor"
mkdir -p "$odbc" "$vendor"

# Written whole and moved in, so a panel starting meanwhile never reads half a list.
ini="$(printf '[SQL Server]\nDescription=SQLite standing in for the vendor database (offline demo)\nDriver=%s\n' "$driver")"
if [ "$(cat "$odbc/odbcinst.ini" 2>/dev/null || true)" != "$ini" ]; then
  printf '%s\n' "$ini" >"$odbc/odbcinst.ini.new"
  mv -f "$odbc/odbcinst.ini.new" "$odbc/odbcinst.ini"
fi
[ -f "$odbc/odbc.ini" ] || printf '# No data sources: the vendor connection string names its driver.\n' >"$odbc/odbc.ini"

# The message is only put in when the table is empty, so a message changed by hand stays.
sqlite3 "$vendor/Vostrel_EA" <<SQL
CREATE TABLE IF NOT EXISTS Vostrel_Gap (Public_Msg TEXT);
INSERT INTO Vostrel_Gap (Public_Msg) SELECT '${welcome//\'/\'\'}' WHERE NOT EXISTS (SELECT 1 FROM Vostrel_Gap);
SQL

echo "Demo vendor database: $vendor/Vostrel_EA (\"SQL Server\" is SQLite in $odbc/odbcinst.ini)" >&2
