#!/usr/bin/env bash
# Makes the pictures of the panel in docs/images:
#   scripts/screenshot.sh                      # panel.png, the README's: the run script on a virtual display
#   scripts/screenshot.sh --wine 10 --dpi 144  # panel-wine10-144dpi.png: the panel as it starts under that
#                                              # Wine at that DPI (96, 120, 144, 168 or 192)
# The others run the panel in a copy of the build tree's prefix of that Wine with the DPI set, in a Wine
# desktop on a 1920x1080 virtual display, and save it once it has settled.
set -euo pipefail
cd "$(dirname "$0")/.."
wine="" dpi=96
while [ $# -gt 0 ]; do
  case "$1" in
    --wine) wine="${2:?--wine needs 8 or 10}"; shift 2 ;;
    --dpi) dpi="${2:?--dpi needs a number}"; shift 2 ;;
    *) echo "usage: $0 [--wine 8|10] [--dpi 96|120|144|168|192]" >&2; exit 2 ;;
  esac
done
[ -n "$wine" ] || [ "$dpi" = 96 ] || wine=8
[ -n "$wine" ] || exec scripts/run.sh --screenshot docs/images/panel.png
case "$dpi" in 96 | 120 | 144 | 168 | 192) ;; *) echo "screenshot: --dpi is 96, 120, 144, 168 or 192" >&2; exit 2 ;; esac

scripts/install-deps.sh
[ "$wine" = 8 ] || scripts/wine10-root.sh >/dev/null
build="$(realpath -m "${QM_BUILD_DIR:-build/mingw}")"
cmake --preset mingw -B "$build" >/dev/null
cmake --build "$build" --target Quenmarel
export QM_WINE="$wine"
[ "$wine" = 8 ] || export PATH="$build/wine10/bin:$PATH"
shot="$PWD/docs/images/panel-wine$wine-${dpi}dpi.png"
export WINEPREFIX="$build/screenshot-wine$wine-${dpi}dpi" WINEDEBUG=-all
bash tests/support/copy_prefix.sh "$build/wine-run.sh" "$WINEPREFIX"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
export QM_SHOT_PROGRAM="$build/src/ui/Quenmarel.exe" QM_SHOT="$shot" QM_SHOT_REPO="$PWD"
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
  set -euo pipefail
  wine explorer /desktop=QuenmarelPanel,1900x1060 "$QM_SHOT_PROGRAM" >/dev/null 2>&1 &
  panel=$!
  desktop="$(timeout 120 xdotool search --sync --name "^QuenmarelPanel" | head -n 1)"
  timeout 60 xdotool search --sync --name "^Quenmarel: MetaTrader 4 Interface" >/dev/null
  "$QM_SHOT_REPO/scripts/lib/settled-screenshot.sh" "$desktop" "$QM_SHOT" 120
  kill "$panel" 2>/dev/null || true
  wineserver -k
'
rm -rf "$WINEPREFIX"
echo "screenshot: $shot"
