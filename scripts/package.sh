#!/usr/bin/env bash
# Builds the release panel (the release preset's tree, build/release) and packs it in build/release, or in
# --out DIR: the Windows installer (NSIS) Quenmarel-<version>-win64.exe, the ZIP Quenmarel-<version>-win64.zip
# and SHA256SUMS, their checksums; programs/ keeps Quenmarel.exe and Uninstall.exe as they were packed.
#   package.sh [--sign CERT.pfx [--password-file FILE]
#              | --pkcs11-module MODULE --key URI --cert URI|FILE [--chain FILE] [--pin-file FILE] [--pkcs11-engine SO]
#              | --signatures DIR] [--timestamp URL] [--signing-time SECONDS|now] [--out DIR]
# The same commit gives the same bytes wherever, whenever and by whomever it is built: times come from the
# commit (SOURCE_DATE_EPOCH, else the commit's time), and signing uses a fixed signing time (--signing-time,
# by default the same), so that one key signs the same bytes into the same bytes.
# --sign signs the panel, the uninstaller and the installer (Authenticode, SHA-256) with the certificate and
# key in CERT.pfx, its password the first line of --password-file FILE, else the variable QM_SIGN_PASSWORD.
# --pkcs11-module signs with a key that stays on a token or HSM, through OpenSSL's PKCS#11 engine (--pkcs11-engine,
# Debian's by default): --key is its PKCS#11 URI, --cert the certificate's URI on the token or a certificate
# file, --chain a file of intermediate certificates; the PIN is the first line of --pin-file FILE, else the
# variable QM_SIGN_PIN. Neither is ever taken from the command line, where every user of the machine reads it.
# --signatures DIR attaches the signatures of copies signed elsewhere (a cloud signing service): DIR holds the
# signed Quenmarel.exe, Uninstall.exe and installer, each signed over the bytes this build makes. What has no
# signed copy yet is left in unsigned/ beside the packages with its checksums, and the script ends with status 3.
# --out DIR packs elsewhere (the tests pack in folders of their own): build/release holds only packages for
# the trader.
# --timestamp URL adds an RFC 3161 time stamp, so that the signatures stay valid after the certificate expires.
set -euo pipefail
usage() {
  sed -n '5,7p' "$0" | sed '1s/^# */usage: /; 2,$s/^# */         /' >&2
  exit 2
}
fail() { echo "package.sh: $*" >&2; exit 2; }

# Signing is asked for here or not at all: variables left over in the caller's environment are not a request.
unset QM_SIGN QM_SIGN_PFX QM_SIGN_PASSFILE QM_SIGN_TIMESTAMP QM_SIGN_TIME QM_SIGN_PKCS11_MODULE QM_SIGN_KEY \
  QM_SIGN_CERT QM_SIGN_CHAIN QM_SIGN_PKCS11_ENGINE QM_SIGNATURES QM_SIGNATURES_MISSING QM_PACKED_DIR
pfx="" password_file="" module="" key="" cert="" chain="" pin_file="" signatures="" timestamp="" signing_time="" out=""
engine=/usr/lib/x86_64-linux-gnu/engines-3/pkcs11.so
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case "$1" in
    --sign) pfx="$2" ;;
    --password-file) password_file="$2" ;;
    --pkcs11-module) module="$2" ;;
    --key) key="$2" ;;
    --cert) cert="$2" ;;
    --chain) chain="$2" ;;
    --pin-file) pin_file="$2" ;;
    --pkcs11-engine) engine="$2" ;;
    --signatures) signatures="$2" ;;
    --timestamp) timestamp="$2" ;;
    --signing-time) signing_time="$2" ;;
    --out) out="$2" ;;
    *) usage ;;
  esac
  shift 2
done
ways=0
for way in "$pfx" "$module" "$signatures"; do [ -z "$way" ] || ways=$((ways + 1)); done
[ "$ways" -le 1 ] || fail "--sign, --pkcs11-module and --signatures exclude each other"
[ -n "$pfx" ] || [ -z "$password_file" ] || fail "--password-file goes with --sign"
[ -n "$module" ] || [ -z "$key$cert$chain$pin_file" ] || fail "--key, --cert, --chain and --pin-file go with --pkcs11-module"
[ -z "$module" ] || { [ -n "$key" ] && [ -n "$cert" ]; } || fail "--pkcs11-module needs --key and --cert"
[ -n "$pfx$module" ] || [ -z "$timestamp$signing_time" ] || fail "--timestamp and --signing-time go with --sign or --pkcs11-module"
[[ "$signing_time" =~ ^([0-9]+|now)?$ ]] || fail "--signing-time takes seconds since 1970 or now"

# Files named on the command line are the caller's, relative to the caller's folder; a PKCS#11 URI is no file.
caller_file() { [ -z "$1" ] || realpath -e "$1" || fail "no such file: $1"; }
pfx="$(caller_file "$pfx")"
password_file="$(caller_file "$password_file")"
chain="$(caller_file "$chain")"
pin_file="$(caller_file "$pin_file")"
signatures="$(caller_file "$signatures")"
case "$cert" in "" | pkcs11:*) ;; *) cert="$(caller_file "$cert")" ;; esac
[ -z "$out" ] || out="$(realpath -m "$out")"
[ -z "$module" ] || [ -f "$module" ] || fail "no PKCS#11 module $module"
[ -z "$module" ] || [ -f "$engine" ] || fail "no PKCS#11 engine $engine (Debian package libengine-pkcs11-openssl)"
cd "$(dirname "$0")/.."

