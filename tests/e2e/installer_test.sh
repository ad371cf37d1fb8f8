#!/usr/bin/env bash
# The release packages, used as a trader would use them beside a terminal under Wine: the ZIP holds the
# panel; the NSIS installer, run silently in a Wine prefix of its own (not the build tree's), installs the
# stripped release panel with a Start-menu entry, an uninstaller and an Add/Remove Programs entry, in each of
# its ways: a plain /S (for all users here, where Wine's user is an administrator), /AllUsers (Program Files,
# HKLM) and /CurrentUser (the user's AppData\Local\Programs, HKCU, and no HKLM key); the installed panel starts
# and shows its window; the uninstaller named by the Add/Remove Programs entry removes all of it again and
# leaves no file and no key behind. The prefix is made for this run and removed at its end; like most traders'
# prefixes it has no MS Sans Serif, and the caption probe checks inside the installed panel that every caption
# still fits its control. The packages signed by a throwaway authority's key from a PFX and on a PKCS#11 token
# (signed_package.sh) must verify against it, the programs inside the installer too, must be the same bytes
# (one key, one signing time), and must not verify once a byte is changed.
#   installer_test.sh <package dir> <caption_probe.exe> <signed_package.sh's dir>
# The panel opens its window on a virtual display of the test's own, so that it takes the focus of no other
# test's windows. Every wait is bounded.
set -euo pipefail
packages="$1"
probe="$2"
signer="$3"
authority="$signer/authority.pem"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/qm-installer.XXXXXX")"
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Quenmarel'
vendor_key='Software\QRX Forex'
start_menu_entry='Microsoft\Windows\Start Menu\Programs\Quenmarel MetaTrader 4 Interface'
title='^Quenmarel: MetaTrader 4 Interface'
fail() { echo "FAIL: $*" >&2; exit 1; }

