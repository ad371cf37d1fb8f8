#!/usr/bin/env bash
# The installer test's packages, made by scripts/package.sh in <dir>/release (never in build/release, which
# holds only packages for the trader) and kept in <dir>: unsigned/ first, then token/, signed with a key on a
# PKCS#11 token (SoftHSM2, a token made in <dir> for this run), and last pfx/, signed from a PFX; the PFX's
# packages stay in <dir>/release, as package.sh lays them out. Both keys are the code-signing key of
# a throwaway authority made for this run (its root left in <dir>/authority.pem); the PIN and the password
# are handed over in the environment.   signed_package.sh <dir>
set -euo pipefail
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"
softhsm=/usr/lib/softhsm/libsofthsm2.so
for tool in openssl pkcs11-tool osslsigncode; do
  command -v "$tool" >/dev/null || { echo "signed_package.sh: $tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done
[ -f "$softhsm" ] || { echo "signed_package.sh: no $softhsm (softhsm2): run scripts/install-deps.sh" >&2; exit 1; }
rm -rf "$1" && mkdir -p "$1" && cd "$1"
# What build/release holds for the trader, which none of this may change.
shipped() { (cd "$scripts/../build/release" 2>/dev/null && sha256sum Quenmarel-*-win64.* SHA256SUMS programs/* 2>/dev/null) || true; }
before="$(shipped)"
keep() {
  mkdir "$1"
  cp release/Quenmarel-*-win64.* release/SHA256SUMS release/programs/* "$1/"
}
bash "$scripts/package.sh" --out release >package.log 2>&1 || { cat package.log >&2; exit 1; }
keep unsigned

cert() { openssl req -x509 -newkey rsa:2048 -nodes -days 2 -addext "basicConstraints=critical,CA:$1" "${@:2}"; } 2>/dev/null
cert TRUE -subj "/CN=Quenmarel throwaway authority" -keyout authority.key -out authority.pem
cert FALSE -subj "/CN=Quenmarel throwaway signer" -CA authority.pem -CAkey authority.key \
  -addext "keyUsage=critical,digitalSignature" -addext extendedKeyUsage=codeSigning -keyout signer.key -out signer.pem

# The stand-in token: the signer's key and certificate imported, as a vendor's token holds them.
export SOFTHSM2_CONF="$PWD/softhsm2.conf" QM_SO_PIN="so-$RANDOM$RANDOM" QM_SIGN_PIN="user-$RANDOM$RANDOM"
mkdir tokens
printf 'directories.tokendir = %s/tokens\nobjectstore.backend = file\nlog.level = ERROR\n' "$PWD" >"$SOFTHSM2_CONF"
token() { pkcs11-tool --module "$softhsm" "$@" >>token.log 2>&1 || { cat token.log >&2; exit 1; }; }
token --init-token --label quenmarel-test --so-pin env:QM_SO_PIN
token --token-label quenmarel-test --login --login-type so --so-pin env:QM_SO_PIN --init-pin --new-pin env:QM_SIGN_PIN
openssl pkey -in signer.key -outform DER -out signer.key.der
openssl x509 -in signer.pem -outform DER -out signer.der
for object in "signer.key.der privkey" "signer.der cert"; do
  set -- $object
  token --token-label quenmarel-test --login --pin env:QM_SIGN_PIN --write-object "$1" --type "$2" --id 01 --label signer
done
rm signer.key.der
uri='pkcs11:token=quenmarel-test;object=signer'
bash "$scripts/package.sh" --out release --pkcs11-module "$softhsm" --key "$uri;type=private" --cert "$uri;type=cert" >>package.log 2>&1 ||
  { cat package.log >&2; exit 1; }
keep token
unset QM_SIGN_PIN

export QM_SIGN_PASSWORD="throwaway $RANDOM$RANDOM"
openssl pkcs12 -export -inkey signer.key -in signer.pem -passout env:QM_SIGN_PASSWORD -out signer.pfx
bash "$scripts/package.sh" --out release --sign signer.pfx >>package.log 2>&1 || { cat package.log >&2; exit 1; }
keep pfx
[ "$(shipped)" = "$before" ] || { echo "signed_package.sh: the test's packages changed build/release" >&2; exit 1; }
