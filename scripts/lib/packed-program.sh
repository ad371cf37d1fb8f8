#!/usr/bin/env bash
# One program on its way into the packages (cmake/signing.cmake): the staged panel, the uninstaller NSIS has
# written, the installer. Signs it in place when scripts/package.sh asks for signing (QM_SIGN=1, with the
# variables of authenticode-sign.sh), or attaches the signature of a copy signed elsewhere; with "inner", keeps
# a copy of it as packed in QM_PACKED_DIR.
#   QM_SIGNATURES  a folder of signed copies, by name (Quenmarel.exe, Uninstall.exe, the installer's name): the
#                  signature of NAME's copy is attached to FILE, and must be one made over exactly FILE's bytes;
#                  a name without a copy stays unsigned and is listed in QM_SIGNATURES_MISSING
#   packed-program.sh FILE NAME [inner]
set -euo pipefail
file="$1" name="$2" inner="${3:-}"
here="$(cd "$(dirname "$0")" && pwd)"
fail() { echo "packed-program.sh: $*" >&2; exit 1; }

if [ -n "${QM_SIGNATURES:-}" ]; then
  copy="$QM_SIGNATURES/$name"
  if [ -f "$copy" ]; then
    work="$(mktemp -d "${TMPDIR:-/tmp}/qm-attach.XXXXXX")"
    trap 'rm -rf "$work"' EXIT
    osslsigncode extract-signature -in "$copy" -out "$work/signature" >/dev/null ||
      fail "$copy carries no signature"
    # attach-signature also checks the certificate chain against the system's authorities and fails when it
    # ends elsewhere (a throwaway authority, an authority osslsigncode does not know): what counts here is
    # that the signed digest is the digest of the bytes built.
    osslsigncode attach-signature -sigin "$work/signature" -in "$file" -out "$work/attached" >/dev/null 2>&1 || true
    [ -s "$work/attached" ] || fail "the signature of $copy could not be attached to $file"
    osslsigncode verify -in "$work/attached" >"$work/verify" 2>&1 || true
    signed_digest="$(sed -n 's/^Current message digest *: *\([0-9A-F]*\).*/\1/p' "$work/verify" | head -1)"
    built_digest="$(sed -n 's/^Calculated message digest *: *\([0-9A-F]*\).*/\1/p' "$work/verify" | head -1)"
    [ -n "$signed_digest" ] && [ "$signed_digest" = "$built_digest" ] ||
      fail "the signature in $copy was made over other bytes than $name as built here (signed $signed_digest, built $built_digest)"
    chmod --reference="$file" "$work/attached"
    mv -f "$work/attached" "$file"
    echo "signature attached: $name"
  else
    echo "$name" >>"${QM_SIGNATURES_MISSING:?}"
  fi
elif [ "${QM_SIGN:-}" = 1 ]; then
  bash "$here/authenticode-sign.sh" "$file"
fi
if [ "$inner" = inner ]; then
  cp "$file" "${QM_PACKED_DIR:?}/$name"
fi
