#!/bin/sh
# bench-extract.sh: builds the extraction benchmark for the architecture this
# host runs and times ExtractPayload against a plain one-pass inflate on a
# 1 MiB and a 64 MiB payload of program code, each in a fresh process (so
# that each reports its own peak memory). The Wine prefix is the tests'.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
arch=${SETUP_BENCH_ARCH:-i686}
build="build/bench-$arch"
cmake -S . -B "$build" -G Ninja --toolchain "$PWD/cmake/toolchain-$arch-mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DSETUP_BUILD_BENCH=ON -DSETUP_DIST_DIR="$PWD/$build/dist" >/dev/null
cmake --build "$build" --target extract_bench -j2
# A prefix of its own: the installations it times must not show up in the tests.
export TEST_WINEPREFIX="${TEST_WINEPREFIX:-$PWD/$build/wine/prefix}" TEST_ARCH="$arch"
echo "ExtractPayload benchmark, $arch build under Wine"
for size in 1m 64m; do
  rounds=21; [ "$size" = 64m ] && rounds=5
  echo "== $size payload"
  scripts/wine-run.sh "$build/bench/extract_bench.exe" "Z:$PWD/$build/bench/payload_$size.dll" "$rounds"
done