panel=""
display=""
cleanup() {
  if [ -n "$panel" ] && kill -0 "$panel" 2>/dev/null; then kill "$panel" 2>/dev/null || true; fi
  # Ends every process of this prefix, then its server, before the prefix goes.
  if [ -d "$WINEPREFIX" ]; then
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    timeout 30 wineserver -w >/dev/null 2>&1 || true
  fi
  [ -z "$display" ] || kill "$display" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display number itself and reports it (-displayfd).
command -v Xvfb >/dev/null || fail "Xvfb is missing: run scripts/install-deps.sh"
Xvfb -displayfd 5 -screen 0 1600x1200x24 -nolisten tcp 5>"$work/display" </dev/null >/dev/null 2>&1 &
display=$!
for _ in $(seq 300); do
  [ ! -s "$work/display" ] && kill -0 "$display" 2>/dev/null || break
  sleep 0.1
done
[ -s "$work/display" ] || fail "no virtual display"
export DISPLAY=":$(head -n 1 "$work/display")"

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
# A Windows folder of the prefix as Wine names it for its user (%LOCALAPPDATA% and the like), on Linux.
windows_folder() { winepath -u "$(in_prefix cmd /c echo "%$1%" | tr -d '\r')" 2>/dev/null; }
key_in() { in_prefix reg query "$1\\$2" >/dev/null 2>&1; }
keys_gone() { ! key_in HKLM "$uninstall_key" && ! key_in HKCU "$uninstall_key" && ! key_in HKLM "$vendor_key" &&
  ! key_in HKCU "$vendor_key"; }
gone() { [ ! -e "$1" ]; }
panel_ended() { ! kill -0 "$panel" 2>/dev/null; }
# What lies in the prefix's drive C, but for the temporary folders (the uninstaller leaves its copy there)
# and the user's Programs folder itself (Windows' known folder for programs of one user, made on first use).
drive_c_listing() {
  (cd "$WINEPREFIX/drive_c" && find . -path '*/Temp' -prune -o ! -path '*/AppData/Local/Programs' -print | LC_ALL=C sort)
}

shopt -s nullglob
installers=("$packages"/Quenmarel-*-win64.exe)
zips=("$packages"/Quenmarel-*-win64.zip)
[ ${#installers[@]} -eq 1 ] || fail "expected one installer in $packages, found ${#installers[@]}"
[ ${#zips[@]} -eq 1 ] || fail "expected one ZIP in $packages, found ${#zips[@]}"
installer="$(basename "${installers[0]}")"

listing="$(unzip -Z1 "${zips[0]}")"
for member in Quenmarel.exe README.txt; do
  grep -qE "(^|/)$member\$" <<<"$listing" || fail "the ZIP holds no $member"
done

# Signed from the PFX (these packages) and on the token: both verify, the programs inside the installer too;
# one key and one signing time make the same bytes; one byte of the installer changed after signing, its
# checksum changed to match, fails the signature.
verify="$here/../../scripts/verify-release.sh"
cmp -s "${installers[0]}" "$signer/token/$installer" ||
  fail "the installers signed with one key at one signing time from the PFX and on the token differ"
for signed in "$packages" "$signer/token"; do
  bash "$verify" --ca "$authority" "$signed" || fail "the checksums or signatures of $signed are not right"
  tampered="$work/tampered/$installer"
  rm -rf "$work/tampered" && mkdir "$work/tampered" && cp "$signed/$installer" "${zips[0]}" "$work/tampered/"
  at=$(($(stat -c %s "$tampered") / 2)) byte=$(od -An -tu1 -j "$at" -N1 "$tampered")
  printf "\\$(printf %03o $((byte ^ 255)))" | dd of="$tampered" bs=1 seek="$at" conv=notrunc status=none
  (cd "$work/tampered" && sha256sum Quenmarel-*-win64.* >SHA256SUMS)
  grep -q "$installer: the signature does not verify" < <(bash "$verify" --ca "$authority" "$work/tampered" 2>&1) ||
    fail "a changed byte in the installer of $signed passed the signature check"
done

timeout 120 wineboot -i </dev/null >/dev/null 2>&1 || fail "could not create the Wine prefix $WINEPREFIX"
timeout 60 wineserver -w || fail "the new prefix's Wine server did not settle"
before="$(drive_c_listing)"
all_users="$(windows_folder ProgramFiles)/Quenmarel|$(windows_folder ProgramData)"
current_user="$(windows_folder LOCALAPPDATA)/Programs/Quenmarel|$(windows_folder APPDATA)"

# Installs one way: the switches after /S | the folder and the root of the Start menu | where the entry is,
# where it must not be.
install_way() {
  IFS='|' read -r switches folder start_root root other_root <<<"$1"
  start_menu="$start_root/${start_menu_entry//\\//}"
  # shellcheck disable=SC2086 # the switches are words
  in_prefix "${installers[0]}" /S $switches >/dev/null || fail "the installer failed (/S $switches)"
  for file in Quenmarel.exe Uninstall.exe README.txt; do
    [ -f "$folder/$file" ] || fail "/S $switches: $folder has no $file"
  done
  [ -f "$start_menu/Quenmarel MetaTrader 4 Interface.lnk" ] || fail "/S $switches: no Start-menu entry in $start_menu"
  # Asked again for a while: a Wine program started on a loaded machine now and then fails before it runs.
  wait_for 10 key_in "$root" "$uninstall_key" ||
    fail "/S $switches: no Add/Remove Programs entry in $root ($(cat "$work/err"))"
  ! key_in "$other_root" "$uninstall_key" || fail "/S $switches: an Add/Remove Programs entry in $other_root too"
  folder_win="$(winepath -w "$folder" 2>/dev/null)"
  uninstall="$(in_prefix reg query "$root\\$uninstall_key" /v QuietUninstallString | tr -d '\r' |
    sed -n 's/^ *QuietUninstallString *REG_SZ *//p')"
  [[ "$uninstall" == "\"$folder_win\\Uninstall.exe\""* ]] ||
    fail "/S $switches: the Add/Remove Programs entry names another uninstaller: $uninstall"
}
# The uninstaller as Add/Remove Programs starts it; it copies itself to a temporary folder, starts that copy
# and returns at once. It leaves nothing of the installation behind.
uninstall_way() {
  [[ "$uninstall" =~ ^\"([^\"]+)\"(.*)$ ]] || fail "/S $switches: no quoted uninstaller in $uninstall"
  read -ra uninstall_switches <<<"${BASH_REMATCH[2]}"
  in_prefix "${BASH_REMATCH[1]}" "${uninstall_switches[@]}" >/dev/null || fail "/S $switches: the uninstaller failed"
  wait_for 60 gone "$folder" || fail "/S $switches: the uninstaller left $folder"
  wait_for 30 gone "$start_menu" || fail "/S $switches: the uninstaller left the Start-menu entry"
  wait_for 30 keys_gone || fail "/S $switches: the uninstaller left a key ($uninstall_key or $vendor_key)"
  leftovers="$(diff <(echo "$before") <(drive_c_listing) || true)"
  [ -z "$leftovers" ] || fail "/S $switches: the uninstaller left files behind: $leftovers"
}

# The command a trader types: the installer and /S, nothing else; under Wine, whose user is an
# administrator, it installs for all users.
install_way "|$all_users|HKLM|HKCU"
# The panel as packed (programs/, the same the ZIP holds), stripped of its debug information.
cmp -s "$packages/programs/Quenmarel.exe" "$folder/Quenmarel.exe" || fail "the installed Quenmarel.exe is not the one packed"
if x86_64-w64-mingw32-objdump -h "$folder/Quenmarel.exe" | grep -q '\.debug'; then
  fail "the installed Quenmarel.exe carries debug information"
fi
bash "$here/pe_conventions_test.sh" "$folder/Quenmarel.exe" || fail "the installed panel lacks a Windows convention"
# The trader's README, not the developer's, in lines that Notepad shows as lines.
grep -q $'^What the status line says\r$' "$folder/README.txt" || fail "the installed README.txt is not the trader's"
bash "$verify" --ca "$authority" --installed "$folder" "$packages" >/dev/null ||
  fail "the installed programs' signatures are not right"

# The installed panel starts and shows its window (its own: the window's process is the one started here);
# a polite close (WM_CLOSE, which taskkill sends without /F) ends it.
wine "$folder_win\\Quenmarel.exe" </dev/null >/dev/null 2>&1 &
panel=$!
timeout 60 xdotool search --sync --all --onlyvisible --pid "$panel" --name "$title" >/dev/null ||
  fail "the installed panel showed no window"
# Every caption fits its control, measured in the control's font inside the installed panel. Wine 8 gives a
# prefix of its own making no MS Sans Serif, the panel's face: there the face it falls back to is checked.
# Wine 10 draws it from the fonts it brings (fonts-wine), in every prefix.
if find "$WINEPREFIX/drive_c/windows/Fonts" -maxdepth 1 -iname 'sserif*' | grep -q .; then
  fail "the prefix has MS Sans Serif: the face the panel falls back to goes unchecked"
fi
probe_status=0
in_prefix "$probe" >"$work/captions" || probe_status=$?
cat "$work/captions"
case "$(wine --version 2>/dev/null)" in
  wine-8.*) ! grep -q ' in MS Sans Serif ' "$work/captions" || fail "the panel draws in MS Sans Serif, which the prefix lacks" ;;
esac
[ "$probe_status" = 0 ] || fail "a caption of the installed panel is wider than its control (caption probe: $probe_status)"
in_prefix taskkill /IM Quenmarel.exe >/dev/null 2>&1 || true
wait_for 30 panel_ended || fail "the installed panel did not end on close"
panel=""
uninstall_way

for way in "/AllUsers|$all_users|HKLM|HKCU" "/CurrentUser|$current_user|HKCU|HKLM"; do
  install_way "$way"
  uninstall_way
done
echo "installer: signed from a PFX and on a token, installed for all users and for the current user, started, closed and uninstalled in a prefix of its own"
