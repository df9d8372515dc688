#!/bin/bash
# bench-compare.sh [ROUNDS]: Setup.exe side by side with a reference installer
# built by Debian's NSIS from the same four payload files. Prints medians of
# runs alternated A B A B ... so that machine drift cancels:
#   size: overhead = executable minus its compressed payload data, and the
#         share of our artwork; the reference's overhead is the size of the
#         same installer built around four empty files
#   start: process start to the wizard's window visible and painted, against
#          a do-nothing GUI program (our own baseline) showing an empty window
#          of the wizard's size, timed the same way; and against the same
#          program without a window
#   install: RunInstallation timed in-process, against the reference's silent
#            install minus the baseline's start; and the floor under it: the
#            median cost of each system call the installation makes (profile
#            writes, payload files written, folders made, links saved,
#            internet shortcuts written, shell notifications, registry keys
#            and values) times its count; and the same calls made in one run
#            in the installation's order, timed whole like RunInstallation
#            and in turns with it in one process (the floor it is held
#            against: the median of a run is not the sum of its calls'
#            medians)
#   silent install: both whole processes, Setup.exe /S against the
#            reference's /S, each into a new folder, alternated in one loop
# Needs the reference's script: SETUP_REFERENCE_NSI (default
# ../shared/bench/nsis-reference/setup.nsi beside the checkout).
set -e
cd "$(dirname "$0")/.."
rounds=${1:-9}
nsi=${SETUP_REFERENCE_NSI:-$PWD/../shared/bench/nsis-reference/setup.nsi}
[ -f "$nsi" ] || { echo "no reference script at $nsi" >&2; exit 2; }
scripts/install-deps.sh
command -v makensis >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq nsis >/dev/null
cmake --preset release >/dev/null && cmake --build --preset release >/dev/null
arch=${SETUP_BENCH_ARCH:-i686}
build="build/bench-$arch"
cmake -S . -B "$build" -G Ninja --toolchain "$PWD/cmake/toolchain-$arch-mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DSETUP_BUILD_BENCH=ON -DSETUP_DIST_DIR="$PWD/$build/dist" >/dev/null
cmake --build "$build" --target Setup install_bench start_bench gui_baseline primitives_bench >/dev/null
work="$PWD/$build/compare"; rm -rf "$work"; mkdir -p "$work/payload" "$work/empty"

size() { stat -c %s "$1"; }
sum_sizes() { local t=0 f; for f in "$@"; do t=$((t + $(size "$f"))); done; echo $t; }
ratio() { printf "%.2f" "$(echo "scale=4; $1 / $2" | bc)"; }

