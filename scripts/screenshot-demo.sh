#!/usr/bin/env bash
# Makes the README's picture of the offline demo, docs/images/demo.png: on a virtual display, the panel beside
# the stand-in terminal, after choosing the placeholder Expert Advisor in the Open dialog and pressing BUY.
#
#   scripts/screenshot-demo.sh [FILE]     # FILE defaults to docs/images/demo.png
#
# Uses the build tree build/mingw (QM_BUILD_DIR: another tree of the preset) and its Wine prefix, where the
# demo is set up as scripts/run.sh sets it up. The clicking is done by demo_clicker.exe, which drives the
# panel from outside through window messages, as the end-to-end test does.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
build="$(realpath -m "${QM_BUILD_DIR:-$repo/build/mingw}")"
shot="$(realpath -m "${1:-docs/images/demo.png}")"

scripts/install-deps.sh
cmake --preset mingw -B "$build" >/dev/null
cmake --build "$build" --target Quenmarel terminal demo_clicker
wine_run="$build/wine-run.sh"
prefix="$build/wineprefix"
"$wine_run" cmd /c exit >/dev/null 2>&1 || true
fonts="$prefix/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
  cp -n /usr/share/wine/fonts/*.fon /usr/share/wine/fonts/*.ttf "$fonts"/ 2>/dev/null || true
fi
expert="$(scripts/setup-demo.sh "$prefix" "$build")"
demo_root="$prefix/drive_c/QuenmarelDemo"
journal="$demo_root/MT4/journal.txt"

mkdir -p "$(dirname "$shot")"
export ODBCSYSINI="$demo_root/odbc"
export QM_RUN_REPO="$PWD" QM_RUN_PROGRAM="$build/src/ui/Quenmarel.exe" QM_RUN_CLICKER="$build/tests/e2e/demo_clicker.exe"
export QM_RUN_WINE="$wine_run" QM_RUN_SHOT="$shot" QM_RUN_EXPERT="$expert" QM_RUN_JOURNAL="$journal"
# The SQLite driver opens the demo's vendor database in the working folder of the Linux process.
cd "$demo_root/vendor"
xvfb-run -a -s "-screen 0 2000x1100x24" bash -c '
  set -euo pipefail
  desktop_name=QuenmarelDemo
  cleanup() {
    # Ends only what this script started: the panel, the clicker and the stand-in terminal in this prefix.
    "$QM_RUN_WINE" taskkill /F /IM terminal.exe >/dev/null 2>&1 || true
    [ -z "${panel:-}" ] || kill "$panel" 2>/dev/null || true
  }
  trap cleanup EXIT
  lines_before="$( (cat "$QM_RUN_JOURNAL" 2>/dev/null || true) | wc -l)"
  "$QM_RUN_WINE" explorer /desktop=$desktop_name,1700x1000 "$QM_RUN_PROGRAM" >/dev/null 2>&1 &
  panel=$!
  desktop="$(timeout 120 xdotool search --sync --name "^$desktop_name" | head -n 1)"
  # The clicker runs in the same Wine desktop, so it sees the panel.
  timeout 120 "$QM_RUN_WINE" explorer /desktop=$desktop_name,1700x1000 "$QM_RUN_CLICKER" "$QM_RUN_EXPERT" >/dev/null 2>&1 || true
  for attempt in $(seq 1 120); do
    now="$( (cat "$QM_RUN_JOURNAL" 2>/dev/null || true) | wc -l)"
    if [ "$now" -gt "$lines_before" ] && tail -n 1 "$QM_RUN_JOURNAL" | grep -q "^BUY "; then break; fi
    if [ "$attempt" = 120 ]; then echo "screenshot-demo: the stand-in terminal journaled no BUY" >&2; exit 1; fi
    sleep 0.5
  done
  "$QM_RUN_REPO/scripts/lib/settled-screenshot.sh" "$desktop" "$QM_RUN_SHOT" 60
'
echo "screenshot-demo: saved $shot"
