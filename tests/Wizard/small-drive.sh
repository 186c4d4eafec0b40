#!/usr/bin/env bash
# A small drive for the free-space check: a 25 MB tmpfs mounted in the test
# state folder and given to the Wine prefix as drive S:.
#   small-drive.sh setup|cleanup <state-dir>
# Mounting needs the right to mount; without it the drive is left out and
# the test that needs it says so and skips.
set -uo pipefail
cmd="$1"
state="$(cd "$2" && pwd)"
mountpoint="$state/small-drive"
link="$state/prefix/dosdevices/s:"
case "$cmd" in
  setup)
    mkdir -p "$mountpoint"
    if ! mountpoint -q "$mountpoint"; then
      mount -t tmpfs -o size=25m vl-small-drive "$mountpoint" 2>/dev/null || {
        echo "small-drive: cannot mount a tmpfs here; the low-space test will skip"
        exit 0
      }
    fi
    ln -sfn "$mountpoint" "$link"
    echo "small-drive: S: is $(df -h "$mountpoint" | tail -1)"
    ;;
  cleanup)
    rm -f "$link"
    if mountpoint -q "$mountpoint"; then umount "$mountpoint"; fi
    rmdir "$mountpoint" 2>/dev/null || true
    ;;
esac
exit 0
