#!/bin/sh
# The run command: installs what is missing, builds dist/Setup.exe and starts
# it under Wine in a prefix of its own (build/run/prefix), on the current
# display or, without one, on a private Xvfb.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
program="$PWD/dist/Setup.exe"
arch=$(scripts/test-arch.sh)
if [ "$arch" != i686 ]; then
  echo "note: this host runs no 32-bit code; starting the 64-bit build of the same sources"
  cmake --preset tests-x86_64 >/dev/null
  cmake --build --preset tests-x86_64 --target Setup
  program="$PWD/build/tests-x86_64/dist/Setup.exe"
fi
export TEST_WINEPREFIX="$PWD/build/run/prefix" TEST_ARCH="$arch"
status=0
scripts/with-xvfb.sh scripts/wine-run.sh "$program" || status=$?
echo "Setup.exe exited with code $status"
WINEPREFIX="$TEST_WINEPREFIX" wineserver -k 2>/dev/null || true
exit $status
