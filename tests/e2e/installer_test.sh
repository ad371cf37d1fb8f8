#!/usr/bin/env bash
# The packages CPack built, used as a user would under Wine: the ZIP holds the panel; the NSIS installer
# installs silently into a folder of our choosing with a Start-menu entry, an uninstaller and an Add/Remove
# Programs entry; the installed panel starts and shows its window; the uninstaller removes all of it again.
#   installer_test.sh <build dir>
# Needs a display (the panel opens its window). Every wait is bounded.
set -euo pipefail
build="$1"
run="$build/wine-run.sh"
prefix="$build/wineprefix"
folder_win='C:\QmInstallTest'
folder="$prefix/drive_c/QmInstallTest"
start_menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quenmarel MetaTrader 4 Interface"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quenmarel'
title='^Quenmarel: MetaTrader 4 Interface'
fail() { echo "FAIL: $*" >&2; exit 1; }

panel=""
cleanup() {
  if [ -n "$panel" ] && kill -0 "$panel" 2>/dev/null; then kill "$panel" 2>/dev/null || true; fi
}
trap cleanup EXIT

# Polls "$@" every half second for at most $1 seconds.
wait_for() {
  local seconds="$1"; shift
  for _ in $(seq 1 $((seconds * 2))); do
    if "$@"; then return 0; fi
    sleep 0.5
  done
  return 1
}
key_present() { "$run" reg query "$uninstall_key" >/dev/null 2>&1; }
key_absent() { ! key_present; }
folder_gone() { [ ! -e "$folder" ]; }
start_menu_gone() { [ ! -e "$start_menu" ]; }
uninstall() {
  # The uninstaller copies itself to a temporary folder, starts that copy and returns at once.
  "$run" "$folder_win\\Uninstall.exe" /S
  wait_for 60 folder_gone || fail "the uninstaller left $folder"
}

shopt -s nullglob
installers=("$build"/Quenmarel-*-win64.exe)
zips=("$build"/Quenmarel-*-win64.zip)
[ ${#installers[@]} -eq 1 ] || fail "expected one installer in $build, found ${#installers[@]}"
[ ${#zips[@]} -eq 1 ] || fail "expected one ZIP in $build, found ${#zips[@]}"

listing="$(unzip -Z1 "${zips[0]}")"
for member in Quenmarel.exe README.txt; do
  grep -qE "(^|/)$member\$" <<<"$listing" || fail "the ZIP holds no $member"
done

# What an earlier, interrupted run left behind goes first.
if [ -f "$folder/Uninstall.exe" ]; then uninstall; fi
rm -rf "$folder"

# /D must be the last argument and unquoted.
"$run" "${installers[0]}" /S "/D=$folder_win" || fail "the installer failed"
for file in Quenmarel.exe Uninstall.exe README.txt; do
  [ -f "$folder/$file" ] || fail "installed folder has no $file"
done
# What CPack staged for the installer is what must have been installed (the ZIP's copy was stripped apart, at
# another moment, and so carries another time stamp).
staged="$build/_CPack_Packages/win64/NSIS/$(basename "${installers[0]}" .exe)/Quenmarel.exe"
cmp -s "$staged" "$folder/Quenmarel.exe" || fail "the installed Quenmarel.exe is not the one packed ($staged)"
[ -f "$start_menu/Quenmarel MetaTrader 4 Interface.lnk" ] || fail "no Start-menu entry for the panel"
key_present || fail "no Add/Remove Programs entry ($uninstall_key)"
"$run" reg query "$uninstall_key" /v UninstallString | grep -qF "$folder_win\\Uninstall.exe" ||
  fail "the Add/Remove Programs entry does not name the uninstaller"

# The installed panel starts and shows its window (its own: the window's process is the one started here);
# a polite close (WM_CLOSE, which taskkill sends without /F) ends it. No other Quenmarel.exe runs in this
# prefix meanwhile: CTest keeps the end-to-end test apart from this one.
"$run" "$folder_win\\Quenmarel.exe" >/dev/null 2>&1 &
panel=$!
timeout 60 xdotool search --sync --onlyvisible --pid "$panel" --name "$title" >/dev/null || fail "the installed panel showed no window"
"$run" taskkill /IM Quenmarel.exe >/dev/null 2>&1 || true
panel_ended() { ! kill -0 "$panel" 2>/dev/null; }
wait_for 30 panel_ended || fail "the installed panel did not end on close"
panel=""

uninstall
wait_for 30 start_menu_gone || fail "the uninstaller left the Start-menu entry"
wait_for 30 key_absent || fail "the uninstaller left the Add/Remove Programs entry"
echo "installer: installed, started, closed and uninstalled"
