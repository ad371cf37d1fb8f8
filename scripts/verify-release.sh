#!/usr/bin/env bash
# Checks signed release packages before they ship, or after they were downloaded: the checksums in
# SHA256SUMS, and that the installer, the panel in the ZIP, and the panel and the uninstaller inside the
# installer (the ones it installs) carry an Authenticode SHA-256 signature whose certificate leads to ROOT.pem,
# over exactly these bytes, and a valid time stamp where they have one.
#   verify-release.sh --ca ROOT.pem [--tsa-ca TSA-ROOT.pem] [--installed FOLDER] [--rebuild SOURCE] [PACKAGE-DIR]
# PACKAGE-DIR defaults to build/release; the time-stamping authority's root to the system's list
# (/etc/ssl/certs/ca-certificates.crt). --installed FOLDER checks an installed panel and uninstaller as well.
# --rebuild SOURCE shows that the packages are this source's build plus their signatures and nothing else:
# SOURCE is a checkout of the commit they were made from (a fresh clone will do; its build/release is made
# anew); the signatures are taken out of the packages and attached to the programs and the installer built
# there (scripts/package.sh --signatures), and the packages made must equal the ones checked, byte for byte.
set -euo pipefail
usage() { sed -n '6p' "$0" | sed 's/^# */usage: /' >&2; exit 2; }
ca="" tsa_ca="/etc/ssl/certs/ca-certificates.crt" installed="" rebuild="" dir="build/release"
while [ $# -gt 0 ]; do
  case "$1" in
    --ca | --tsa-ca | --installed | --rebuild) [ $# -ge 2 ] || usage ;;&
    --ca) ca="$2"; shift 2 ;;
    --tsa-ca) tsa_ca="$2"; shift 2 ;;
    --installed) installed="$2"; shift 2 ;;
    --rebuild) rebuild="$(realpath -e "$2")" || exit 2; shift 2 ;;
    -*) usage ;;
    *) dir="$1"; shift ;;
  esac
done
[ -f "$ca" ] || { echo "verify-release.sh: --ca names no file" >&2; exit 2; }
for tool in osslsigncode 7z unzip sha256sum; do
  command -v "$tool" >/dev/null || { echo "verify-release.sh: $tool is missing: run scripts/install-deps.sh" >&2; exit 2; }
done
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
# The signed copies by the names scripts/package.sh --signatures takes them under.
mkdir "$work/signed"
for package in "${packages[@]}"; do
  case "$package" in
    *.exe)
      verify "$package" "$(basename "$package")"
      cp "$package" "$work/signed/"
      # The programs the installer installs: NSIS packs the uninstaller whole, as it was signed.
      mkdir -p "$work/installer"
      7z e -y -o"$work/installer" "$package" Quenmarel.exe Uninstall.exe >/dev/null 2>&1 || true
      for program in Quenmarel.exe Uninstall.exe; do
        if [ -f "$work/installer/$program" ]; then
          verify "$work/installer/$program" "$program in $(basename "$package")"
          cp "$work/installer/$program" "$work/signed/"
        else
          bad "$(basename "$package") holds no $program"
        fi
      done ;;
    *.zip)
      unzip -q -o "$package" -d "$work/zip"
      panels=("$work"/zip/*/Quenmarel.exe)
      [ ${#panels[@]} -eq 1 ] || bad "the ZIP holds no Quenmarel.exe"
      for panel in "${panels[@]}"; do
        verify "$panel" "Quenmarel.exe in $(basename "$package")"
        [ ! -f "$work/installer/Quenmarel.exe" ] || cmp -s "$panel" "$work/installer/Quenmarel.exe" ||
          bad "the ZIP and the installer hold different panels"
      done ;;
  esac
done
if [ -n "$installed" ]; then
  for program in Quenmarel.exe Uninstall.exe; do verify "$installed/$program" "installed $program"; done
fi
[ "$failed" = 0 ] || exit 1
echo "verify-release: checksums and signatures are right"
[ -n "$rebuild" ] || exit 0

# The rebuild: in SOURCE, by its own scripts, with the commit's time when it is a git checkout.
[ -f "$rebuild/scripts/package.sh" ] || { echo "verify-release.sh: $rebuild is no checkout of the panel" >&2; exit 2; }
if git -C "$rebuild" rev-parse --verify -q HEAD >/dev/null 2>&1; then
  [ -z "$(git -C "$rebuild" status --porcelain --untracked-files=no)" ] ||
    echo "verify-release.sh: $rebuild has changes not committed: the rebuild is of those files" >&2
  echo "rebuilding commit $(git -C "$rebuild" rev-parse HEAD) in $rebuild"
fi
# The packages checked may be SOURCE's own build/release, which the rebuild makes anew.
mkdir "$work/published"
cp "${packages[@]}" "$work/published/"
status=0
bash "$rebuild/scripts/package.sh" --signatures "$work/signed" >"$work/rebuild.log" 2>&1 || status=$?
if [ "$status" != 0 ]; then
  tail -20 "$work/rebuild.log" >&2
  echo "FAILED: the rebuild in $rebuild did not take the signatures (package.sh: $status)" >&2
  exit 1
fi
for package in "$work"/published/*; do
  rebuilt="$rebuild/build/release/$(basename "$package")"
  if cmp -s "$package" "$rebuilt"; then
    echo "rebuilt: $(basename "$package") is the source's build plus its signatures ($(sha256sum <"$package" | cut -c1-64))"
  else
    bad "$(basename "$package") differs from the rebuild plus its signatures ($rebuilt)"
    ! command -v diffoscope >/dev/null || timeout 300 diffoscope --max-report-size 200000 "$package" "$rebuilt" >&2 || true
  fi
done
[ "$failed" = 0 ] || exit 1
echo "verify-release: the packages are the rebuild of $rebuild plus their signatures"
