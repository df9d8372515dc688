#!/bin/bash
# The run command: installs what is missing, builds dist/Setup.exe and starts
# it under Wine in a prefix of its own (build/run/prefix).
#
# With a display (DISPLAY set), the wizard opens there and the command ends
# when it does. Without one, the wizard runs on a private Xvfb: a screenshot
# of its window is saved to build/run/wizard.png once painted, and the run
# ends after SETUP_RUN_SECONDS (default 60) or Ctrl-C, whichever comes first.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
program="$PWD/dist/Setup.exe"
export TEST_WINEPREFIX="$PWD/build/run/prefix" TEST_ARCH=i686
stop_session() { WINEPREFIX="$TEST_WINEPREFIX" wineserver -k 2>/dev/null || true; }

if [ -n "${DISPLAY:-}" ]; then
  status=0
  scripts/wine-run.sh "$program" || status=$?
  echo "Setup.exe exited with code $status"
  stop_session
  exit $status
fi

# Headless: what the wizard shows, as a picture, and a bounded run.
seconds=${SETUP_RUN_SECONDS:-60}
shot="$PWD/build/run/wizard.png"
echo "run: no display is set; starting the wizard on a private Xvfb display"
status=0
mkdir -p build/run
scripts/with-xvfb.sh bash -c '
  scripts/wine-run.sh "$1" </dev/null >"$(dirname "$TEST_WINEPREFIX")/setup.log" 2>&1 &
  setup=$!
  trap "kill $setup 2>/dev/null" INT TERM
  window=
  for _ in $(seq 600); do
    window=$(xdotool search --name "^Installation program\$" 2>/dev/null | head -n1)
    [ -n "$window" ] && xwininfo -id "$window" 2>/dev/null | grep -q IsViewable && break
    kill -0 $setup 2>/dev/null || break
    window=; sleep 0.1
  done
  if [ -z "$window" ]; then
    echo "run: the wizard window did not appear (Wine output: build/run/setup.log)"
    kill $setup 2>/dev/null; wait $setup; exit 1
  fi
  sleep 0.5  # the first paint
  import -window "$window" "$2"
  echo "run: the wizard is open on display $DISPLAY; its window: $2"
  echo "run: it stays open for $3 s (SETUP_RUN_SECONDS), or until Ctrl-C; drive it meanwhile with,"
  echo "     for example: DISPLAY=$DISPLAY xdotool search --name \"^Installation program\$\""
  for _ in $(seq "$3"); do kill -0 $setup 2>/dev/null || break; sleep 1; done
  if kill $setup 2>/dev/null; then
    wait $setup; echo "run: time is up; Setup.exe was stopped"
  else
    wait $setup; echo "run: Setup.exe ended with exit code $?"
  fi
' run "$program" "$shot" "$seconds" || status=$?
stop_session
exit $status
