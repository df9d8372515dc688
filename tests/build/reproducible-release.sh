#!/bin/bash
# reproducible-release.sh SOURCE_DIR WORK_DIR: the release built again from the
# same sources, in another folder and later, with the time stamp the first
# build took, gives the same bytes: dist/Setup.exe, SHA256SUMS and the two
# programs it packs.
set -u
source_dir=$(cd "$1" && pwd)
work=$2
. "$(dirname "$0")/release-copy.sh"
. "$(dirname "$0")/../support/checks.sh"
epoch=$(sed -n 's/^SETUP_SOURCE_DATE_EPOCH:INTERNAL=//p' "$source_dir/build/release/CMakeCache.txt")
[ -n "$epoch" ] || { echo "FAIL the release was not built in $source_dir/build/release"; exit 1; }
SOURCE_DATE_EPOCH=$epoch release_copy "$source_dir" "$work" || { echo "FAIL the second build"; exit 1; }

copy=$work/src
same_bytes "Setup.exe" "$source_dir/dist/Setup.exe" "$copy/dist/Setup.exe"
same_bytes "SHA256SUMS" "$source_dir/dist/SHA256SUMS" "$copy/dist/SHA256SUMS"
for name in Quorvelle.exe Uninstall.exe; do
  same_bytes "$name as packed" "$source_dir/build/release/payload/files/$name" \
    "$copy/build/release/payload/files/$name"
done
check "SHA256SUMS holds Setup.exe's hash" '(cd "$source_dir/dist" && sha256sum --quiet -c SHA256SUMS)'
check "no build path is embedded" \
  '! grep -qaF "$copy" "$copy/dist/Setup.exe" "$copy"/build/release/payload/files/*.exe'
[ $fails -eq 0 ] && rm -rf "$work"
checks_done
