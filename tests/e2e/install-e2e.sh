#!/bin/bash
# install-e2e.sh BUILD_DIR PROBE_EXE LARGE_SETUP_EXE: the built Setup.exe installs the product
# end to end, driven with real mouse clicks and typing under a private Xvfb,
# each run in a fresh prefix cloned from the build's test prefix:
#   1. the default options into the default folder;
#   2. every option off, into a typed folder with blanks in its path;
#   3. /CURRENTUSER: into the user's own programs folder, registered in the
#      user's list only (Wine's own list shows it), and removed by the
#      registered QuietUninstallString without a trace in either list;
#   4. LARGE_SETUP_EXE, whose Copyright.txt is 1 GiB: the progress
#      bar is part-filled while it works, Exit asks and holds the
#      installation, "&No" lets it finish; in a second run "&Yes" stops it,
#      the program ends, and the installed uninstaller removes all it made.
# After each run: the finished page is shown and Close ends the program at
# once with exit code 0; the installed files equal the packed sources byte for
# byte; install.log, the links, the .url files and the uninstall entry hold
# what that run must write; help.txt (and the program, when chosen) were
# asked to be opened. Text documents are "opened" by the probe, which records
# them; the main program is the build's stand-in, seen by its window.
set -u
build=$(cd "$1" && pwd)
probe=$2
large_setup=${3:-}  # run 4 only when given
. "$(dirname "$0")/wizard-driver.sh"

check_url_files() {  # FOLDER INSTALL_DIR
  same "Nerovane web page.url" "$(cat "$(unix_path "$1")Nerovane web page.url")" \
    "$(crlf '[DEFAULT]' 'BASEURL=https://www.nerovane.example' '[InternetShortcut]' \
            'URL=https://www.nerovane.example' 'IconIndex=1' "IconFile=$2Quorvelle.exe")"
  same "Quorvelle web page.url" "$(cat "$(unix_path "$1")Quorvelle web page.url")" \
    "$(crlf '[DEFAULT]' 'BASEURL=https://quorvelle.nerovane.example' '[InternetShortcut]' \
            'URL=https://quorvelle.nerovane.example')"
}

uninstall_values() {  # INSTALL_DIR: the seventeen values as reg query shows them
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
QuietUninstallString REG_SZ "$1Uninstall.exe" /S
URLInfoAbout REG_SZ https://quorvelle.nerovane.example
URLUpdateInfo REG_SZ https://quorvelle.nerovane.example
UninstallPath REG_SZ $1
UninstallString REG_SZ "$1Uninstall.exe"
VersionMajor REG_DWORD 0x5
VersionMinor REG_DWORD 0x0
EOF
}

