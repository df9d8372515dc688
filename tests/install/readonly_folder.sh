#!/bin/sh
# readonly_folder.sh mount|unmount DIR: makes DIR a read-only view of
# DIR.source, which holds an install.log left by an earlier run, for the
# tests of a destination folder that refuses writes. Where bind mounts are not
# permitted nothing is mounted; the tests then find DIR writable and skip.
dir=$2
case $1 in
  mount)
    mountpoint -q "$dir" 2>/dev/null && exit 0
    mkdir -p "$dir" "$dir.source" || exit 1
    printf '[Files]\r\n1=C:\\old.exe\r\n' >"$dir.source/install.log"
    mount --bind -o ro "$dir.source" "$dir" 2>/dev/null ||
      echo "read-only bind mount not permitted: those tests will skip"
    ;;
  unmount)
    if mountpoint -q "$dir" 2>/dev/null; then umount "$dir" || exit 1; fi
    rm -rf "$dir" "$dir.source"
    ;;
  *) echo "usage: $0 mount|unmount DIR" >&2; exit 2 ;;
esac
exit 0
