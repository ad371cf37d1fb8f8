#!/usr/bin/env bash
# Runs a program at 144 DPI on a 1920x1080 screen of its own. Wine reads the DPI from the prefix's registry
# when a process starts, so the program's prefix is its own: a copy of the build tree's ready prefix
# (copy_prefix.sh) with LogPixels at 144, made once. The window tests of the build tree's prefix and
# display never see either.
# Each Wine (QM_WINE) has its prefixes, and its copy: the wine-run.sh scripts name them.
#   run_at_144_dpi.sh <build wine-run.sh> <wine-run.sh of the copy> <program> [args]
set -euo pipefail
build_run="$1" run="$2"
shift 2
prefix="$(bash "$run" --prefix)"
(
  flock 9
  if [ ! -f "$prefix/.qm-144dpi" ]; then
    bash "$(dirname "$0")/../support/copy_prefix.sh" "$build_run" "$prefix" 9>&-
    # The copy's server, started here, must hold none of CTest's descriptors.
    WINEPREFIX="$prefix" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
      </dev/null >/dev/null 2>&1 9>&-
    WINEPREFIX="$prefix" wineserver -w 9>&-
    touch "$prefix/.qm-144dpi"
  fi
) 9>"$prefix.lock"
exec timeout 300 xvfb-run -a -s "-screen 0 1920x1080x24" bash "$run" "$@"