# What the packaging needs, named when it is missing: this script installs nothing (scripts/install-deps.sh does).
needed=(cmake ninja makensis x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-strip zip sha256sum)
[ -z "$pfx$module$signatures" ] || needed+=(osslsigncode)
for tool in "${needed[@]}"; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh"
done

# The commit's time, for every time the packages hold.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2>/dev/null)" ||
    fail "not a git checkout: set SOURCE_DATE_EPOCH to the commit's time"
fi
export SOURCE_DATE_EPOCH

work="$(mktemp -d "${TMPDIR:-/tmp}/qm-package.XXXXXX")"
chmod 700 "$work"
trap 'rm -rf "$work"' EXIT
secret_file() { # the file named, else the variable's value in a file only this user reads, removed at the end
  if [ -n "$1" ]; then
    [ -r "$1" ] || fail "cannot read $1"
    echo "$1"
  elif [ -n "$2" ]; then
    (umask 077 && printf '%s\n' "$2" >"$work/secret")
    echo "$work/secret"
  fi
}
if [ -n "$pfx$module" ]; then
  export QM_SIGN=1 QM_SIGN_TIMESTAMP="$timestamp" QM_SIGN_TIME="${signing_time:-$SOURCE_DATE_EPOCH}"
  [ "$QM_SIGN_TIME" != now ] || QM_SIGN_TIME=""
  if [ -n "$pfx" ]; then
    export QM_SIGN_PFX="$pfx" QM_SIGN_PASSFILE
    QM_SIGN_PASSFILE="$(secret_file "$password_file" "${QM_SIGN_PASSWORD:-}")"
  else
    export QM_SIGN_PKCS11_MODULE="$module" QM_SIGN_KEY="$key" QM_SIGN_CERT="$cert" QM_SIGN_CHAIN="$chain"
    export QM_SIGN_PKCS11_ENGINE="$engine" QM_SIGN_PASSFILE
    QM_SIGN_PASSFILE="$(secret_file "$pin_file" "${QM_SIGN_PIN:-}")"
  fi
elif [ -n "$signatures" ]; then
  [ -d "$signatures" ] || fail "--signatures names no folder"
  export QM_SIGNATURES="$signatures" QM_SIGNATURES_MISSING="$work/missing"
  : >"$QM_SIGNATURES_MISSING"
fi
# The tools started below do not inherit the secrets.
unset QM_SIGN_PASSWORD QM_SIGN_PIN

cmake --preset release >/dev/null
cmake --build --preset release --target Quenmarel
release="${out:-$PWD/build/release}"
# Packages of an earlier version would sit beside the new ones and be taken for them.
mkdir -p "$release"
rm -rf "$release"/Quenmarel-*-win64.* "$release/SHA256SUMS" "$release/programs" "$release/unsigned"
mkdir "$release/programs"
export QM_PACKED_DIR="$release/programs"
# CPack stages and packs in a folder of this run's, so that the release tree keeps no package of its own.
(cd build/release && cpack -G NSIS -B "$work/cpack")
shopt -s nullglob
installers=("$work/cpack"/Quenmarel-*-win64.exe)
[ ${#installers[@]} -eq 1 ] || fail "CPack made ${#installers[@]} installers"
name="$(basename "${installers[0]}" .exe)"
mv "${installers[0]}" "$release/"
# The ZIP holds the files staged for the installer, as the installer packed them (the panel signed).
bash scripts/lib/make-zip.sh "$work/cpack/_CPack_Packages/win64/NSIS/$name" "$release/$name.zip" "$SOURCE_DATE_EPOCH"
(cd "$release" && sha256sum "$name.exe" "$name.zip" >SHA256SUMS)
ls -l "$release/$name".* "$release/SHA256SUMS" "$release"/programs/*

if [ -s "${QM_SIGNATURES_MISSING:-/dev/null}" ]; then
  # The programs inside the installer are signed before the installer is: an installer that packs unsigned
  # programs is not worth a signature.
  mkdir "$release/unsigned"
  if grep -qvx "$name.exe" "$QM_SIGNATURES_MISSING"; then
    grep -vx "$name.exe" "$QM_SIGNATURES_MISSING" | while read -r program; do
      cp "$release/programs/$program" "$release/unsigned/"
    done
  else
    cp "$release/$name.exe" "$release/unsigned/"
  fi
  (cd "$release/unsigned" && sha256sum -- * >SHA256SUMS)
  echo "Not signed yet: $(cd "$release/unsigned" && echo $(ls | grep -v SHA256SUMS)). Have $release/unsigned signed," \
    "put the signed copies in $signatures and run scripts/package.sh --signatures $signatures again." >&2
  exit 3
fi
if [ -n "$pfx$module" ]; then
  echo "Signed with ${pfx:-$key}${timestamp:+, time-stamped by $timestamp}. Check: scripts/verify-release.sh --ca ROOT.pem"
elif [ -n "$signatures" ]; then
  echo "Signatures from $signatures attached. Check: scripts/verify-release.sh --ca ROOT.pem"
fi
