#!/bin/bash
# install-e2e.sh BUILD_DIR PROBE_EXE: the built Setup.exe installs the product
# end to end, driven with real mouse clicks and typing under a private Xvfb,
# each run in a fresh prefix cloned from the build's test prefix:
#   1. the default options into the default folder;
#   2. every option off, into a typed folder with blanks in its path.
# After each run: the finished page is shown and Close ends the program at
# once with exit code 0; the installed files equal the packed sources byte for
# byte; install.log, the links, the .url files and the uninstall entry hold
# what that run must write; help.txt (and the program, when chosen) were
# asked to be opened. Text documents are "opened" by the probe, which records
# them; the main program is the build's stand-in, seen by its window.
set -u
build=$(cd "$1" && pwd)
probe=$2
title='Installation program'
. "$(dirname "$0")/xvfb-session.sh"

fails=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fails=$((fails + 1)); fi; }
# Compares two texts; on a difference prints both.
same() {  # WHAT ACTUAL EXPECTED
  if [ "$2" = "$3" ]; then echo "ok   $1"; return; fi
  echo "FAIL $1"; fails=$((fails + 1))
  diff <(printf '%s\n' "$3") <(printf '%s\n' "$2") | sed 's/^/     /'
}
crlf() { printf '%s\r\n' "$@"; }
# The probe's answer without the line ends Wine's console output adds.
ask() { e2e_wine 'C:\testtools\install-probe.exe' "$@" </dev/null 2>/dev/null | tr -d '\r'; }
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
  cp "$probe" "$TEST_WINEPREFIX/drive_c/testtools/install-probe.exe"
  local command='@="\"C:\\\\testtools\\\\install-probe.exe\" record \"C:\\\\testtools\\\\opened.log\" \"%1\""'
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

start_setup() {
  "$WINE_LOADER" "$build/dist/Setup.exe" </dev/null >"$TEST_WINEPREFIX/../setup.log" 2>&1 &
  setup_pid=$!
  window=$(e2e_wait_window "$title" 30)
  check "the wizard window appears" '[ -n "$window" ]'
  read -r cx cy _ < <(ask client "$title")
}
click() { xdotool mousemove --sync $((cx + $1)) $((cy + $2)) click 1; sleep 0.3; }
click_continue() { click $((170 + 47)) $((174 + 15)); }
click_exit() { click $((270 + 47)) $((174 + 15)); }
click_child() {  # CLASS TEXT: the centre of a visible child window
  local x y w h
  read -r x y w h < <(ask child "$title" "$@" | head -1)
  xdotool mousemove --sync $((x + w / 2)) $((y + h / 2)) click 1; sleep 0.3
}
child_line() { ask child "$title" "$@" | sed -n 2p; }  # CLASS [TEXT]: its text

# Continue to the ready page, choosing the folder and options on the way.
# Prints nothing; sets $folder to the text FolderEdit held.
walk_to_installation() {  # TYPED_FOLDER|"" OPTIONS_OFF(0/1)
  click_continue
  same "Continue opens the folder page" "$(ask page "$title")" 1
  if [ -n "$1" ]; then
    click_child Edit
    xdotool key Home shift+End
    xdotool type --delay 20 "$1"
    sleep 0.3
  fi
  folder=$(child_line Edit)
  click_continue
  same "the options page" "$(ask page "$title")" 2
  if [ "$2" = 1 ]; then
    for option in "Create Desktop icon" "Create Start menu icon" "Launch program"; do
      click_child Button "$option"
    done
  fi
  click_continue
  same "the ready page" "$(ask page "$title")" 3
  click_continue  # installs; the probe's next answer waits for the window
}

# The finished page; Close ends the program without asking: the window goes
# at once and the process ends with exit code 0.
check_finished() {
  same "the finished page is shown" "$(ask page "$title")" 4
  click_exit
  local closed= ended= code=
  for _ in $(seq 50); do
    xdotool search --name "^$title\$" >/dev/null 2>&1 || { closed=1; break; }
    sleep 0.1
  done
  check "Close removes the window at once" '[ -n "$closed" ]'
  for _ in $(seq 100); do kill -0 "$setup_pid" 2>/dev/null || { ended=1; break; }; sleep 0.1; done
  if [ -n "$ended" ]; then
    wait "$setup_pid"; code=$?
  else
    kill "$setup_pid" 2>/dev/null; wait "$setup_pid" 2>/dev/null
  fi
  local outcome="still running 10 s after Close"
  [ -n "$ended" ] && outcome="exit code $code"
  same "the program ends with exit code 0" "$outcome" "exit code 0"
}

check_payloads() {  # INSTALL_DIR
  local installed=$1 name
  for name in Quorvelle.exe Uninstall.exe Copyright.txt help.txt; do
    check "$name equals its packed source" \
      'cmp -s "$(unix_path "$installed$name")" "$build/payload/files/$name"'
  done
}

check_url_files() {  # FOLDER INSTALL_DIR
  same "Nerovane web page.url" "$(cat "$(unix_path "$1")Nerovane web page.url")" \
    "$(crlf '[DEFAULT]' 'BASEURL=https://www.nerovane.example' '[InternetShortcut]' \
            'URL=https://www.nerovane.example' 'IconIndex=1' "IconFile=$2Quorvelle.exe")"
  same "Quorvelle web page.url" "$(cat "$(unix_path "$1")Quorvelle web page.url")" \
    "$(crlf '[DEFAULT]' 'BASEURL=https://quorvelle.nerovane.example' '[InternetShortcut]' \
            'URL=https://quorvelle.nerovane.example')"
}

