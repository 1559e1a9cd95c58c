#!/usr/bin/env bash
# Saving in place on a real copy-on-write file system. Makes a small btrfs file system in
# an image file on a loop device, mounts it, and runs the budget file test that fills it
# to a few KiB free and saves a hard-linked year onto it (overwriting needs free space of
# its own there). The mount and the loop device are always removed again.
#
#   run.sh PATH-TO-tst_budgetfile
#
# Exit status 0 on success, 77 (skipped) when not run as root, when btrfs-progs (Debian
# package btrfs-progs) is not installed, or when the loop device or the mount is refused,
# else 1.
set -euo pipefail

test_program=${1:?usage: run.sh PATH-TO-tst_budgetfile}

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: a loop device and a mount need root"
    exit 77
fi
for tool in mkfs.btrfs losetup mount umount; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (Debian packages btrfs-progs, mount)"
        exit 77
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/penvoro-cow.XXXXXX")
device=""
mounted=""

cleanup() {
    local status=$?
    [ -n "$mounted" ] && umount "$work/disk" 2>/dev/null || true
    [ -n "$device" ] && losetup -d "$device" 2>/dev/null || true
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Mixed block groups keep a small file system's data and metadata in one pool, so that
# its free space is what a file can take.
truncate -s 128M "$work/image"
mkfs.btrfs --quiet --mixed "$work/image" >/dev/null
mkdir "$work/disk"
if ! device=$(losetup --find --show "$work/image" 2>/dev/null); then
    device=""
    echo "SKIPPED: no loop device available"
    exit 77
fi
if ! mount -t btrfs "$device" "$work/disk" 2>/dev/null; then
    echo "SKIPPED: mounting btrfs was refused"
    exit 77
fi
mounted=1

PENVORO_COPY_ON_WRITE_FOLDER=$work/disk "$test_program" copyOnWriteDiskKeepsTheOldYear
