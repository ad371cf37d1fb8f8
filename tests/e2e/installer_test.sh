#!/usr/bin/env bash
# The release packages, used as a trader would use them beside a terminal under Wine: the ZIP holds the
# panel; the NSIS installer, run silently with no other argument in a Wine prefix of its own (not the build
# tree's), installs the stripped release panel into C:\Program Files\Quenmarel with a Start-menu entry, an
# uninstaller and an Add/Remove Programs entry; the installed panel starts there and shows its window; the
# uninstaller removes all of it again. The prefix is made for this run and removed at its end; like most
# traders' prefixes it has no MS Sans Serif, and the caption probe checks inside the installed panel that every
# caption still fits its control. The packages, signed by a throwaway authority (signed_package.sh), must
# verify against it, the installed uninstaller too, and must not once a byte is changed.
#   installer_test.sh <package dir> <caption_probe.exe> <throwaway authority's root certificate>
# Needs a display (the panel opens its window). Every wait is bounded.
set -euo pipefail
packages="$1"
probe="$2"
authority="$3"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/qm-installer.XXXXXX")"
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
folder_win='C:\Program Files\Quenmarel'
folder="$WINEPREFIX/drive_c/Program Files/Quenmarel"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quenmarel MetaTrader 4 Interface"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quenmarel'
title='^Quenmarel: MetaTrader 4 Interface'
fail() { echo "FAIL: $*" >&2; exit 1; }

