#!/bin/bash
# render-pages.sh [SETUP_EXE [BUILD_DIR]]: renders each of the wizard's five
# pages to docs/pages/page-N.png (N = 0..4) from the shipped program, as a
# user sees them: dist/Setup.exe is started under a private Xvfb and a
# private copy of the test build's Wine prefix, its client area is captured
# on each page, and Continue is clicked; the ready page's Continue installs
# into that copy, which is thrown away.
#   Build first: cmake --build --preset release; and the test build whose
#   prefix is copied: cmake --preset tests-i686 && cmake --build --preset tests-i686 -j2
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
setup=$(realpath "${1:-$root/dist/Setup.exe}")
build=$(cd "${2:-$root/build/tests-i686}" && pwd)
work=$build/render-pages
. "$root/tests/e2e/xvfb-session.sh"
e2e_start "$build" "$work"
"$WINE_LOADER" "$setup" </dev/null >"$work/setup.log" 2>&1 &
window=$(e2e_wait_window 'Installation program' 30)
sleep 1  # the first paint lands
read -r cx cy < <(e2e_client_origin "$window" 380 226)
mkdir -p "$root/docs/pages"
for n in 0 1 2 3 4; do
  # The pointer rests outside the window, so no button is drawn hovered.
  xdotool mousemove 0 0; sleep 0.5
  e2e_shot "$cx" "$cy" 380 226 "$work/page-$n.png"
  convert "$work/page-$n.png" -strip "$root/docs/pages/page-$n.png"
  echo "docs/pages/page-$n.png"
  [ "$n" = 4 ] && break
  xdotool mousemove $((cx + 217)) $((cy + 189)) click 1
  # The ready page's Continue installs before the finished page is shown.
  sleep $([ "$n" = 3 ] && echo 6 || echo 1)
done
