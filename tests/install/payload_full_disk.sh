#!/bin/bash
# payload_full_disk.sh RUNNER TEST_PROGRAM: runs the full-disk payload test
# with a 1 MiB tmpfs mapped as drive Q: of the test prefix, and removes both
# afterwards. Mounting needs root; without it the test is skipped (77).
runner=$1 program=$2
prefix=${TEST_WINEPREFIX:-$(dirname "$runner")/prefix}
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: mounting the small file system needs root"; exit 77
fi
dir=$(mktemp -d /tmp/payload-small-drive.XXXXXX)
if ! mount -t tmpfs -o size=1m,mode=0777 tmpfs "$dir"; then
  rmdir "$dir"; echo "skipped: this machine does not permit mounting a tmpfs"; exit 77
fi
cleanup() {
  rm -f "$prefix/dosdevices/q:"
  umount "$dir" && rmdir "$dir"
}
trap cleanup EXIT
# The prefix is made on first use; the runner makes it if this is the first.
[ -d "$prefix/dosdevices" ] || "$runner" cmd.exe /c exit 0 >/dev/null 2>&1
ln -sfn "$dir" "$prefix/dosdevices/q:"
PAYLOAD_SMALL_DRIVE=Q "$runner" "$program"
