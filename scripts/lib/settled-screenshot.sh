#!/usr/bin/env bash
# Saves a screenshot of an X window once its picture has settled (two looks half a second apart differ in
# fewer than 50 pixels: only a caret may still blink), trimmed of the empty border.
#   scripts/lib/settled-screenshot.sh WINDOW_ID FILE [LOOKS]   # LOOKS: at most this many looks (default 60)
set -euo pipefail
window="$1"
shot="$2"
looks="${3:-60}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
previous=""
for attempt in $(seq 1 "$looks"); do
  sleep 0.5
  import -window "$window" "$work/now.png"
  if [ -n "$previous" ]; then
    changed="$(compare -metric AE "$work/now.png" "$work/before.png" null: 2>&1 | awk '{ printf "%d", $1 }' || true)"
    if [ "${changed:-999999}" -lt 50 ]; then break; fi
  fi
  cp "$work/now.png" "$work/before.png"
  previous=yes
done
convert "$work/now.png" -trim +repage "$shot"
