#!/usr/bin/env bash
# Runs one command in a Debian root made by scripts/wine10-root.sh, with the machine's /proc, /dev and /sys
# and the folders given with --bind at the same paths as here, and the caller's working folder.
#   in-root.sh ROOT [--bind FOLDER]... -- COMMAND [ARGS...]
# The mounts live in a mount namespace of the call's own and end with its last process: nothing stays
# mounted on the machine, whatever becomes of the call. A process that outlives the call (Wine's server)
# keeps the namespace it was started in, and sees nothing mounted on the machine after that: Wine's server
# opens the programs' files, so a test that mounts a volume for Wine starts a prefix after mounting it.
set -euo pipefail
if [ "${1:-}" != --inside ]; then
  [ "$(id -u)" = 0 ] || { echo "in-root.sh: mounting and chroot need root (run the tests as root or with sudo)" >&2; exit 1; }
  exec unshare --mount --propagation private bash "$0" --inside "$@"
fi
shift
root="$1"
shift
folders=()
while [ "${1:-}" = --bind ]; do
  folders+=("$2")
  shift 2
done
[ "${1:-}" = -- ] || { echo "usage: in-root.sh ROOT [--bind FOLDER]... -- COMMAND [ARGS...]" >&2; exit 2; }
shift
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --rbind /sys "$root/sys"
for folder in "${folders[@]}"; do
  mkdir -p "$root$folder"
  mount --rbind "$folder" "$root$folder"
done
# The root's own PATH: the caller's may name folders of this machine, or links that call this script again.
exec chroot "$root" /usr/bin/env PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  /bin/sh -c 'cd "$0" 2>/dev/null || cd /; exec "$@"' "$PWD" "$@"
