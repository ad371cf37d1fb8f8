#!/usr/bin/env bash
# Builds the panel and opens it. On a fresh Debian machine (as root, or with sudo) it first installs what is
# needed, then builds Quenmarel.exe for Windows and starts it under Wine in the build tree's own prefix.
#
#   scripts/run.sh                     # the offline demo on $DISPLAY; without a display, see below
#   scripts/run.sh --real              # no demo: the real vendor database through FreeTDS, for a real terminal
#   scripts/run.sh --screenshot FILE   # opens it on a virtual display and saves a screenshot as FILE
#
# The offline demo (the default) is set up once in the prefix by scripts/setup-demo.sh: the data folder
# C:\QuenmarelDemo\MT4 with the placeholder Expert Advisor, the exchange folders and the stand-in terminal.exe,
# and a stand-in vendor database (SQLite registered as "SQL Server" in a driver list of the demo's own, used
# for this run only). The script prints the Expert Advisor to choose in the panel's Open dialog.
#
# With --real the driver name "SQL Server" is FreeTDS, registered in the system's driver list by
# scripts/register-odbc.sh, and the panel reaches the vendor's own database; choose the Expert Advisor of a
# real MetaTrader 4 terminal (its data folder must hold terminal.exe).
#
# Without a display (or with --screenshot) the panel starts on a virtual display, a screenshot of it is
# saved once it has finished starting (build/mingw/panel.png unless FILE is given), the script says where,
# and the panel is ended again.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
build="$(realpath -m "${QM_BUILD_DIR:-$repo/build/mingw}")"  # QM_BUILD_DIR: another build tree of the preset
screenshot=""
demo=1
while [ $# -gt 0 ]; do
  case "$1" in
    --screenshot) screenshot="$(realpath -m "${2:?--screenshot needs a file name}")"; shift 2 ;;
    --real) demo=0; shift ;;
    --demo) demo=1; shift ;;
    *) echo "usage: $0 [--real] [--screenshot FILE]" >&2; exit 2 ;;
  esac
done
if [ -z "$screenshot" ] && [ -z "${DISPLAY:-}" ]; then
  screenshot="$build/panel.png"
fi

scripts/install-deps.sh
cmake --preset mingw -B "$build" >/dev/null
targets=(Quenmarel)
[ "$demo" = 0 ] || targets+=(terminal)
cmake --build "$build" --target "${targets[@]}"
program="$build/src/ui/Quenmarel.exe"
wine_run="$build/wine-run.sh"
prefix="$build/wineprefix"

# The vendor connection names the ODBC driver "SQL Server"; under Wine, unixODBC resolves that name. The real
# run uses the system's registration of FreeTDS; the demo a driver list of its own, so the system's stays as
# it is.
if [ "$demo" = 0 ] && [ -x scripts/register-odbc.sh ]; then
  scripts/register-odbc.sh || echo "run: the ODBC driver name is not registered; the panel will report the database as down" >&2
fi

# The prefix is created on first use. Wine looks for its own fonts (MS Sans Serif, the panel's font) in the
# prefix's Fonts folder, so they are put there from the fonts-wine package.
"$wine_run" cmd /c exit >/dev/null 2>&1 || true
fonts="$build/wineprefix/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
  cp -n /usr/share/wine/fonts/*.fon /usr/share/wine/fonts/*.ttf "$fonts"/ 2>/dev/null || true
fi

if [ "$demo" = 1 ]; then
  expert="$(scripts/setup-demo.sh "$prefix" "$build")"
  demo_root="$prefix/drive_c/QuenmarelDemo"
  # The SQLite driver opens Vostrel_EA in the working folder of the Linux process that runs the panel.
  export ODBCSYSINI="$demo_root/odbc"
  cd "$demo_root/vendor"
  echo "run: offline demo. Press \"(1)  Kelvarinth EA Location\" and choose" >&2
  echo "run:   $expert" >&2
  echo "run: the stand-in terminal opens and journals every command the panel sends." >&2
else
  echo "run: real use. Choose the Expert Advisor Kelvarinth_V10x.ex4 of your MetaTrader 4 terminal" >&2
  echo "run: (its MQL4\\Experts folder, inside a data folder that holds terminal.exe)." >&2
fi

if [ -z "$screenshot" ]; then
  echo "run: starting $program"
  exec "$wine_run" "$program"
fi

# Headless: the panel in a Wine virtual desktop on a virtual display, so that the picture has the window's
# own frame and title. The screenshot is taken once the picture has settled (the load step has ended; only
# the caret in the pair box still blinks), then the panel is ended.
mkdir -p "$(dirname "$screenshot")"
export QM_RUN_REPO="$repo" QM_RUN_PROGRAM="$program" QM_RUN_WINE="$wine_run" QM_RUN_SHOT="$screenshot"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  "$QM_RUN_WINE" explorer /desktop=QuenmarelPanel,1100x900 "$QM_RUN_PROGRAM" >/dev/null 2>&1 &
  panel=$!
  desktop="$(timeout 120 xdotool search --sync --name "^QuenmarelPanel" | head -n 1)"
  timeout 60 xdotool search --sync --name "^Quenmarel: MetaTrader 4 Interface" >/dev/null
  "$QM_RUN_REPO/scripts/lib/settled-screenshot.sh" "$desktop" "$QM_RUN_SHOT" 120
  kill "$panel" 2>/dev/null || true
  wait "$panel" 2>/dev/null || true
'
echo "run: screenshot of the panel saved as $screenshot"
