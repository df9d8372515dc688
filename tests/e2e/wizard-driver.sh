# wizard-driver.sh: sourced by the end-to-end scripts that walk the real
# Setup.exe. Checks that count failures, a probe that answers questions about
# windows, links and pages, and the clicks that move the wizard along.
# The sourcing script sets: build (build folder), probe (test_probe.exe).
title='Installation program'
. "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"

crlf() { printf '%s\r\n' "$@"; }
# The probe's answer without the line ends Wine's console output adds.
ask() { e2e_wine 'C:\testtools\test_probe.exe' "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# The page shown once the wizard has taken the clicks sent to it: the probe's
# question is a sent message, which a busy window answers before it reads
# input still queued, so ask again for up to 10 s. Prints the last answer.
page_becomes() {  # PAGE
  local page
  for _ in $(seq 40); do
    page=$(ask page "$title")
    [ "$page" = "$1" ] && break
    sleep 0.25
  done
  echo "$page"
}
unix_path() { local p=${1#C:\\}; echo "$TEST_WINEPREFIX/drive_c/${p//\\//}"; }
shell_folder() {  # NAME: the user's "Shell Folders" value
  e2e_wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
    /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}

# A fresh prefix whose "open" handler for .txt is the probe, and
# without the product's links that a clone may share with its template.
prepare_prefix() {  # NAME
  e2e_start "$build" "$build/e2e/install-$1" || { echo "FAIL no display"; exit 1; }
  mkdir -p "$TEST_WINEPREFIX/drive_c/testtools"
  cp "$probe" "$TEST_WINEPREFIX/drive_c/testtools/test_probe.exe"
  local command='@="\"C:\\\\testtools\\\\test_probe.exe\" record \"C:\\\\testtools\\\\opened.log\" \"%1\""'
  {
    echo REGEDIT4
    echo '[HKEY_CLASSES_ROOT\.txt]'; echo '@="txtfile"'
    echo '[HKEY_CLASSES_ROOT\txtfile\shell\open\command]'; echo "$command"
  } >"$TEST_WINEPREFIX/drive_c/testtools/open.reg"
  # regedit reads an argument starting with "/" as a switch: a relative path.
  (cd "$TEST_WINEPREFIX/drive_c/testtools" && e2e_wine regedit /S open.reg)
  desktop=$(shell_folder Desktop)
  programs=$(shell_folder Programs)
  rm -rf "$(unix_path "$desktop")/Quorvelle.lnk" "$(unix_path "$programs")/Quorvelle"
}

# Starts the program under test, or another build or copy of it, in the
# current folder, with the switches given.
start_setup() {  # [PROGRAM [SWITCH...]]
  e2e_start_window "$title" "$TEST_WINEPREFIX/../setup.log" "${1:-$setup_exe}" "${@:2}"
  setup_pid=$e2e_pid window=$e2e_window
  check "the wizard window appears" '[ -n "$window" ]'
  read -r cx cy _ < <(ask client "$title")
}
# No --sync: it waits long for a pointer that is already where it is sent,
# and the X server delivers the motion before the click anyway.
click() { xdotool mousemove $((cx + $1)) $((cy + $2)) click 1; sleep 0.3; }
click_continue() { click $((170 + 47)) $((174 + 15)); }
click_exit() { click $((270 + 47)) $((174 + 15)); }
click_child() {  # CLASS TEXT: the centre of a visible child window
  local x y w h
  read -r x y w h < <(ask child "$title" "$@" | head -1)
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1; sleep 0.3
}
check_payloads() {  # INSTALL_DIR (Windows, with backslash)
  local installed=$1 name
  for name in Quorvelle.exe Uninstall.exe Copyright.txt help.txt; do
    check "$name equals its packed source" \
      'cmp -s "$(unix_path "$installed$name")" "$payload_files/$name"'
  done
}
check_link() {  # LINK TARGET DESCRIPTION INSTALL_DIR
  same "link $1" "$(ask link "$1")" "$(printf '%s\n' "$2" "" "$4" "$3" "$2" 0)"
}
child_line() { ask child "$title" "$@" | sed -n 2p; }  # CLASS [TEXT]: its text

# Continue to the ready page, choosing the folder and options on the way.
# Prints nothing; sets $folder to the text FolderEdit held.
walk_to_installation() {  # TYPED_FOLDER|"" OPTIONS_OFF(0/1)
  click_continue
  same "Continue opens the folder page" "$(page_becomes 1)" 1
  if [ -n "$1" ]; then
    click_child Edit
    xdotool key Home shift+End
    xdotool type --delay 20 "$1"
    sleep 0.3
  fi
  folder=$(child_line Edit)
  click_continue
  same "the options page" "$(page_becomes 2)" 2
  if [ "$2" = 1 ]; then
    for option in "Create Desktop icon" "Create Start menu icon" "Launch program"; do
      click_child Button "$option"
    done
  fi
  click_continue
  same "the ready page" "$(page_becomes 3)" 3
  click_continue  # installs; the probe's next answer waits for the window
}

# The finished page; Close ends the program without asking: the window goes
# at once and the process ends with exit code 0.
check_finished() {
  same "the finished page is shown" "$(page_becomes 4)" 4
  click_exit
  check_program_ends "Close"
}

# Waits for the window to go and the process to end; exit code 0 expected.
check_program_ends() {  # WHAT
  local closed= ended= code=
  for _ in $(seq 50); do
    xdotool search --name "^$title\$" >/dev/null 2>&1 || { closed=1; break; }
    sleep 0.1
  done
  check "$1: the window goes" '[ -n "$closed" ]'
  for _ in $(seq 100); do kill -0 "$setup_pid" 2>/dev/null || { ended=1; break; }; sleep 0.1; done
  if [ -n "$ended" ]; then
    wait "$setup_pid"; code=$?
  else
    kill "$setup_pid" 2>/dev/null; wait "$setup_pid" 2>/dev/null
  fi
  local outcome="still running 10 s later"
  [ -n "$ended" ] && outcome="exit code $code"
  same "$1: the program ends with exit code 0" "$outcome" "exit code 0"
}

