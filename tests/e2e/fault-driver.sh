# fault-driver.sh: sourced by the end-to-end fault scripts. Leads the real program into a failure and checks what
# the user sees and what is left: the error box's text, the state the wizard
# stays in, the way out through its Exit/Close button with exit code 0, and
# that nothing outside the allowed places of the prefix changed.
# The sourcing script sets: build, probe, work (a folder of its own); the
# wizard's driver comes with this one.
fault_tools=$(dirname "${BASH_SOURCE[0]}")
. "$fault_tools/wizard-driver.sh"

# The wineserver writes the registry out when it exits, so a snapshot stops
# it (and every Wine process of the prefix) and starts it again afterwards.
snapshot() {  # OUT
  e2e_stop_server
  python3 "$fault_tools/prefix-changes.py" snapshot "$TEST_WINEPREFIX" "$1"
  e2e_boot
}

# The probe's exit status (ask gives the output only).
probe_succeeds() { e2e_wine 'C:\testtools\test_probe.exe' "$@" </dev/null >/dev/null 2>&1; }

# Where the program is started from, as a user starts a download: a
# relative destination lands here.
start_folder() { echo "$TEST_WINEPREFIX/drive_c/users/$(id -un)/Downloads"; }

# Starts PROGRAM (default: the build's Setup.exe) from the start folder and
# walks to the installation with DESTINATION typed (empty: keep the
# default) and the options on (OPTIONS_OFF 0) or off (1). Take the snapshot
# to compare with before: it stops every Wine process of the prefix.
install_into() {  # DESTINATION OPTIONS_OFF [PROGRAM]
  pushd "$(start_folder)" >/dev/null || return
  start_setup "${3:-}"
  popd >/dev/null || return
  walk_to_installation "$1" "$2"
}

# A message of the program titled TITLE: its text (without the button's),
# then OK pressed.
answer_message() {  # TITLE
  local text
  text=$(ask dialog "$1" 30000)
  ask press "$1" OK >/dev/null
  sleep 0.3
  printf '%s\n' "$text" | grep -vx OK
}
# The program's error box, titled as the wizard is.
error_box() { answer_message "$title"; }
# An error-kind message dialog of the program ("Error", one OK button).
error_dialog() { answer_message Error; }

# The system's text for an error code, as the program puts it into a
# message: trailing blanks, line breaks and full stops removed.
system_text() {  # CODE
  local text
  text=$(ask error-text "$1")
  while [[ $text =~ [[:space:].]$ ]]; do text=${text%?}; done
  printf '%s' "$text"
}

# Continue and Back are disabled on the ready page: clicks change nothing
# and start no second attempt.
check_ready_page_holds() {
  same "the ready page stays" "$(ask page "$title")" 3
  click_continue
  click $((70 + 47)) $((174 + 15))  # Back
  same "Continue and Back start nothing" "$(ask dialog "$title" 1500)" ""
  same "the ready page still stays" "$(ask page "$title")" 3
}

# Refused before anything changed: the ready page is as before the click,
# and Back and Continue work again.
check_ready_again() {
  same "the ready page stays" "$(ask page "$title")" 3
  click $((70 + 47)) $((174 + 15))  # Back
  same "Back works again" "$(page_becomes 2)" 2
  click_continue
  same "and Continue" "$(page_becomes 3)" 3
}

# Broken off: Exit still asks; "&Yes" ends the program.
check_broken_off() {
  check_ready_page_holds
  check_exit_asks
}
check_exit_asks() {
  click_exit
  same "Exit asks first" "$(ask dialog Warning 10000 | grep -v 'Yes$\|No$')" \
    "Installation not completed, really exit now?"
  ask press Warning "&Yes" >/dev/null
  check_program_ends "after \"&Yes\""
}

# Failed: Exit reads "Close" and ends the program without a question.
check_failed() {
  check_ready_page_holds
  click_exit
  same "Close asks nothing" "$(ask dialog Warning 1500)" ""
  check_program_ends "Close"
}

# Nothing changed in drive C: or the registry except in the places allowed.
check_nothing_else_changed() {  # ALLOWED_REGEX...
  local changes
  snapshot "$work/after"
  changes=$(python3 "$fault_tools/prefix-changes.py" compare "$work/before" "$work/after" "$@")
  same "nothing changed outside the allowed places" "$changes" ""
}

# An allowed place: a path under drive_c (as a snapshot names it, with
# slashes), or a registry key; both given in Windows form.
drive_c_place() {  # WINDOWS_PATH (C:\...)
  local p=${1#C:\\}
  p=${p//\\//}
  printf '^drive_c/%s(/|$)' "$(printf '%s' "$p" | sed 's/[][().*+?^$|{}]/\\&/g')"
}
# The product's uninstall key, where the program under test writes it: a
# 32-bit program's lands in the 32-bit view.
uninstall_key_place() {
  local view=; [ "$reg_view" = /reg:32 ] && view='Wow6432Node\\'
  printf '%s' '^HKLM\\Software\\'"$view"'Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvelle$'
}
