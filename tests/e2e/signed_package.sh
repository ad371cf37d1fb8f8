#!/usr/bin/env bash
# The installer test's packages: scripts/package.sh --sign with the code-signing certificate of a throwaway
# certificate authority made for this run; its root is left in <dir>/authority.pem to verify against. The
# password reaches package.sh as a trader's build machine would hand it over: in the environment.
#   signed_package.sh <dir>
set -euo pipefail
package="$(cd "$(dirname "$0")/../../scripts" && pwd)/package.sh"
rm -rf "$1" && mkdir -p "$1" && cd "$1"
export QM_SIGN_PASSWORD="throwaway $RANDOM$RANDOM"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quenmarel throwaway authority" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" \
  -keyout authority.key -out authority.pem 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=Quenmarel throwaway signer" -keyout signer.key -out signer.csr 2>/dev/null
printf 'basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
openssl x509 -req -days 2 -in signer.csr -CA authority.pem -CAkey authority.key -CAcreateserial \
  -extfile signer.ext -out signer.pem 2>/dev/null
openssl pkcs12 -export -inkey signer.key -in signer.pem -passout env:QM_SIGN_PASSWORD -out signer.pfx
exec bash "$package" --sign signer.pfx
