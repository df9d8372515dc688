#!/bin/bash
# render-pages.sh [SETUP_EXE [BUILD_DIR]]: renders each of the wizard's five
# pages from the shipped program, as a user sees them, at the display scales
# 100, 125, 150 and 200 % (the prefix's LogPixels 96, 120, 144 and 192):
# dist/Setup.exe is started under a private Xvfb and a private copy of the
# test build's Wine prefix, its client area is captured on each page, and
# Continue is clicked; the ready page's Continue installs into that copy,
# which is thrown away. The pages at 96 go to docs/pages/page-N.png
# (N = 0..4), those at 144 to docs/pages/144/page-N.png, the others stay in
# BUILD_DIR/render-pages/<dpi>/. RENDER_DPIS chooses the scales.
#   It checks what scaling must keep: at 96 every pixel of every page is the
#   one docs/pages held before; at the others the client area is
#   round(380 s) x round(226 s), the backdrop's greys are computed for its
#   width (not stretched), and the welcome picture is drawn for its size
#   (it differs from the 96-dpi picture enlarged pixel by pixel).
#   Build first: cmake --build --preset release; and the test build whose
#   prefix and probe are used: cmake --preset tests-i686 && cmake --build --preset tests-i686 -j2
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
setup=$(realpath "${1:-$root/dist/Setup.exe}")
build=$(cd "${2:-$root/build/tests-i686}" && pwd)
work=$build/render-pages
title='Installation program'
. "$root/tests/e2e/xvfb-session.sh"
. "$root/tests/support/checks.sh"
e2e_start "$build" "$work" || { echo "FAIL: no display"; exit 1; }
mkdir -p "$TEST_WINEPREFIX/drive_c/testtools"
cp "$build/tests/test_probe.exe" "$TEST_WINEPREFIX/drive_c/testtools/"
ask() { e2e_wine 'C:\testtools\test_probe.exe' "$@" </dev/null 2>/dev/null | tr -d '\r'; }

scaled() { echo $((($1 * $2 * 2 / 96 + 1) / 2)); }  # LENGTH DPI: as the program rounds
pixels() { convert "$1" -depth 8 rgb:- | od -An -tu1 -v | xargs; }
differing() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }  # A.png B.png

# The display's dots per inch for the programs started from now on.
set_dpi() {  # DPI
  local key
  for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    e2e_wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
  done
}

# Starts Setup.exe, captures the five pages into OUT/page-N.png and ends it.
render() {  # DPI OUT
  local dpi=$1 out=$2 n cx cy w h
  mkdir -p "$out"
  e2e_start_window "$title" "$work/setup-$dpi.log" "$setup" || { checks_failed "the window appears at $dpi dpi" render; return; }
  read -r cx cy w h < <(ask client "$title")
  same "client area at $dpi dpi" "$w x $h" "$(scaled 380 "$dpi") x $(scaled 226 "$dpi")"
  sleep 1  # the first paint lands
  for n in 0 1 2 3 4; do
    # The pointer rests outside the window, so no button is drawn hovered.
    xdotool mousemove 0 0; sleep 0.5
    e2e_shot "$cx" "$cy" "$w" "$h" "$out/page-$n.png"
    [ "$n" = 4 ] && break
    xdotool mousemove $((cx + $(scaled 217 "$dpi"))) $((cy + $(scaled 189 "$dpi"))) click 1
    # The ready page's Continue installs before the finished page is shown.
    sleep $([ "$n" = 3 ] && echo 6 || echo 1)
  done
  kill "$e2e_pid" 2>/dev/null; wait "$e2e_pid" 2>/dev/null
}

# Column x of a backdrop W wide is grey 245 - round(x * 100 / (W - 1)),
# halfway cases to even; 245 itself is transparent and shows the face colour.
backdrop_row() {  # WIDTH FACE
  awk -v w="$1" -v face="$2" 'BEGIN { for (x = 0; x < w; x++) { q = x * 100 / (w - 1); r = int(q + 0.5)
    if (r - q == 0.5 && r % 2) r--; g = 245 - r; printf "%s ", (g == 245 ? face : g " " g " " g) } }' | xargs
}

check_scaled() {  # DPI DIR REFERENCE_DIR
  local dpi=$1 dir=$2 ref=$3 w left top size n strip face all
  w=$(scaled 380 "$dpi")
  # The face colour from an empty stretch of BottomPanel; row 50 of the
  # backdrop, left of Panel1, lies clear of every control and picture.
  face=$(convert "$dir/page-0.png" -crop "1x1+$(scaled 230 "$dpi")+$(scaled 216 "$dpi")" +repage -depth 8 rgb:- | od -An -tu1 | xargs)
  strip=$(convert "$dir/page-0.png" -crop "$(scaled 62 "$dpi")x1+0+$(scaled 50 "$dpi")" +repage -depth 8 rgb:- | od -An -tu1 -v | xargs)
  all=$(backdrop_row "$w" "$face" | cut -d' ' -f1-$((3 * $(scaled 62 "$dpi"))))
  same "backdrop greys computed for a width of $w at $dpi dpi" "$strip" "$all"
  # The globe at 10,80 48x48, scaled; against the 96-dpi one enlarged pixel by pixel.
  left=$(scaled 10 "$dpi") top=$(scaled 80 "$dpi") size=$(($(scaled 58 "$dpi") - left))
  convert "$dir/page-0.png" -crop "${size}x${size}+$left+$top" +repage "$work/globe-$dpi.png"
  convert "$ref/page-0.png" -crop 48x48+10+80 +repage -filter point -resize "${size}x${size}!" "$work/globe-$dpi-enlarged.png"
  n=$(differing "$work/globe-$dpi.png" "$work/globe-$dpi-enlarged.png")
  check "the welcome picture is drawn at $size px, not enlarged ($n of $((size * size)) pixels differ)" \
    '[ "$n" -gt $((size * size / 4)) ]'
}

rendered=()
for dpi in ${RENDER_DPIS:-96 120 144 192}; do
  set_dpi "$dpi"
  render "$dpi" "$work/$dpi"
  rendered+=("$dpi")
done
set_dpi 96

for dpi in "${rendered[@]}"; do
  case $dpi in
    96)
      [ "${RENDER_ACCEPT:-0}" = 1 ] && continue
      for n in 0 1 2 3 4; do
        if [ -f "$root/docs/pages/page-$n.png" ]; then
          same "page $n at 96 dpi: pixels differing from docs/pages/page-$n.png" \
            "$(differing "$work/96/page-$n.png" "$root/docs/pages/page-$n.png")" 0
        fi
      done ;;
    *) [ -d "$work/96" ] && check_scaled "$dpi" "$work/$dpi" "$work/96" ;;
  esac
done

# The renders replace the ones kept only when every check passed; a change
# meant to alter the 96-dpi pages is accepted with RENDER_ACCEPT=1.
[ "$fails" = 0 ] || [ "${RENDER_ACCEPT:-0}" = 1 ] || checks_done
for dpi in "${rendered[@]}"; do
  case $dpi in 96) dest=$root/docs/pages ;; 144) dest=$root/docs/pages/144 ;; *) continue ;; esac
  mkdir -p "$dest"
  for n in 0 1 2 3 4; do
    convert "$work/$dpi/page-$n.png" -strip "$dest/page-$n.png"
    echo "${dest#"$root"/}/page-$n.png"
  done
done
checks_done
