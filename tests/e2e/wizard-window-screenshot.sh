#!/bin/bash
# wizard-window-screenshot.sh BUILD_DIR: starts the built Setup.exe under a
# private Xvfb, finds its window and checks the pixels that must be exact:
# the backdrop in client row 190, columns 0-69, and the sunken frame that
# Panel1 draws around the pages. The screenshot stays in
# BUILD_DIR/e2e/wizard-window.png.
set -u
build=$(cd "$1" && pwd)
work=$build/e2e/wizard-window
. "$(dirname "$0")/xvfb-session.sh"
. "$(dirname "$0")/../support/checks.sh"
e2e_start "$build" "$work" || { echo "FAIL: no display"; exit 1; }

"$WINE_LOADER" "$setup_exe" </dev/null >"$work/setup.log" 2>&1 &
setup_pid=$!

window=$(e2e_wait_window 'Installation program' 30)
check "the window appears" '[ -n "$window" ]'
if [ -n "$window" ]; then
  sleep 0.5  # let the first paint land
  read -r cx cy < <(e2e_client_origin "$window" 380 226)
  shot=$build/e2e/wizard-window.png
  e2e_shot "$cx" "$cy" 380 226 "$shot"
  check "screenshot taken" '[ -s "$shot" ]'

  # Column x of the backdrop is grey 245 - round(x * 100 / 379); columns 0
  # and 1 (grey 245, the transparent colour) show the face colour, which is
  # read from inside BottomPanel.
  face=$(e2e_pixel "$shot" 1 210)
  strip=$(convert "$shot" -crop 70x1+0+190 +repage -depth 8 rgb:- | od -An -tu1 -v | xargs)
  expected=$(echo "$face"; echo "$face"; for x in $(seq 2 69); do
    g=$(awk -v x="$x" 'BEGIN { q = x * 100 / 379; r = int(q + 0.5); if (r - q == 0.5 && r % 2) r--; print 245 - r }')
    echo "$g $g $g"; done)
  check "backdrop strip, row 190, columns 0-69" '[ "$strip" = "$(echo $expected)" ]'

  # Panel1 at 62,32 315x140: top and left edges in the shadow colour, right
  # and bottom in the highlight colour, the face colour inside.
  shadow=$(e2e_pixel "$shot" 62 32); light=$(e2e_pixel "$shot" 376 171)
  # The prefix's system colours, as the program reads them.
  sys_color() { awk -v key="\"$1\"" -F= '/^\[Control Panel\\\\Colors\]/ { s = 1; next } /^\[/ { s = 0 }
                                    s && $1 == key { gsub(/"/, "", $2); print $2; exit }' "$TEST_WINEPREFIX/user.reg"; }
  check "Panel1's frame in the system's shadow and highlight colours" \
    '[ "$shadow" = "$(sys_color ButtonShadow)" ] && [ "$light" = "$(sys_color ButtonHilight)" ]'
  top=$(convert "$shot" -crop 314x1+62+32 +repage -depth 8 rgb:- | od -An -tu1 -v | xargs -n3 | sort -u)
  left=$(convert "$shot" -crop 1x139+62+32 +repage -depth 8 rgb:- | od -An -tu1 -v | xargs -n3 | sort -u)
  right=$(convert "$shot" -crop 1x140+376+32 +repage -depth 8 rgb:- | od -An -tu1 -v | xargs -n3 | sort -u)
  bottom=$(convert "$shot" -crop 315x1+62+171 +repage -depth 8 rgb:- | od -An -tu1 -v | xargs -n3 | sort -u)
  check "Panel1 top and left edges in one shadow colour" '[ "$top" = "$shadow" ] && [ "$left" = "$shadow" ]'
  check "Panel1 right and bottom edges in one highlight colour" '[ "$right" = "$light" ] && [ "$bottom" = "$light" ]'
fi

kill "$setup_pid" 2>/dev/null; wait "$setup_pid" 2>/dev/null
checks_done
