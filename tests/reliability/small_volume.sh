#!/usr/bin/env bash
# Sets up or removes the small volume that the full-disk test writes to: a 64 KiB tmpfs mounted in the build
# tree and mapped as a drive letter of the build tree's Wine prefix. Mounting needs root; where it is not
# permitted, setup says so and exits with 77, which CTest shows as a skipped test of its own, and the
# full-disk test then reports itself skipped too.
#   small_volume.sh setup|cleanup <mount point> <wine prefix> <drive, e.g. q:> <wine-run.sh>
set -u
action=$1 mount_point=$2 prefix=$3 drive=$4 wine_run=$5
link="$prefix/dosdevices/$drive"

release() {
  rm -f "$link"
  if mountpoint -q "$mount_point" 2>/dev/null; then
    umount "$mount_point"
  fi
}

case "$action" in
  setup)
    release
    # A drive is added to an existing prefix only: the first program run creates the prefix.
    "$wine_run" cmd.exe /c exit 0 >/dev/null 2>&1 || true
    mkdir -p "$mount_point"
    if ! mount -t tmpfs -o size=64k,mode=0777 qm-small-volume "$mount_point" 2>/dev/null; then
      echo "small volume: mounting a tmpfs is not permitted here; the full-disk test will be skipped"
      exit 77
    fi
    ln -sfn "$mount_point" "$link"
    echo "small volume: 64 KiB tmpfs at $mount_point mapped as ${drive^^}"
    ;;
  cleanup)
    release
    ;;
  *)
    echo "usage: $0 setup|cleanup <mount point> <wine prefix> <drive> <wine-run.sh>" >&2
    exit 2
    ;;
esac
