# xvfb-session.sh: sourced by the end-to-end scripts. A private Xvfb and a
# private Wine prefix cloned from the build's test prefix; on exit only what
# was started here is stopped (the Xvfb by its pid, the prefix's wineserver).
#   e2e_start BUILD_DIR WORK_DIR   then   e2e_wine PROGRAM [ARGS...]
# The program under test is $setup_exe: SETUP_EXE when set (CTest passes the
# shipped dist/Setup.exe), else the build's own. What it sees of the system
# follows from its architecture, not the host's: a 32-bit program on 64-bit
# Windows gets "C:\Program Files (x86)" and the 32-bit registry view, which
# $program_files and $reg_view (for reg.exe) give. $payload_files holds the
# files it carries, as packed (SETUP_PAYLOAD_FILES, else the build's own).
e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
e2e_root=$(cd "$e2e_here/../.." && pwd)
# The registry files the wineserver rewrites: copied, never hard-linked.
e2e_hives="system.reg user.reg userdef.reg"

# i386 or x86_64: the machine field of a program's PE header.
e2e_machine() {  # EXE
  local pe machine
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
  case $machine in 014c) echo i386 ;; 8664) echo x86_64 ;; *) echo "unknown machine $machine" >&2; return 1 ;; esac
}

e2e_start() {
  local build=$1 work=$2 template f
  setup_exe=${SETUP_EXE:-$build/dist/Setup.exe}
  payload_files=${SETUP_PAYLOAD_FILES:-$build/payload/files}
  if [ "$(e2e_machine "$setup_exe")" = i386 ]; then
    program_files='C:\Program Files (x86)' reg_view=/reg:32
  else
    program_files='C:\Program Files' reg_view=/reg:64
  fi
  template=$build/wine/prefix
  mkdir -p "$work"
  # The build's prefix is made on first use, by the first test program run.
  [ -f "$template/system.reg" ] || TEST_WINEPREFIX=$template "$e2e_root/scripts/make-test-prefix.sh" "$template" >&2
  rm -rf "$work/prefix"
  # Hard links for the bulk; the registry files, which the server rewrites, copied
  # (it saves them by renaming a finished file, so a copy is always whole).
  cp -al "$template" "$work/prefix"
  for f in $e2e_hives; do cp --remove-destination "$template/$f" "$work/prefix/$f"; done
  rm -f "$work/prefix/.session-display"
  f=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$f" >/dev/null 2>&1 &
  E2E_XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$f" ] && break; sleep 0.05; done
  export DISPLAY=":$(cat "$f")"; rm -f "$f"
  [ "$DISPLAY" != ":" ] || return 1
  export TEST_WINEPREFIX=$work/prefix TEST_ARCH=${TEST_ARCH:-i686}
  . "$e2e_root/scripts/wine-env.sh"
  trap e2e_stop EXIT
  e2e_boot
}

# Starts the prefix's wineserver and Wine's own services with a run of their
# own, so that they do not inherit a tested program's standard error. Wine's
# device host now and then crashes while it starts (a race inside Wine); its
# debugger then leaves console settings in the registry. Such a start is
# undone, registry included, and tried again. Call it with the server down.
e2e_boot() {
  local saved=$TEST_WINEPREFIX.boot try f
  mkdir -p "$saved" || return 1
  for f in $e2e_hives; do cp "$TEST_WINEPREFIX/$f" "$saved/$f" || return 1; done
  for try in 1 2 3; do
    wineserver -p </dev/null >/dev/null 2>&1
    "$WINE_LOADER" winepath -w / </dev/null >/dev/null 2>"$saved/log"
    grep -q '^wine: Unhandled' "$saved/log" || return 0
    echo "note: a Wine service crashed while the prefix started (try $try); starting again:" >&2
    cat "$saved/log" >&2
    e2e_stop_server
    for f in $e2e_hives; do cp --remove-destination "$saved/$f" "$TEST_WINEPREFIX/$f" || return 1; done
  done
  return 1
}

# Stops every Wine process of the prefix and waits for the server to write
# the registry out.
e2e_stop_server() { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; }

e2e_stop() {
  e2e_stop_server
  [ -n "${E2E_XVFB_PID:-}" ] && kill "$E2E_XVFB_PID" 2>/dev/null && wait "$E2E_XVFB_PID" 2>/dev/null
  E2E_XVFB_PID=
}

e2e_wine() { "$WINE_LOADER" "$@"; }

# Waits for a mapped top-level window with exactly this title; prints its X id.
e2e_wait_window() {   # TITLE [timeout_s]
  local w
  for _ in $(seq $((${2:-20} * 10))); do
    for w in $(xdotool search --name "^$1\$" 2>/dev/null); do
      xwininfo -id "$w" 2>/dev/null | grep -q IsViewable && { echo "$w"; return 0; }
    done
    sleep 0.1
  done
  return 1
}

# Starts PROGRAM ARGS... in the background, its output to OUT, and waits up
# to 30 s for its window TITLE; sets e2e_pid and e2e_window (empty when
# none came). Once in many runs under load no first window came and Wine
# printed nothing: such a start is named with the process's state, stopped
# and made once more, so that only a second failure fails the walk.
e2e_start_window() {  # TITLE OUT PROGRAM [ARGS...]
  local title=$1 out=$2 try state; shift 2
  for try in 1 2; do
    "$WINE_LOADER" "$@" </dev/null >"$out" 2>&1 &
    e2e_pid=$!
    e2e_window=$(e2e_wait_window "$title" 30) && return 0
    state=ended; kill -0 "$e2e_pid" 2>/dev/null && state=running
    echo "note: no window \"$title\" 30 s after the start (try $try, process $state):" >&2
    head -c 2000 "$out" >&2
    kill "$e2e_pid" 2>/dev/null; wait "$e2e_pid" 2>/dev/null
  done
  return 1
}

# Client area of a window with a single fixed frame, in screen coordinates
# ("X Y"): Wine draws the frame itself (no window manager), so the X window
# is the whole window, with equal borders left, right and below.
e2e_client_origin() {  # XID CLIENT_W CLIENT_H
  local x y w h
  eval "$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=/\1=/p' | tr 'A-Z' 'a-z' | sed 's/^width/w/;s/^height/h/')"
  local border=$(((w - $2) / 2))
  echo "$((x + border)) $((y + h - border - $3))"
}

e2e_shot() {          # X Y W H OUT.png
  local tmp; tmp=$(mktemp --suffix=.png)
  import -window root "$tmp" && convert "$tmp" -crop "${3}x${4}+${1}+${2}" +repage "$5"
  rm -f "$tmp"
}

e2e_pixel() {         # PNG X Y  -> "R G B"
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 rgb:- | od -An -tu1 | xargs
}