# --- size --------------------------------------------------------------------
files=build/release/payload/files
cp "$files/Quorvelle.exe" "$work/payload/main.exe"; cp "$files/Uninstall.exe" "$work/payload/uninst.exe"
cp "$files/Copyright.txt" "$work/payload/copyright.txt"; cp "$files/help.txt" "$work/payload/help.txt"
for f in main.exe uninst.exe copyright.txt help.txt; do : >"$work/empty/$f"; done
nsis_target=x86-unicode; [ "$arch" = x86_64 ] && nsis_target=amd64-unicode
makensis -V1 "-XTarget $nsis_target" -DPAYLOAD="$work/payload" -DOUT="$work/ref.exe" -DCOMP=zlib "$nsi"
makensis -V1 "-XTarget x86-unicode" -DPAYLOAD="$work/empty" -DOUT="$work/ref-empty-x86.exe" -DCOMP=zlib "$nsi"
streams=$(sum_sizes build/release/payload/streams/*.z)
artwork=$(sum_sizes build/release/tools/artwork/generated/*)
ours=$(($(size dist/Setup.exe) - streams))
echo "size  Setup.exe $(size dist/Setup.exe) B, payload streams $streams B"
ref_overhead=$(size "$work/ref-empty-x86.exe")
echo "size  overhead: Setup.exe $ours B (artwork files $artwork B, without them $((ours - artwork)) B);" \
  "reference (x86, empty payload) $ref_overhead B (ratio without artwork" \
  "$(ratio $((ours - artwork)) "$ref_overhead"))"
echo "size  Uninstall.exe $(size "$files/Uninstall.exe") B"

# --- time (warm Wine server, the tests' prefix) -------------------------------
# A prefix of its own: the installations it times must not show up in the tests.
export TEST_WINEPREFIX="${TEST_WINEPREFIX:-$PWD/$build/wine/prefix}" TEST_ARCH="$arch"
run() { scripts/wine-run.sh "$@" 2>/dev/null | tr -d '\r'; }
win() { echo "Z:$PWD/$1" | tr / '\\'; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
bench="$build/bench"
# The floor writes files of the payloads' sizes, in the payload table's order.
payload_sizes=$(for f in Quorvelle.exe Uninstall.exe Copyright.txt help.txt; do size "$files/$f"; done | xargs)
setup_win=$(win "$build/dist/Setup.exe"); base_win=$(win "$bench/gui_baseline.exe")
ref_win=$(win "${work#$PWD/}/ref.exe")
scripts/with-xvfb.sh bash -c '
  set -e
  '"$(declare -f run win median)"'
  run "'"$bench"'/start_bench.exe" - "'"$base_win"'" >/dev/null   # warm up
  for i in $(seq '"$rounds"'); do
    echo "A $(run "'"$bench"'/start_bench.exe" TSetupForm "'"$setup_win"'")"
    echo "B $(run "'"$bench"'/start_bench.exe" - "'"$base_win"'")"
    echo "W $(run "'"$bench"'/start_bench.exe" GuiBaselineWindow "'"$base_win"' /window")"
    echo "R $(run "'"$bench"'/start_bench.exe" - "'"$ref_win"' /S /D=C:\\refbench\\run$i")"
    echo "S $(run "'"$bench"'/start_bench.exe" - "'"$setup_win"' /S /D=C:\\silentbench\\run$i")"
  done >"'"$work"'/times.txt"
  run "'"$bench"'/install_bench.exe" "'"$setup_win"'" "C:\\setupbench" '"$rounds $payload_sizes"' \
    >"'"$work"'/install.txt"
  run "'"$bench"'/primitives_bench.exe" "C:\\primitivesbench" '"$rounds $payload_sizes"' \
    >"'"$work"'/primitives.txt"
'
a=$(awk '$1=="A"{print $2}' "$work/times.txt" | median)
b=$(awk '$1=="B"{print $2}' "$work/times.txt" | median)
r=$(awk '$1=="R"{print $2}' "$work/times.txt" | median)
i=$(awk '/install_ms_median/{print $2}' "$work/install.txt")
s=$(awk '$1=="S"{print $2}' "$work/times.txt" | median)
w=$(awk '$1=="W"{print $2}' "$work/times.txt" | median)
# Differences are medians of each round's own difference: a round's runs
# follow each other closely, so the machine's drift between rounds cancels.
paired() {  # KIND_A KIND_B
  paste <(awk -v k="$1" '$1==k{print $2}' "$work/times.txt") \
        <(awk -v k="$2" '$1==k{print $2}' "$work/times.txt") | awk '{print $1 - $2}' | median
}
echo "start Setup.exe to first paint $a ms; do-nothing GUI program showing an empty window $w ms" \
  "(difference $(paired A W) ms); without a window $b ms (difference $(paired A B) ms)"
floor=$(awk '/primitives_floor_ms/{print $2}' "$work/primitives.txt")
sequence=$(awk '/install_floor_ms_median/{print $2}' "$work/install.txt")
echo "install Setup.exe RunInstallation $i ms (in-process); reference silent install $r ms," \
  "minus the baseline start: $(echo "$r - $b" | bc) ms (ratio $(ratio "$i" "$(echo "$r - $b" | bc)"))"
echo "install floor, the system's own calls made one after another as one installation makes" \
  "them: $sequence ms; RunInstallation $(ratio "$i" "$sequence") x floor (the sum of each call's" \
  "median: $floor ms, RunInstallation $(ratio "$i" "$floor") x that sum)"
echo "silent install, whole processes: Setup.exe /S $s ms; reference /S $r ms" \
  "(ratio $(printf "%.2f" "$(echo "scale=3; $s / $r" | bc)"))"
echo "install: what the system's own calls cost here, per call and per installation:"
grep '^primitive' "$work/primitives.txt" | sed 's/^/  /'
echo "(extraction throughput: scripts/bench-extract.sh)"