check_link() {  # LINK TARGET DESCRIPTION INSTALL_DIR
  same "link $1" "$(ask link "$1")" "$(printf '%s\n' "$2" "" "$4" "$3" "$2" 0)"
}

uninstall_values() {  # INSTALL_DIR: the sixteen values as reg query shows them
  cat <<EOF
Comments REG_SZ Thank you for using Quorvelle!
Contact REG_SZ support@nerovane.example
DisplayIcon REG_SZ $1Quorvelle.exe,0
DisplayName REG_SZ Telvarion
DisplayVersion REG_SZ 5.0
InstallDate REG_SZ $(date +%Y%m%d)
InstallLocation REG_SZ $1
NoModify REG_DWORD 0x1
NoRepair REG_DWORD 0x1
Publisher REG_SZ Nerovane technologies
URLInfoAbout REG_SZ https://quorvelle.nerovane.example
URLUpdateInfo REG_SZ https://quorvelle.nerovane.example
UninstallPath REG_SZ $1
UninstallString REG_SZ "$1Uninstall.exe"
VersionMajor REG_DWORD 0x5
VersionMinor REG_DWORD 0x0
EOF
}

check_uninstall_entry() {  # INSTALL_DIR
  local entry
  entry=$(e2e_wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorvelle' \
            /reg:64 2>/dev/null | tr -d '\r' | grep '^ ' | sed 's/^ *//; s/  */ /g' | sort)
  same "the uninstall entry" "$entry" "$(uninstall_values "$1" | sort)"
}

check_opened() {  # FILE...: the documents asked to be opened, in order
  local log=$TEST_WINEPREFIX/drive_c/testtools/opened.log
  for _ in $(seq 50); do [ "$(grep -c . "$log" 2>/dev/null)" -ge $# ] && break; sleep 0.1; done
  sleep 0.5  # nothing more may come
  same "documents opened" "$(tr -d '\r' <"$log" 2>/dev/null)" "$(printf '%s\n' "$@")"
}

runtime_entries() {  # FIRST_KEY INSTALL_DIR
  local key=$1 name
  for name in ActLog.txt Channels.ini FileSharing.ini OfflineMsg.ini Users.ini; do
    crlf "$key=$2$name"; key=$((key + 1))
  done
}

header=$(crlf '[Application]' 'ShortName=Quorvelle' 'FullName=Telvarion' 'Version=5.0')

echo "# 1. default options into the default folder"
prepare_prefix defaults
start_setup
walk_to_installation "" 0
same "the default folder" "$folder" 'C:\Program Files\Quorvelle'
dir="$folder\\"
menu="$programs\\Quorvelle\\"
check_finished
check_payloads "$dir"
same "install.log" "$(cat "$(unix_path "$dir")install.log")" "$header
$(crlf '[Files]' "1=${dir}Quorvelle.exe" "2=${dir}Uninstall.exe" "3=${dir}Copyright.txt" \
       "4=${dir}help.txt" "5=$desktop\\Quorvelle.lnk" "6=${menu}Quorvelle.lnk" \
       "7=${menu}Quick help.lnk" "8=${menu}Nerovane web page.url" \
       "9=${menu}Quorvelle web page.url")
$(runtime_entries 10 "$dir")
$(crlf '[Folders]' "1=$menu" "2=$dir")"
check_link "$desktop\\Quorvelle.lnk" "${dir}Quorvelle.exe" Telvarion "$dir"
check_link "${menu}Quorvelle.lnk" "${dir}Quorvelle.exe" Telvarion "$dir"
check_link "${menu}Quick help.lnk" "${dir}help.txt" "Quick help" "$dir"
check_url_files "$menu" "$dir"
check_uninstall_entry "$dir"
check_opened "${dir}help.txt"
check "the program was started" 'e2e_wait_window "Telvarion 5.0" 10 >/dev/null'
e2e_stop

echo "# 2. every option off, into a typed folder with blanks"
prepare_prefix typed
start_setup
walk_to_installation 'C:\Apps with blanks\My Quorvelle' 1
same "the typed folder" "$folder" 'C:\Apps with blanks\My Quorvelle'
dir="$folder\\"
check_finished
check_payloads "$dir"
same "install.log" "$(cat "$(unix_path "$dir")install.log")" "$header
$(crlf '[Files]' "1=${dir}Quorvelle.exe" "2=${dir}Uninstall.exe" "3=${dir}Copyright.txt" \
       "4=${dir}help.txt" "5=${dir}Nerovane web page.url" "6=${dir}Quorvelle web page.url")
$(runtime_entries 7 "$dir")
$(crlf '[Folders]' "1=$dir")"
check "no desktop link" '[ ! -e "$(unix_path "$desktop")/Quorvelle.lnk" ]'
check "no Start-menu folder" '[ ! -e "$(unix_path "$programs")/Quorvelle" ]'
check_url_files "$dir" "$dir"
check_uninstall_entry "$dir"
check_opened "${dir}help.txt"
check "the program was not started" '! xdotool search --name "^Telvarion 5.0\$" >/dev/null 2>&1'
e2e_stop

echo "$fails failure(s)"
exit $((fails > 0))
