#!/usr/bin/env bash
# Runs a program at 144 DPI on a 1920x1080 screen of its own. Wine reads the DPI from the prefix's registry
# when a process starts, so the program's prefix is its own: a copy of the build tree's ready prefix (much
# faster than making one) with LogPixels at 144, made once. The window tests of the build tree's prefix and
# display never see either.
#   run_at_144_dpi.sh <build wine-run.sh> <build prefix> <wine-run.sh of the copy> <copy> <program> [args]
set -euo pipefail
build_run="$1" build_prefix="$2" run="$3" prefix="$4"
shift 4
(
  flock 9
  if [ ! -f "$prefix/.qm-144dpi" ]; then
    bash "$build_run" cmd.exe /c exit >/dev/null 2>&1 9>&-  # makes the build tree's prefix if need be
    rm -rf "$prefix"
    mkdir -p "$prefix"
    # The first lane's tests may run meanwhile, making and removing folders of their own in the prefix:
    # what vanishes or changes while it is read (tar's status 1) is theirs, and their temporary folders are
    # left out.
    flock "$build_prefix.lock" bash -c 'set -o pipefail
      { tar -C "$1" --exclude="./drive_c/users/*/Temp/*" --ignore-failed-read --warning=no-file-removed \
          --warning=no-file-changed -cf - . || [ $? = 1 ]; } | tar -C "$2" -xf -' \
      copy "$build_prefix" "$prefix" 9>&-
    # The copy's server, started here, must hold none of CTest's descriptors.
    WINEPREFIX="$prefix" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
      </dev/null >/dev/null 2>&1 9>&-
    WINEPREFIX="$prefix" wineserver -w 9>&-
    touch "$prefix/.qm-144dpi"
  fi
) 9>"$prefix.lock"
exec timeout 300 xvfb-run -a -s "-screen 0 1920x1080x24" bash "$run" "$@"
