#!/bin/bash
# navigation-e2e.sh BUILD_DIR PROBE_EXE URL_RECORDER_EXE
# The built Setup.exe under a private Xvfb, clicked with real mouse events:
# through the pages and back, Exit answered "&No" then "&Yes", and the link,
# whose page is opened by a stand-in registered for http and https. At the
# end the process has exited with 0 and written nothing.
set -u
build=$(cd "$1" && pwd)
probe=$2
url_recorder=$3
work=$build/e2e/navigation
. "$(dirname "$0")/xvfb-session.sh"
. "$(dirname "$0")/../support/checks.sh"
e2e_start "$build" "$work" || { echo "FAIL: no display"; exit 1; }

# The stand-in for the browser, in the cloned prefix only.
mkdir -p "$TEST_WINEPREFIX/drive_c/testtools"
cp "$url_recorder" "$TEST_WINEPREFIX/drive_c/testtools/url_recorder.exe"
cat >"$work/url-recorder.reg" <<'REG'
REGEDIT4

[HKEY_CLASSES_ROOT\http\shell\open\command]
@="\"C:\\testtools\\url_recorder.exe\" \"%1\""

[HKEY_CLASSES_ROOT\https\shell\open\command]
@="\"C:\\testtools\\url_recorder.exe\" \"%1\""
REG
"$WINE_LOADER" regedit /S "$(winepath -w "$work/url-recorder.reg" 2>/dev/null || echo "Z:$work/url-recorder.reg")" </dev/null >/dev/null 2>&1
opened=$work/opened.log
rm -f "$opened"
export URL_RECORDER_LOG="Z:$opened"

e2e_start_window 'Installation program' "$work/setup.log" "$setup_exe"
setup_pid=$e2e_pid window=$e2e_window
check "the window appears" '[ -n "$window" ]'
[ -n "$window" ] || { kill "$setup_pid" 2>/dev/null; exit 1; }
sleep 0.5  # let the first paint land
read -r cx cy < <(e2e_client_origin "$window" 380 226)

# A click at client coordinates, then time for the window to repaint.
click() { xdotool mousemove --sync $((cx + $1)) $((cy + $2)) click 1; sleep 0.4; }
continue_bt() { click 217 189; }
back_bt() { click 117 189; }
exit_bt() { click 317 189; }
# A digest of a client rectangle's pixels: X Y W H.
region() {
  local shot; shot=$(mktemp --suffix=.png)
  e2e_shot $((cx + $1)) $((cy + $2)) "$3" "$4" "$shot"
  convert "$shot" -depth 8 rgb:- | md5sum | cut -d' ' -f1
  rm -f "$shot"
}
# The page area below the selectors, and the Back button.
page() { region 63 45 313 126; }
back_look() { region 70 174 95 30; }
answer() {  # TITLE BUTTON
  "$WINE_LOADER" "$probe" press "$1" "$2" 15000 </dev/null >/dev/null 2>&1
}

welcome=$(page); back_disabled=$(back_look)
continue_bt; destination=$(page); back_enabled=$(back_look)
continue_bt; options=$(page)
continue_bt; ready=$(page)
check "Continue shows a new page each time" \
  '[ "$(printf "%s\n" "$welcome" "$destination" "$options" "$ready" | sort -u | wc -l)" = 4 ]'
check "Back is drawn enabled once the welcome page is left" '[ "$back_enabled" != "$back_disabled" ]'
back_bt; check "Back from the ready page shows the options page" '[ "$(page)" = "$options" ]'
back_bt; back_bt
check "Back returns to the welcome page" '[ "$(page)" = "$welcome" ]'
check "Back is drawn disabled again on the welcome page" '[ "$(back_look)" = "$back_disabled" ]'

exit_bt
check "Exit asks, and \"&No\" is pressed" 'answer Warning "&No"'
sleep 1
check "after \"&No\" the program still runs" 'kill -0 "$setup_pid" 2>/dev/null'
check "after \"&No\" the welcome page is still shown" '[ "$(page)" = "$welcome" ]'
check "the question is gone" '[ -z "$(xdotool search --name "^Warning\$" 2>/dev/null)" ]'

# The link, right-aligned at x 375 in the bottom panel (client y 206 on).
click 365 213
for _ in $(seq 50); do grep -q 'nerovane' "$opened" 2>/dev/null && break; sleep 0.1; done
check "the link opens the publisher's page through the registered handler" \
  'grep -q "https://www.nerovane.example" "$opened" 2>/dev/null'
link=$(mktemp --suffix=.png); e2e_shot $((cx + 273)) $((cy + 209)) 102 13 "$link"
check "the link is painted purple" \
  '[ "$(convert "$link" -depth 8 txt:- | grep -ci "#800080")" -gt 0 ]'
rm -f "$link"

exit_bt
check "Exit asks again, and \"&Yes\" is pressed" 'answer Warning "&Yes"'
code=timeout
for _ in $(seq 100); do kill -0 "$setup_pid" 2>/dev/null || break; sleep 0.1; done
if ! kill -0 "$setup_pid" 2>/dev/null; then wait "$setup_pid"; code=$?; fi
check "after \"&Yes\" the program ends with exit code 0 (got $code)" '[ "$code" = 0 ]'
[ "$code" = timeout ] && kill "$setup_pid" 2>/dev/null

drive_c=$TEST_WINEPREFIX/drive_c
check "no product folder was made" \
  '[ -z "$(find "$drive_c" -maxdepth 3 -iname Quorvelle 2>/dev/null)" ]'
check "no install.log was written" '[ -z "$(find "$drive_c" -iname install.log 2>/dev/null)" ]'
check "the registry can be queried (the list of installed programs is there)" \
  '"$WINE_LOADER" reg query "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall" </dev/null >/dev/null 2>&1'
check "no uninstall key was written" \
  '! "$WINE_LOADER" reg query "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvelle" </dev/null >/dev/null 2>&1'

checks_done
