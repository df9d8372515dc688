#!/bin/sh
# with-xvfb.sh COMMAND...: runs COMMAND with DISPLAY set. Without a display,
# a private Xvfb is started on a free display number and stopped afterwards
# (only that server, by its process id).
if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi
fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb_pid=$!
i=0
while [ ! -s "$fdfile" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i + 1)); done
display=$(cat "$fdfile"); rm -f "$fdfile"
[ -n "$display" ] || { echo "Xvfb did not start" >&2; kill "$xvfb_pid" 2>/dev/null; exit 1; }
export DISPLAY=":$display"
"$@"
status=$?
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $status
