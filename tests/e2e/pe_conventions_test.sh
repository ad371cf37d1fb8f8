#!/usr/bin/env bash
# Reads a built Quenmarel.exe as Windows' loader does: the PE header's DllCharacteristics and the manifest
# resource (RT_MANIFEST, id 1) must declare what the panel relies on.   pe_conventions_test.sh <Quenmarel.exe>
set -euo pipefail
fail() { echo "FAIL: $1: $2" >&2; exit 1; }
flags="$(x86_64-w64-mingw32-objdump -p "$1" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p')"
for flag in TERMINAL_SERVICE_AWARE DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
  grep -qw "$flag" <<<"$flags" || fail "$1" "DllCharacteristics lacks $flag: $(head -1 <<<"$flags")"
done
# windres prints the manifest as RC string lines with doubled quotes.
manifest="$(x86_64-w64-mingw32-windres -i "$1" -O rc | sed -n '/^1 24 /,/^END/p' | sed 's/""/"/g')"
grep -qF '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>' \
  <<<"$manifest" || fail "$1" "manifest 1 does not declare longPathAware"
echo "pe conventions: $(head -1 <<<"$flags" | tr -s '\t ' ' '), long paths declared"
