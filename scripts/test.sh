#!/bin/sh
# The test command: installs what is missing, builds dist/Setup.exe and the
# test programs, and runs every test under Wine on a private Xvfb display.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
arch=$(scripts/test-arch.sh)
[ "$arch" = i686 ] || echo "note: this host runs no 32-bit code; testing the 64-bit build of the same sources"
cmake --preset "tests-$arch" >/dev/null
cmake --build --preset "tests-$arch"
status=0
scripts/with-xvfb.sh ctest --test-dir "build/tests-$arch" -j2 --output-on-failure || status=$?
# Stop the Wine session this run started (its server and background programs).
WINEPREFIX="$PWD/build/tests-$arch/wine/prefix" wineserver -k 2>/dev/null || true
exit $status
