#!/usr/bin/env bash
# Makes the Debian 13 root whose Wine 10 the tests run under, beside Debian 12's Wine 8 of this machine:
# once per machine, outside the source tree, from Debian's own packages. A root that is there and complete is
# kept; one that was left half made, or made for another list of packages, is made again from scratch.
#
#   scripts/wine10-root.sh            # makes it if need be, and prints its folder
#   QM_WINE10_ROOT=DIR scripts/...    # another folder (the default is /var/lib/quenmarel/wine10-root)
#
# Needs root (or sudo) for debootstrap. Takes about 4 minutes on a fresh machine (2.5 for the base system,
# 1.5 for Wine and the rest); scripts/install-deps.sh installs debootstrap.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(realpath -m "${QM_WINE10_ROOT:-/var/lib/quenmarel/wine10-root}")"
suite=trixie
# What the tests use of the root: Wine 10 (64-bit only: Debian 13 has no 32-bit Windows side of its own) with
# the fonts a trader's Wine has (fonts-wine and DejaVu's core faces; none of the condensed ones this machine
# has, so that the panel's choice of face is tried without them), the ODBC driver manager with the SQLite and
# FreeTDS drivers, and the locales of the code-page runs.
packages=(wine wine64 fonts-wine fonts-dejavu-core unixodbc libsqliteodbc tdsodbc locales)
locales=("ja_JP.UTF-8 UTF-8" "ru_RU.UTF-8 UTF-8")
stamp="$suite ${packages[*]} ${locales[*]}"

if [ -f "$root/.qm-ready" ] && [ "$(cat "$root/.qm-ready")" = "$stamp" ]; then
  echo "$root"
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
command -v debootstrap >/dev/null || [ -x /usr/sbin/debootstrap ] ||
  { echo "wine10-root: debootstrap is missing; run scripts/install-deps.sh" >&2; exit 1; }

# Nothing of the machine may be mounted in a root that is removed (in-root.sh mounts only in namespaces of
# its own, which end with their calls).
if grep -q " $root[/ ]" /proc/self/mountinfo || grep -q " $root.partial[/ ]" /proc/self/mountinfo; then
  echo "wine10-root: something is mounted in $root; unmount it first" >&2
  exit 1
fi
# Made beside its final place and moved there when complete, so that a root that exists is whole.
partial="$root.partial"
echo "wine10-root: making a Debian 13 root with Wine 10 in $root" >&2
"${sudo_cmd[@]}" rm -rf "$partial" "$root"
"${sudo_cmd[@]}" mkdir -p "$(dirname "$root")"
"${sudo_cmd[@]}" env PATH="/usr/sbin:/sbin:$PATH" debootstrap --variant=minbase "$suite" "$partial" \
  http://deb.debian.org/debian >"$partial.log" 2>&1 ||
  { tail -n 20 "$partial.log" >&2; echo "wine10-root: debootstrap failed (log: $partial.log)" >&2; exit 1; }
"${sudo_cmd[@]}" cp /etc/resolv.conf "$partial/etc/resolv.conf"
printf '%s\n' "${locales[@]}" | "${sudo_cmd[@]}" tee "$partial/etc/locale.gen" >/dev/null
in_root() { "${sudo_cmd[@]}" bash scripts/lib/in-root.sh "$partial" -- "$@"; }
in_root apt-get update -qq >>"$partial.log" 2>&1
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${packages[@]}" \
  >>"$partial.log" 2>&1 ||
  { tail -n 20 "$partial.log" >&2; echo "wine10-root: installing Wine 10 failed (log: $partial.log)" >&2; exit 1; }
in_root locale-gen >>"$partial.log" 2>&1
in_root apt-get clean
echo "$stamp" | "${sudo_cmd[@]}" tee "$partial/.qm-ready" >/dev/null
"${sudo_cmd[@]}" mv "$partial" "$root"
"${sudo_cmd[@]}" rm -f "$partial.log"
echo "wine10-root: $("${sudo_cmd[@]}" bash scripts/lib/in-root.sh "$root" -- wine --version 2>/dev/null) in $root" >&2
echo "$root"
