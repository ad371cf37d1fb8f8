#!/usr/bin/env bash
# A ZIP of one folder that holds nothing of the machine or the moment that made it: its files in name order
# under the folder's name, each with the same time (seconds since 1970, written as UTC), the same mode, and no
# owner, group or extra time fields (zip -X). No folder entries: Windows and unzip make the folder anyway.
#   make-zip.sh FOLDER OUT.zip SECONDS
set -euo pipefail
folder="$(realpath -e "$1")"
out="$(realpath -m "$2")"
seconds="$3"
work="$(mktemp -d "${TMPDIR:-/tmp}/qm-zip.XXXXXX")"
trap 'rm -rf "$work"' EXIT
name="$(basename "$folder")"
cp -r "$folder" "$work/$name"
find "$work/$name" -type f -exec chmod 0644 {} + -exec touch -h -d "@$seconds" {} +
rm -f "$out"
(cd "$work" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -9 -q "$out" -@)
