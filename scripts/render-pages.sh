#!/bin/bash
# render-pages.sh [BUILD_DIR]: renders each of the wizard's five pages to
# docs/pages/page-N.png (N = 0..4). The pages are switched through the
# window's ShowPage by the test build's page_renderer program, under a
# private Xvfb and a private copy of the build's Wine prefix.
#   Build first: cmake --preset tests-x86_64 && cmake --build --preset tests-x86_64 -j2
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/tests-x86_64}" && pwd)
work=$build/render-pages
. "$root/tests/e2e/xvfb-session.sh"
e2e_start "$build" "$work"
"$WINE_LOADER" "$build/tests/page_renderer.exe" "$("$WINE_LOADER" winepath -w "$work" 2>/dev/null)" \
  </dev/null >"$work/renderer.log" 2>&1
mkdir -p "$root/docs/pages"
for n in 0 1 2 3 4; do
  convert "$work/page-$n.bmp" -strip "$root/docs/pages/page-$n.png"
  echo "docs/pages/page-$n.png"
done
