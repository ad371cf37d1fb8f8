#!/usr/bin/env bash
# Signs one Windows program in place, Authenticode with SHA-256, with a key in a PKCS#12 file or on a PKCS#11
# token (a USB token, an HSM). scripts/package.sh sets the variables; scripts/lib/packed-program.sh calls this
# for the staged panel, the uninstaller and the installer.
#   QM_SIGN_PFX            the code-signing certificate with its key (PKCS#12), or
#   QM_SIGN_PKCS11_MODULE  the token's PKCS#11 module, with
#     QM_SIGN_KEY          the key on the token (a PKCS#11 URI),
#     QM_SIGN_CERT         the certificate: a PKCS#11 URI on the token, or a file (PEM or DER, intermediates too),
#     QM_SIGN_CHAIN        intermediate certificates to add, a file; unset for none,
#     QM_SIGN_PKCS11_ENGINE  OpenSSL's PKCS#11 engine (libengine-pkcs11-openssl) by path
#   QM_SIGN_PASSFILE       a private file holding the PFX's password or the token's PIN; unset for none
#   QM_SIGN_TIMESTAMP      an RFC 3161 time-stamping server; unset for no time stamp
#   QM_SIGN_TIME           the signing time (seconds since 1970): with it one key signs the same bytes into the
#                          same bytes; unset for the current time
#   authenticode-sign.sh FILE
# The password and the PIN never reach a command line: osslsigncode reads them from the file.
set -euo pipefail
file="$1"
if [ -n "${QM_SIGN_PFX:-}" ]; then
  args=(sign -pkcs12 "$QM_SIGN_PFX")
elif [ -n "${QM_SIGN_PKCS11_MODULE:-}" ]; then
  : "${QM_SIGN_KEY:?no key on the token to sign with}" "${QM_SIGN_CERT:?no certificate to sign with}"
  args=(sign -pkcs11engine "${QM_SIGN_PKCS11_ENGINE:?no PKCS#11 engine}" -pkcs11module "$QM_SIGN_PKCS11_MODULE"
        -key "$QM_SIGN_KEY")
  case "$QM_SIGN_CERT" in
    pkcs11:*) args+=(-pkcs11cert "$QM_SIGN_CERT") ;;
    *) args+=(-certs "$QM_SIGN_CERT") ;;
  esac
  [ -z "${QM_SIGN_CHAIN:-}" ] || args+=(-ac "$QM_SIGN_CHAIN")
else
  echo "authenticode-sign.sh: no certificate to sign with" >&2
  exit 2
fi
args+=(-h sha256 -n "Quenmarel: MetaTrader 4 Interface")
[ -z "${QM_SIGN_PASSFILE:-}" ] || args+=(-readpass "$QM_SIGN_PASSFILE")
[ -z "${QM_SIGN_TIMESTAMP:-}" ] || args+=(-ts "$QM_SIGN_TIMESTAMP")
[ -z "${QM_SIGN_TIME:-}" ] || args+=(-time "$QM_SIGN_TIME")

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
