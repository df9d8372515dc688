#!/bin/bash
# bench-large.sh [SIZE...]: Setup.exe carrying a product of each size
# (default 1m 256m 1g), installed through the wizard under a private Xvfb
# in a Wine prefix of its own. The product's main program is program code of
# that size (bench/make_code_payload.py, deterministic); its other three
# files are the stand-ins. For each size it prints:
#   - the installation's time (Continue on the ready page to the finished
#     page) and the longest stretch the window went without reading its
#     messages, both measured from outside by bench/responsiveness_probe.exe;
#   - the peak private memory of the process (anonymous resident memory,
#     sampled every 20 ms);
#   - the floor: the same main program inflated once and written, in a
#     process of its own (extract_bench's one-pass inflate), beside the
#     engine's own ExtractPayload on it.
# The products are built in build/bench-large/SIZE (a 1 GiB one takes some
# minutes and 2.5 GB of disk); nothing is committed.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
[ -n "${DISPLAY:-}" ] || exec scripts/with-xvfb.sh "$0" "$@"
sizes=${*:-1m 256m 1g}
root=$PWD/build/bench-large
toolchain=$PWD/cmake/toolchain-i686-mingw.cmake

cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
cmake -S . -B "$root/tools" -G Ninja --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DSETUP_BUILD_BENCH=ON -DSETUP_DIST_DIR="$root/tools/dist" >/dev/null
cmake --build "$root/tools" --target responsiveness_probe extract_bench >/dev/null
dlls=$(ls /usr/lib/i386-linux-gnu/wine/i386-windows/*.dll | head -200)

export TEST_WINEPREFIX=$root/prefix TEST_ARCH=i686
destination=$TEST_WINEPREFIX/drive_c/Program\ Files\ \(x86\)/Quorvelle

# The largest anonymous resident set of the unix process running PROGRAM,
# in KiB, until the process PID ends.
peak_private() {  # PID PROGRAM
  local peak=0 now p
  while kill -0 "$1" 2>/dev/null; do
    for p in $(pgrep -f "$2"); do
      now=$(awk '/^RssAnon/{print $2}' "/proc/$p/status" 2>/dev/null)
      [ -n "$now" ] && [ "$now" -gt "$peak" ] && peak=$now
    done
    sleep 0.02
  done
  echo "$peak"
}

measure() {  # SIZE
  local size=$1 files=$root/$1/files dist=$root/$1/dist
  mkdir -p "$files"
  cp build/release/payload/files/{Uninstall.exe,Copyright.txt,help.txt} "$files/"
  [ -f "$files/Quorvelle.exe" ] ||
    python3 bench/make_code_payload.py "$(numfmt --from=iec "${size^^}")" "$files/Quorvelle.exe" $dlls
  cmake -S . -B "$root/$size/build" -G Ninja --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DSETUP_PAYLOAD_DIR="$files" -DSETUP_DIST_DIR="$dist" >/dev/null
  cmake --build "$root/$size/build" >/dev/null
  echo "== $size: Setup.exe $(stat -c %s "$dist/Setup.exe") bytes"

  scripts/wine-run.sh "$root/tools/bench/extract_bench.exe" "Z:$dist/Setup.exe" 3 QUORVELLE |
    tr -d '\r' | grep -E 'payload:|median|ratio'

  rm -rf "$destination"
  scripts/wine-run.sh "$dist/Setup.exe" >/dev/null 2>&1 &
  local setup=$!
  peak_private "$setup" "$dist/Setup.exe" >"$root/peak" &
  local sampler=$!
  scripts/wine-run.sh "$root/tools/bench/responsiveness_probe.exe" | tr -d '\r'
  # The wizard, the product and the help text it opened go with the prefix's server.
  WINEPREFIX=$TEST_WINEPREFIX wineserver -k || true
  wait "$setup" 2>/dev/null || true
  wait "$sampler"
  echo "  peak private memory: $(($(cat "$root/peak") / 1024)) MiB"
}

for size in $sizes; do measure "$size"; done
