#!/bin/sh
# The test command: installs what is missing (32-bit emulation included where
# the kernel runs no 32-bit code), builds dist/Setup.exe and the 32-bit test
# programs, and runs every test under Wine on a private Xvfb display.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
path=$(scripts/ia32-emulation.sh --status)
echo "test: 32-bit programs run $path on this host"
scale=1; [ "$path" = emulated ] && scale=3  # time limits, for hung tests only
cmake --preset release >/dev/null
cmake --build --preset release
cmake --preset tests-i686 -DSETUP_TEST_TIME_SCALE=$scale >/dev/null
cmake --build --preset tests-i686
status=0
scripts/with-xvfb.sh ctest --test-dir build/tests-i686 -j2 --output-on-failure || status=$?
# Stop the Wine session this run started (its server and background programs).
WINEPREFIX="$PWD/build/tests-i686/wine/prefix" wineserver -k 2>/dev/null || true
exit $status
