#!/bin/sh
# wine-run.sh EXE [ARGS...]: runs a test program under Wine. CTest starts
# every test program through it (the build's cross-compiling emulator).
#   TEST_WINEPREFIX  the prefix, created on first use
#   WINE_PERSIST     seconds the wineserver stays up when idle (default 60)
#   DISPLAY          needed by tests that create windows (scripts/test.sh
#                    starts a private Xvfb)
here=$(cd "$(dirname "$0")" && pwd)
: "${TEST_WINEPREFIX:?TEST_WINEPREFIX must name the test prefix}"
. "$here/wine-env.sh"

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"          # serialises prefix creation and server start
flock 9
[ -f "$WINEPREFIX/system.reg" ] || "$here/make-test-prefix.sh" "$WINEPREFIX" >&2 9>&- || exit 1

# The wineserver and Wine's background processes are started here, detached
# from our output: started by the test itself they would inherit CTest's pipe
# and CTest would wait for them. The desktop process keeps the DISPLAY it was
# started with, so a session with another DISPLAY is restarted.
marker="$WINEPREFIX/.session-display"
start_session() {
  wineserver -p"${WINE_PERSIST:-60}" </dev/null >/dev/null 2>&1 9>&- || return 1
  "$WINE_LOADER" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 9>&-
  printf '%s\n' "${DISPLAY:-none}" >"$marker"
}
if ! start_session; then           # status 2: a server is already running
  if [ "$(cat "$marker" 2>/dev/null)" != "${DISPLAY:-none}" ]; then
    wineserver -k; wineserver -w
    start_session
  fi
fi
flock -u 9
exec 9>&-
exec "$WINE_LOADER" "$@"
