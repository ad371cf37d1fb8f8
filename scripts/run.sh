#!/usr/bin/env bash
# Builds the panel and opens it. On a fresh Debian machine (as root, or with sudo) it first installs what is
# needed, then builds Quenmarel.exe for Windows and starts it under Wine.
#
#   scripts/run.sh                     # the offline demo on $DISPLAY; without a display, see below
#   scripts/run.sh --standard-layout   # the demo with the terminal's standard layout (see below)
#   scripts/run.sh --real              # no demo: a real terminal's Wine prefix and the real vendor database
#   scripts/run.sh --real --prefix DIR # the same in the prefix DIR
#   scripts/run.sh --screenshot FILE   # opens it on a virtual display and saves a screenshot as FILE
#
# The offline demo (the default) runs in the build tree's own Wine prefix, set up once by
# scripts/setup-demo.sh: a data folder with the placeholder Expert Advisor, the exchange folders and the
# stand-in terminal.exe, and a stand-in vendor database (SQLite registered as "SQL Server" in a driver list of
# the demo's own, used for this run only). The data folder is C:\QuenmarelDemo\MT4, which holds terminal.exe
# too (the portable layout); with --standard-layout terminal.exe is in a program folder and the data folder in
# the prefix user's AppData\Roaming\MetaQuotes\Terminal\<id>, whose origin.txt names the program folder. The
# script prints the Expert Advisor to choose in the panel's Open dialog.
#
# With --real the panel runs in the Wine prefix of the MetaTrader 4 terminal, so that the terminal it starts
# and the folders it writes are the terminal's: DIR, else $WINEPREFIX, else ~/.wine. The panel's font goes
# into that prefix, the driver name "SQL Server" is FreeTDS (setup_freetds below), and the panel reaches the
# vendor's own database; choose the Expert Advisor in the terminal's data folder.
#
# Without a display (or with --screenshot) the panel starts on a virtual display, a screenshot of it is
# saved once it has finished starting (build/mingw/panel.png unless FILE is given), the script says where,
# and the panel is ended again.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
build="$(realpath -m "${QM_BUILD_DIR:-$repo/build/mingw}")"  # QM_BUILD_DIR: another build tree of the preset
usage="usage: $0 [--standard-layout | --real [--prefix DIR]] [--screenshot FILE]"
screenshot=""
demo=1
layout=()
prefix=""
while [ $# -gt 0 ]; do
  case "$1" in
    --screenshot) screenshot="$(realpath -m "${2:?--screenshot needs a file name}")"; shift 2 ;;
    --real) demo=0; shift ;;
    --demo) demo=1; shift ;;
    --standard-layout) layout=(--standard-layout); shift ;;
    --prefix) prefix="${2:?--prefix needs the Wine prefix of the terminal}"; shift 2 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
if [ "$demo" = 1 ] && [ -n "$prefix" ]; then
  echo "run: --prefix goes with --real; the demo runs in the build tree's own prefix" >&2
  exit 2
