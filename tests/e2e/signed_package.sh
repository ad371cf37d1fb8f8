#!/usr/bin/env bash
# The installer test's packages: scripts/package.sh --sign with the code-signing certificate of a throwaway
# authority made for this run (its root left in <dir>/authority.pem), the password handed over in the
# environment.   signed_package.sh <dir>
set -euo pipefail
package="$(cd "$(dirname "$0")/../../scripts" && pwd)/package.sh"
rm -rf "$1" && mkdir -p "$1" && cd "$1"
export QM_SIGN_PASSWORD="throwaway $RANDOM$RANDOM"
cert() { openssl req -x509 -newkey rsa:2048 -nodes -days 2 -addext "basicConstraints=critical,CA:$1" "${@:2}"; } 2>/dev/null
cert TRUE -subj "/CN=Quenmarel throwaway authority" -keyout authority.key -out authority.pem
cert FALSE -subj "/CN=Quenmarel throwaway signer" -CA authority.pem -CAkey authority.key \
  -addext "keyUsage=critical,digitalSignature" -addext extendedKeyUsage=codeSigning -keyout signer.key -out signer.pem
openssl pkcs12 -export -inkey signer.key -in signer.pem -passout env:QM_SIGN_PASSWORD -out signer.pfx
exec bash "$package" --sign signer.pfx
