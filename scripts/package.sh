#!/usr/bin/env bash
# Builds the release panel and packs it as a ZIP and a Windows installer (NSIS) in build/release, with their
# SHA-256 checksums in build/release/SHA256SUMS.
#   package.sh [--sign CERT.pfx [--password-file FILE] [--timestamp URL]]
# --sign signs the panel, the uninstaller and the installer (Authenticode, SHA-256) with the certificate and
# key in CERT.pfx. Its password comes from --password-file FILE (the first line), else from the variable
# QM_SIGN_PASSWORD, else the PFX has none: never from the command line, where every user of the machine can
# read it. --timestamp URL adds an RFC 3161 time stamp from that server, so that the signatures stay valid
# after the certificate expires. Without --sign the packages are unsigned.
set -euo pipefail
usage() {
  sed -n '4p' "$0" | sed 's/^# */usage: /' >&2
  exit 2
}

# Signing is asked for here or not at all: variables left over in the caller's environment are not a request.
unset QM_SIGN_PFX QM_SIGN_PASSFILE QM_SIGN_TIMESTAMP
pfx="" password_file="" timestamp=""
while [ $# -gt 0 ]; do
  case "$1" in
    --sign) [ $# -ge 2 ] || usage; pfx="$2"; shift 2 ;;
    --password-file) [ $# -ge 2 ] || usage; password_file="$2"; shift 2 ;;
    --timestamp) [ $# -ge 2 ] || usage; timestamp="$2"; shift 2 ;;
    *) usage ;;
  esac
done
if [ -z "$pfx" ] && [ -n "$password_file$timestamp" ]; then
  echo "package.sh: --password-file and --timestamp go with --sign" >&2
  exit 2
fi

# Files named on the command line are the caller's, relative to the caller's folder.
[ -z "$pfx" ] || pfx="$(realpath -e "$pfx")" || exit 2
[ -z "$password_file" ] || password_file="$(realpath -e "$password_file")" || exit 2
cd "$(dirname "$0")/.."

work="$(mktemp -d "${TMPDIR:-/tmp}/qm-package.XXXXXX")"
chmod 700 "$work"
trap 'rm -rf "$work"' EXIT
if [ -n "$pfx" ]; then
  export QM_SIGN_PFX QM_SIGN_PASSFILE QM_SIGN_TIMESTAMP
  QM_SIGN_PFX="$pfx"
  QM_SIGN_TIMESTAMP="$timestamp"
  if [ -n "$password_file" ]; then
    [ -r "$password_file" ] || { echo "package.sh: cannot read $password_file" >&2; exit 2; }
    QM_SIGN_PASSFILE="$password_file"
  elif [ -n "${QM_SIGN_PASSWORD:-}" ]; then
    # Into a file only this user can read, removed at the end; the tools started below do not inherit it.
    QM_SIGN_PASSFILE="$work/password"
    (umask 077 && printf '%s\n' "$QM_SIGN_PASSWORD" >"$QM_SIGN_PASSFILE")
  else
    QM_SIGN_PASSFILE=""
  fi
  unset QM_SIGN_PASSWORD
fi

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target Quenmarel
# Packages of an earlier version would sit beside the new ones and be taken for them.
rm -f build/release/Quenmarel-*-win64.* build/release/SHA256SUMS
(cd build/release && cpack -G "ZIP;NSIS")
(cd build/release && sha256sum Quenmarel-*-win64.exe Quenmarel-*-win64.zip >SHA256SUMS)
ls -l build/release/Quenmarel-*-win64.* build/release/SHA256SUMS
if [ -n "$pfx" ]; then
  echo "Signed with $pfx${timestamp:+, time-stamped by $timestamp}. Check: scripts/verify-release.sh --ca ROOT.pem"
fi
