#!/usr/bin/env bash
# Sets up or removes the small volume that the full-disk test writes to: a 64 KiB tmpfs mounted in the build
# tree and mapped as a drive letter of a prefix of the test's own, a copy of the build tree's. Mounting needs
# root; where it is not permitted, setup says so and exits with 77, which CTest shows as a skipped test of its
# own, and the full-disk test then reports itself skipped too.
# The prefix is made after the volume is mounted: Wine's server opens the files, and under Wine 10 it runs in
# a mount namespace of its own (scripts/lib/in-root.sh), which sees only what was mounted when it started.
# Each Wine (QM_WINE) has a volume and a prefix of its own.
#   small_volume.sh setup|cleanup <mount point> <drive, e.g. q:> <build wine-run.sh> <the test's wine-run.sh>
set -u
action=$1 drive=$3 build_run=$4 run=$5
mount_point="$2-wine${QM_WINE:-8}"
prefix="$(bash "$run" --prefix)"

release() {
  if [ -d "$prefix" ]; then
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
    WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1
    rm -rf "$prefix"
  fi
  if mountpoint -q "$mount_point" 2>/dev/null; then
    umount "$mount_point"
  fi
}

case "$action" in
  setup)
    release
    mkdir -p "$mount_point"
    if ! mount -t tmpfs -o size=64k,mode=0777 qm-small-volume "$mount_point" 2>/dev/null; then
      echo "small volume: mounting a tmpfs is not permitted here; the full-disk test will be skipped"
      exit 77
    fi
    bash "$(dirname "$0")/../support/copy_prefix.sh" "$build_run" "$prefix" || exit 1
    ln -sfn "$mount_point" "$prefix/dosdevices/$drive"
    echo "small volume: 64 KiB tmpfs at $mount_point mapped as ${drive^^} in $prefix"
    ;;
  cleanup)
    release
    ;;
  *)
    echo "usage: $0 setup|cleanup <mount point> <drive> <build wine-run.sh> <the test's wine-run.sh>" >&2
    exit 2
    ;;
esac
