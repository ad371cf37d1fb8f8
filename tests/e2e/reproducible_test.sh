#!/usr/bin/env bash
# Two release builds of one commit, in two folders, at two times, by two users, give the same bytes: the
# packages and programs made before signing (signed_package.sh's unsigned/) against a build
# of the same source files in a fresh folder, by the user nobody when this runs as root. Then
# verify-release.sh --rebuild, by that user on that tree, must find the signed packages (signed_package.sh's
# pfx/) to be its build plus their signatures. What differs is shown by diffoscope.
#   reproducible_test.sh <signed_package.sh's dir>
set -euo pipefail
signer="$1"
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
fail() { echo "FAIL: $*" >&2; exit 1; }
work="$(mktemp -d "${TMPDIR:-/tmp}/qm-reproducible.XXXXXX")"
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/source" "$work/tmp" "$work/published"
cp "$signer"/pfx/Quenmarel-*-win64.* "$signer/pfx/SHA256SUMS" "$work/published/"
# The source files as git knows them in this work tree (committed or not), without its build trees.
(cd "$source_dir" && git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf -) | tar -xf - -C "$work/source"
epoch="$(git -C "$source_dir" log -1 --format=%ct)"
# Below the other tests, which wait on Wine more than they compute.
as=(nice -n 10 env HOME="$work/source" TMPDIR="$work/tmp" SOURCE_DATE_EPOCH="$epoch")
if [ "$(id -u)" = 0 ]; then
  chown -R nobody:nogroup "$work/source" "$work/tmp"
  as=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${as[@]}")
  builder=nobody
else
  builder="$(id -un), the same user (run as root for another)"
fi

"${as[@]}" bash "$work/source/scripts/package.sh" >"$work/package.log" 2>&1 || { cat "$work/package.log" >&2; fail "the second build failed"; }
rebuilt="$work/source/build/release"
differ=0
for file in "$signer"/unsigned/Quenmarel-*-win64.exe "$signer"/unsigned/Quenmarel-*-win64.zip \
  "$signer"/unsigned/Quenmarel.exe "$signer"/unsigned/Uninstall.exe; do
  name="$(basename "$file")"
  second="$rebuilt/$name"
  [ -f "$second" ] || second="$rebuilt/programs/$name"
  first_sum="$(sha256sum <"$file" | cut -c1-64)" second_sum="$(sha256sum <"$second" 2>/dev/null | cut -c1-64)"
  echo "$name: $first_sum (signed_package.sh) $second_sum (by $builder in $work/source)"
  if [ "$first_sum" != "$second_sum" ]; then
    differ=1
    command -v diffoscope >/dev/null || { echo "diffoscope is missing: run scripts/install-deps.sh" >&2; continue; }
    timeout 300 diffoscope --max-report-size 100000 "$file" "$second" >&2 || true
  fi
done
[ "$differ" = 0 ] || fail "two builds of one commit differ"

"${as[@]}" bash "$work/source/scripts/verify-release.sh" --ca "$signer/authority.pem" --rebuild "$work/source" \
  "$work/published" || fail "the signed packages are not the second build plus their signatures"
echo "reproducible: two builds by two users in two folders are the same bytes; the signed packages are a rebuild plus their signatures"