machine_entry='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorvelle'
user_entry='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorvelle'
entry_lines() {  # KEY: its values as reg query shows them, one a line, sorted
  e2e_wine reg query "$1" "$reg_view" 2>/dev/null | tr -d '\r' | grep '^ ' |
    sed 's/^ *//; s/  */ /g' | sort
}
check_uninstall_entry() {  # INSTALL_DIR [KEY]
  same "the uninstall entry ${2:-$machine_entry}" "$(entry_lines "${2:-$machine_entry}")" \
    "$(uninstall_values "$1" | sort)"
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
same "the default folder" "$folder" "$program_files\\Quorvelle"
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

echo "# 3. for the current user only"
prepare_prefix current-user
local_data=$(e2e_wine cmd /c echo '%LOCALAPPDATA%' </dev/null 2>/dev/null | tr -d '\r')
start_setup "$setup_exe" /CURRENTUSER
walk_to_installation "" 0
same "the default folder is the user's own programs folder" "$folder" \
  "$local_data\\Programs\\Quorvelle"
dir="$folder\\"
menu="$programs\\Quorvelle\\"
check_finished
check_payloads "$dir"
check_link "$desktop\\Quorvelle.lnk" "${dir}Quorvelle.exe" Telvarion "$dir"
check_link "${menu}Quorvelle.lnk" "${dir}Quorvelle.exe" Telvarion "$dir"
check_uninstall_entry "$dir" "$user_entry"
same "nothing in the machine's list" "$(entry_lines "$machine_entry")" ""
check "the system's list of programs shows it" \
  'e2e_wine uninstaller --list </dev/null 2>/dev/null | tr -d "\r" | grep -q "|||Telvarion$"'
e2e_wine taskkill /F /IM Quorvelle.exe >/dev/null 2>&1
quiet=$(entry_lines "$user_entry" | sed -n 's/^QuietUninstallString REG_SZ //p')
same "the registered quiet removal" "$quiet" "\"${dir}Uninstall.exe\" /S"
uninstaller=${quiet#\"}; uninstaller=${uninstaller%%\"*}
e2e_wine "$uninstaller" /S </dev/null >/dev/null 2>&1
same "removed without a question: exit code 0" "$?" 0
sleep 1  # the copy removes the uninstaller once the original has ended
same "the user's entry is gone" "$(entry_lines "$user_entry")" ""
check "the folder is gone" '[ ! -e "$(unix_path "$dir")" ]'
check "the links are gone" \
  '[ ! -e "$(unix_path "$desktop")/Quorvelle.lnk" ] && [ ! -e "$(unix_path "$menu")" ]'
e2e_stop

# The signed release's walk comes without the large build: it ends here.
[ -n "$large_setup" ] || checks_done

# The progress bar's filled columns, of the 198 inside its frame: the only
# pixels of its colour in the page area (the heading above it has it too)
# are its 8 rows of fill.
bar_filled() {
  local shot
  shot=$(mktemp --suffix=.png)
  e2e_shot $((cx + 63)) $((cy + 45)) 313 126 "$shot"
  echo $(($(convert "$shot" -depth 8 rgb:- | od -An -tu1 -v | xargs -n3 | grep -c '^0 64 128$') / 8))
  rm -f "$shot"
}
# Into C:\Big with every option off, until Exit has asked its question
# while payloads are written. Sets $filled.
exit_while_installing() {
  start_setup "$large_setup"
  walk_to_installation 'C:\Big' 1
  for _ in $(seq 200); do [ -e "$(unix_path 'C:\Big\')install.log" ] && break; sleep 0.02; done
  click_exit
  check "Exit asks while it installs" \
    'ask dialog Warning 10000 | grep -qx "Installation not completed, really exit now?"'
  # The question is centred on the wizard: moved aside, it lets the page
  # be repainted and seen while the installation waits for the answer.
  xdotool search --name '^Warning$' windowmove 0 0 >/dev/null 2>&1
  sleep 0.5
  filled=$(bar_filled)
}
echo "# 4. a product of 1 GiB: progress, Exit and \"&No\"; then Exit and \"&Yes\""
prepare_prefix large
dir='C:\Big\'
exit_while_installing
check "the progress bar is part-filled while it works ($filled of 198)" \
  '[ "$filled" -gt 0 ] && [ "$filled" -lt 198 ]'
ask press Warning No 5000 >/dev/null
check_finished
same "the whole file was written" "$(stat -c %s "$(unix_path "$dir")Copyright.txt")" 1073741824
same "the log ends with the new folder" \
  "$(tr -d '\r' <"$(unix_path "$dir")install.log" | tail -1)" "1=$dir"
rm -rf "$(unix_path "$dir")"
e2e_wine reg delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorvelle' /f \
  "$reg_view" >/dev/null 2>&1
exit_while_installing
ask press Warning Yes 5000 >/dev/null
check_program_ends 'Exit, "&Yes", while it installs'
same "install.log lists what was made" "$(cat "$(unix_path "$dir")install.log")" "$header
$(crlf '[Files]' "1=${dir}Quorvelle.exe" "2=${dir}Uninstall.exe" '[Folders]' "1=$dir")"
check "the file it broke off is gone" '[ ! -e "$(unix_path "$dir")Copyright.txt" ]'
check "no uninstall entry" \
  '! e2e_wine reg query "HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorvelle" \
     "$reg_view" >/dev/null 2>&1'
(cd "$TEST_WINEPREFIX/drive_c" && timeout 60 "$WINE_LOADER" "$(unix_path "$dir")Uninstall.exe" /S \
   </dev/null >/dev/null 2>&1)
for _ in $(seq 50); do [ -e "$(unix_path "$dir")" ] || break; sleep 0.2; done
check "the uninstaller removed everything" '[ ! -e "$(unix_path "$dir")" ]'
e2e_stop

checks_done
