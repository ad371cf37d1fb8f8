#!/usr/bin/env bash
# Runs a window test program at 144 DPI on a 1920x1080 screen. Wine reads the DPI from the prefix's registry
# (HKCU\Control Panel\Desktop, LogPixels) when a process starts, so the program gets a prefix of its own: a
# copy of the build tree's ready prefix (much faster than making one), made once and kept beside it. It also
# gets a virtual display of its own. The other window tests, which share the build tree's prefix and display
# at 96 DPI, never see either.
#   run_at_144_dpi.sh <build tree's wine-run.sh> <build tree's prefix> <this program's prefix> <program> [args]
set -euo pipefail
build_run="$1"
build_prefix="$2"
export WINEPREFIX="$3"
shift 3
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}"
mkdir -p "$(dirname "$WINEPREFIX")"

(
  flock 9
  if [ ! -f "$WINEPREFIX/.qm-144dpi" ]; then
    # The build tree's prefix, made now if it is not there yet; copied while nobody is making it.
    "$build_run" cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&-
    rm -rf "$WINEPREFIX"
    flock "$build_prefix.lock" cp -a "$build_prefix" "$WINEPREFIX" 9>&-
    # Started by reg.exe, the copy's server gets no descriptor of CTest's: it would keep CTest waiting.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f </dev/null >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
    touch "$WINEPREFIX/.qm-144dpi"
  fi
) 9>"$WINEPREFIX.lock"

# Output through files, for the same reason: Wine's helpers started for the program inherit it.
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
status=0
timeout 300 xvfb-run -a -s "-screen 0 1920x1080x24" wine "$@" </dev/null >"$out" 2>"$err" || status=$?
cat "$out"
cat "$err" >&2
exit "$status"