fi
if [ "$demo" = 0 ] && [ ${#layout[@]} -gt 0 ]; then
  echo "run: --standard-layout is the demo's; with --real the terminal's own folders count" >&2
  exit 2
fi
if [ -z "$screenshot" ] && [ -z "${DISPLAY:-}" ]; then
  screenshot="$build/panel.png"
fi

# The prefix of a real terminal is used as it is: it must be there already, and hold 64-bit programs.
if [ "$demo" = 0 ]; then
  prefix="$(realpath -m "${prefix:-${WINEPREFIX:-$HOME/.wine}}")"
  if [ ! -f "$prefix/system.reg" ]; then
    echo "run: no Wine prefix at $prefix; give the terminal's prefix with --prefix DIR" >&2
    exit 1
  fi
  if grep -q '^#arch=win32' "$prefix/system.reg"; then
    echo "run: $prefix is a 32-bit Wine prefix (WINEARCH=win32), where the 64-bit panel cannot run" >&2
    exit 1
  fi
fi

scripts/install-deps.sh
cmake --preset mingw -B "$build" >/dev/null
targets=(Quenmarel)
[ "$demo" = 0 ] || targets+=(terminal)
cmake --build "$build" --target "${targets[@]}"
program="$build/src/ui/Quenmarel.exe"

# The vendor connection names the ODBC driver "SQL Server"; under Wine, unixODBC resolves that name. The real
# run uses the system's registration of FreeTDS; the demo a driver list of its own, so the system's stays as
# it is.
# Wine 10's odbc32, unlike Wine 8's, also loads Windows drivers: at each start it copies unixODBC's driver
# list into the prefix's registry, replacing a Windows driver registered there under the same name, and a
# name that only the registry has is loaded as a Windows driver. The registration below is the one either
# Wine uses.
setup_freetds() {
  if scripts/register-odbc.sh; then
    echo "run: the driver name \"SQL Server\" is FreeTDS (scripts/register-odbc.sh)" >&2
    case "$(WINEDEBUG=-all wine --version 2>/dev/null)" in
      wine-[1-8].*) ;;
      *) echo "run: this Wine puts it in the prefix's registry too, in place of a Windows \"SQL Server\" driver" >&2 ;;
    esac
  else
    echo "run: the ODBC driver name is not registered; the panel will report the database as down" >&2
  fi
}

# Wine looks for the panel's font (MS Sans Serif) in the prefix's Fonts folder; it comes from the fonts-wine
# package. Fonts the prefix has already are kept.
install_fonts() {
  local fonts="$1/drive_c/windows/Fonts" before after
  if [ ! -d /usr/share/wine/fonts ] || [ ! -d "$fonts" ]; then
    echo "run: the panel's font is not installed in $1 (no fonts-wine files or no Fonts folder)" >&2
    return
  fi
  before="$(find "$fonts" -maxdepth 1 -type f | wc -l)"
  cp -n /usr/share/wine/fonts/*.fon /usr/share/wine/fonts/*.ttf "$fonts"/ 2>/dev/null || true
  after="$(find "$fonts" -maxdepth 1 -type f | wc -l)"
  if [ "$after" = "$before" ]; then
    echo "run: the panel's font is in $fonts already" >&2
  else
    echo "run: the panel's font is in $fonts now ($((after - before)) fonts from fonts-wine added)" >&2
  fi
}

if [ "$demo" = 1 ]; then
  wine_run="$build/wine-run.sh"
  prefix="$build/wineprefix"
  "$wine_run" cmd /c exit >/dev/null 2>&1 || true  # the prefix, created on first use
  install_fonts "$prefix"
  expert="$(scripts/setup-demo.sh "${layout[@]}" "$prefix" "$build")"
  demo_root="$prefix/drive_c/QuenmarelDemo"
  # The SQLite driver opens Vostrel_EA in the working folder of the Linux process that runs the panel.
  export ODBCSYSINI="$demo_root/odbc"
  cd "$demo_root/vendor"
  echo "run: offline demo. Press \"(1)  Kelvarinth EA Location\" and choose" >&2
  echo "run:   $expert" >&2
  if [ ${#layout[@]} -gt 0 ]; then
    echo "run: standard layout: terminal.exe is in the program folder that the data folder's origin.txt names." >&2
  fi
  echo "run: the stand-in terminal opens and journals every command the panel sends." >&2
else
  export WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}"
  wine_run=wine
  echo "run: real use in the Wine prefix $prefix" >&2
  setup_freetds
  install_fonts "$prefix"
  echo "run: choose the Expert Advisor Kelvarinth_V10x.ex4 of your MetaTrader 4 terminal, in the MQL4\\Experts" >&2
  echo "run: folder of its data folder (File > Open Data Folder in the terminal shows it)." >&2
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