panel=""
cleanup() {
  if [ -n "$panel" ] && kill -0 "$panel" 2>/dev/null; then kill "$panel" 2>/dev/null || true; fi
  # Ends every process of this prefix, then its server, before the prefix goes.
  if [ -d "$WINEPREFIX" ]; then
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    timeout 30 wineserver -w >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Runs a Windows program in the prefix, bounded. Its output goes through files: a Wine server or helper
# started on its behalf inherits its descriptors and would hold CTest's pipe open.
in_prefix() {
  local status=0
  timeout 120 wine "$@" </dev/null >"$work/out" 2>"$work/err" || status=$?
  cat "$work/out"
  return "$status"
}
# Polls "$@" every half second for at most $1 seconds.
wait_for() {
  local seconds="$1"; shift
  for _ in $(seq 1 $((seconds * 2))); do
    if "$@"; then return 0; fi
    sleep 0.5
  done
  return 1
}
key_present() { in_prefix reg query "$uninstall_key" >/dev/null 2>&1; }
key_absent() { ! key_present; }
folder_gone() { [ ! -e "$folder" ]; }
start_menu_gone() { [ ! -e "$start_menu" ]; }
panel_ended() { ! kill -0 "$panel" 2>/dev/null; }

shopt -s nullglob
installers=("$packages"/Quenmarel-*-win64.exe)
zips=("$packages"/Quenmarel-*-win64.zip)
[ ${#installers[@]} -eq 1 ] || fail "expected one installer in $packages, found ${#installers[@]}"
[ ${#zips[@]} -eq 1 ] || fail "expected one ZIP in $packages, found ${#zips[@]}"

listing="$(unzip -Z1 "${zips[0]}")"
for member in Quenmarel.exe README.txt; do
  grep -qE "(^|/)$member\$" <<<"$listing" || fail "the ZIP holds no $member"
done

timeout 120 wineboot -i </dev/null >/dev/null 2>&1 || fail "could not create the Wine prefix $WINEPREFIX"
timeout 60 wineserver -w || fail "the new prefix's Wine server did not settle"

# The command a trader types: the installer and /S, nothing else.
in_prefix "${installers[0]}" /S >/dev/null || fail "the installer failed"
for file in Quenmarel.exe Uninstall.exe README.txt; do
  [ -f "$folder/$file" ] || fail "installed folder has no $file"
done
# What CPack staged for the installer is what must have been installed (the ZIP's copy was stripped apart, at
# another moment, and so carries another time stamp), and it carries no debug information.
staged="$packages/_CPack_Packages/win64/NSIS/$(basename "${installers[0]}" .exe)/Quenmarel.exe"
cmp -s "$staged" "$folder/Quenmarel.exe" || fail "the installed Quenmarel.exe is not the one packed ($staged)"
if x86_64-w64-mingw32-objdump -h "$folder/Quenmarel.exe" | grep -q '\.debug'; then
  fail "the installed Quenmarel.exe carries debug information"
fi
bash "$here/pe_conventions_test.sh" "$folder/Quenmarel.exe" || fail "the installed panel lacks a Windows convention"
# The trader's README, not the developer's, in lines that Notepad shows as lines.
grep -q $'^What the status line says\r$' "$folder/README.txt" || fail "the installed README.txt is not the trader's"
verify="$here/../../scripts/verify-release.sh"
bash "$verify" --ca "$authority" --installed "$folder" "$packages" ||
  fail "the packages' checksums or signatures are not right"
# One byte of the installer changed after signing, its checksum changed to match: the signature must fail.
tampered="$work/tampered/$(basename "${installers[0]}")"
mkdir "$work/tampered" && cp "${installers[0]}" "${zips[0]}" "$work/tampered/"
at=$(($(stat -c %s "$tampered") / 2)) byte=$(od -An -tu1 -j "$at" -N1 "$tampered")
printf "\\$(printf %03o $((byte ^ 255)))" | dd of="$tampered" bs=1 seek="$at" conv=notrunc status=none
(cd "$work/tampered" && sha256sum Quenmarel-*-win64.* >SHA256SUMS)
grep -q "$(basename "$tampered"): the signature does not verify" \
  < <(bash "$verify" --ca "$authority" "$work/tampered" 2>&1) || fail "a changed byte in the installer passed the signature check"
[ -f "$start_menu/Quenmarel MetaTrader 4 Interface.lnk" ] || fail "no Start-menu entry for the panel"
key_present || fail "no Add/Remove Programs entry ($uninstall_key)"
in_prefix reg query "$uninstall_key" /v UninstallString | grep -qF "$folder_win\\Uninstall.exe" ||
  fail "the Add/Remove Programs entry does not name the uninstaller"

# The installed panel starts and shows its window (its own: the window's process is the one started here);
# a polite close (WM_CLOSE, which taskkill sends without /F) ends it.
wine "$folder_win\\Quenmarel.exe" </dev/null >/dev/null 2>&1 &
panel=$!
timeout 60 xdotool search --sync --all --onlyvisible --pid "$panel" --name "$title" >/dev/null ||
  fail "the installed panel showed no window"
# Every caption fits its control, measured in the control's font inside the installed panel, in a prefix
# without the panel's own face.
if find "$WINEPREFIX/drive_c/windows/Fonts" -maxdepth 1 -iname 'sserif*' | grep -q .; then
  fail "the prefix has MS Sans Serif: the face the panel falls back to goes unchecked"
fi
probe_status=0
in_prefix "$probe" >"$work/captions" || probe_status=$?
cat "$work/captions"
! grep -q ' in MS Sans Serif ' "$work/captions" || fail "the panel draws in MS Sans Serif, which the prefix lacks"
[ "$probe_status" = 0 ] || fail "a caption of the installed panel is wider than its control (caption probe: $probe_status)"
in_prefix taskkill /IM Quenmarel.exe >/dev/null 2>&1 || true
wait_for 30 panel_ended || fail "the installed panel did not end on close"
panel=""

# The uninstaller copies itself to a temporary folder, starts that copy and returns at once.
in_prefix "$folder_win\\Uninstall.exe" /S >/dev/null || fail "the uninstaller failed"
wait_for 60 folder_gone || fail "the uninstaller left $folder"
wait_for 30 start_menu_gone || fail "the uninstaller left the Start-menu entry"
wait_for 30 key_absent || fail "the uninstaller left the Add/Remove Programs entry"
echo "installer: signed, installed, started, closed and uninstalled in a prefix of its own"
