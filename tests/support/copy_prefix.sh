#!/usr/bin/env bash
# Makes a prefix of its own for a test, once: a copy of a ready prefix (much faster than making one), made
# while that prefix's own tests may be running. Whatever vanishes or changes while it is read (tar's status
# 1) is theirs, and their temporary folders are left out. The copy's server is started by its first program.
#   copy_prefix.sh <wine-run.sh of the ready prefix> <folder of the copy>
# Each Wine (QM_WINE) has its own prefixes; the wine-run.sh scripts name them (wine-run.sh --prefix).
set -euo pipefail
from_run="$1" to="$2"
from="$(bash "$from_run" --prefix)"
bash "$from_run" cmd.exe /c exit >/dev/null 2>&1 9>&-  # makes the ready prefix if need be
rm -rf "$to"
mkdir -p "$to"
flock "$from.lock" bash -c 'set -o pipefail
  { tar -C "$1" --exclude="./drive_c/users/*/Temp/*" --ignore-failed-read --warning=no-file-removed \
      --warning=no-file-changed -cf - . || [ $? = 1 ]; } | tar -C "$2" -xf -' \
  copy "$from" "$to" 9>&-
