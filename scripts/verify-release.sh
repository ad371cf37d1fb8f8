#!/usr/bin/env bash
# Checks signed release packages before they ship: the checksums in SHA256SUMS, and that the installer, the
# panel in the ZIP and (with --installed) the installed panel and its uninstaller carry an Authenticode
# SHA-256 signature whose certificate leads to ROOT.pem, over exactly these bytes, and a valid time stamp where
# they have one.
#   verify-release.sh --ca ROOT.pem [--tsa-ca TSA-ROOT.pem] [--installed FOLDER] [PACKAGE-DIR]
# PACKAGE-DIR defaults to build/release; the time-stamping authority's root to the system's list
# (/etc/ssl/certs/ca-certificates.crt). Uninstall.exe exists only inside the installer: to check it, install
# the package (a throwaway Wine prefix will do) and name the installed folder.
set -euo pipefail
ca="" tsa_ca="/etc/ssl/certs/ca-certificates.crt" installed="" dir="build/release"
while [ $# -gt 0 ]; do
  case "$1" in
    --ca) ca="$2"; shift 2 ;;
    --tsa-ca) tsa_ca="$2"; shift 2 ;;
    --installed) installed="$2"; shift 2 ;;
    -*) sed -n '6p' "$0" | sed 's/^# */usage: /' >&2; exit 2 ;;
    *) dir="$1"; shift ;;
  esac
done
[ -f "$ca" ] || { echo "verify-release.sh: --ca names no file" >&2; exit 2; }
work="$(mktemp -d "${TMPDIR:-/tmp}/qm-verify.XXXXXX")"
trap 'rm -rf "$work"' EXIT
failed=0
bad() { echo "FAILED: $*" >&2; failed=1; }

shopt -s nullglob
packages=("$dir"/Quenmarel-*-win64.exe "$dir"/Quenmarel-*-win64.zip)
[ ${#packages[@]} -eq 2 ] || bad "expected an installer and a ZIP in $dir, found ${#packages[@]} packages"
for package in "${packages[@]}"; do
  grep -q "  $(basename "$package")\$" "$dir/SHA256SUMS" 2>/dev/null || bad "SHA256SUMS lacks $package"
done
(cd "$dir" && sha256sum --check --strict --quiet SHA256SUMS) || bad "a checksum in $dir/SHA256SUMS is wrong"

# osslsigncode's answer alone is not enough: it ends with success when the time stamp's own signature fails.
verify() {
  local file="$1" name="$2" out="$work/verify.txt"
  if ! osslsigncode verify -CAfile "$ca" -TSA-CAfile "$tsa_ca" -in "$file" >"$out" 2>&1; then
    bad "$name: the signature does not verify against $ca"
  elif ! grep -qE '^Message digest algorithm *: SHA256' "$out"; then
    bad "$name: not signed with SHA-256"
  elif grep -q 'Timestamp Server Signature verification' "$out" &&
    ! grep -q 'Timestamp Server Signature verification: ok' "$out"; then
    bad "$name: the time stamp does not verify against $tsa_ca"
  else
    echo "signed: $name"
    return 0
  fi
  sed 's/^/    /' "$out" >&2
}
for package in "${packages[@]}"; do
  case "$package" in
    *.exe) verify "$package" "$(basename "$package")" ;;
    *.zip)
      unzip -q -o "$package" -d "$work/zip"
      panels=("$work"/zip/*/Quenmarel.exe)
      [ ${#panels[@]} -eq 1 ] || bad "the ZIP holds no Quenmarel.exe"
      for panel in "${panels[@]}"; do verify "$panel" "Quenmarel.exe in $(basename "$package")"; done ;;
  esac
done
if [ -n "$installed" ]; then
  for program in Quenmarel.exe Uninstall.exe; do verify "$installed/$program" "installed $program"; done
fi
[ "$failed" = 0 ] || exit 1
echo "verify-release: checksums and signatures are right"
