#!/usr/bin/env bash
# Signs one Windows program in place, Authenticode with SHA-256. scripts/package.sh --sign sets the variables;
# CPack calls this for the staged panel, NSIS for the uninstaller and the installer it writes.
#   QM_SIGN_PFX        the code-signing certificate with its key (PKCS#12)
#   QM_SIGN_PASSFILE   a private file holding the PFX's password; unset for a PFX without one
#   QM_SIGN_TIMESTAMP  an RFC 3161 time-stamping server; unset for no time stamp
#   authenticode-sign.sh FILE
# The password never reaches a command line: osslsigncode reads it from the file.
set -euo pipefail
file="$1"
: "${QM_SIGN_PFX:?no certificate to sign with}"
args=(sign -pkcs12 "$QM_SIGN_PFX" -h sha256 -n "Quenmarel: MetaTrader 4 Interface")
[ -z "${QM_SIGN_PASSFILE:-}" ] || args+=(-readpass "$QM_SIGN_PASSFILE")
[ -z "${QM_SIGN_TIMESTAMP:-}" ] || args+=(-ts "$QM_SIGN_TIMESTAMP")

signed="$file.signed"
trap 'rm -f "$signed"' EXIT
rm -f "$signed"
osslsigncode "${args[@]}" -in "$file" -out "$signed" >/dev/null || {
  echo "authenticode-sign.sh: could not sign $file" >&2
  exit 1
}
chmod --reference="$file" "$signed"
mv -f "$signed" "$file"
echo "signed: $file"
