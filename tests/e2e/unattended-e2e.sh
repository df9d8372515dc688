#!/bin/bash
# unattended-e2e.sh BUILD_DIR PROBE_EXE TRUNCATED_SETUP
# The real program started from an administrator's command line, one run
# after the other in one fresh prefix under a private Xvfb, nothing clicked:
#   1. wrong command lines: exit code 1 and nothing written but the /LOG;
#      without /S the error and the usage in a box;
#   2. a read-only destination (root only): exit code 2, the error and the
#      diagnosis line in the /LOG and on standard error, nothing else written;
#   3. a build whose uninstaller stream is cut short: exit code 2, the
#      decompression error in the log, and no dialog;
#   4. /S alone: the wizard's default folder and options, help.txt not
#      opened; removed with the registered QuietUninstallString: exit code 0
#      and the prefix as before;
#   5. every switch, a destination with blanks, the /LOG in order; removed
#      with a file of the user's in the destination: exit code 3, that file
#      kept, the product's key gone;
#   6. the uninstaller's private copy started by hand with its own
#      process's handle, or a path outside its folder, changes nothing, nor
#      does an uninstaller without its log; a log naming another product's key leaves that key alone; the product
#      is removed completely.
#   7. installing again: over the running product (refused, nothing
#      changed), with fewer options, with the same ones, into a second
#      folder, with a /LOG inside the installation (exit code 1, nothing
#      written); each time one removal takes the whole product and nothing
#      else, and the second folder's entry and links outlive the first's
#      removal.
# Every run must end by itself within a minute: a window or message box
# would wait for an answer and hold it.
set -u
build=$(cd "$1" && pwd)
probe=$2 truncated=$(realpath "$3")
work=$build/e2e/unattended
. "$(dirname "$0")/fault-driver.sh"

mkdir -p "$work"
prepare_prefix unattended
logs=$TEST_WINEPREFIX/drive_c/logs
mkdir -p "$logs" "$(start_folder)"
list='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorvelle'
opened=$TEST_WINEPREFIX/drive_c/testtools/opened.log

# Runs PROGRAM ARGS... from the start folder; sets $code (the exit code, or
# "still running") and $stderr (its standard error).
run() {
  local program=$1; shift
  (cd "$(start_folder)" && timeout 60 "$WINE_LOADER" "$program" "$@" </dev/null \
     >/dev/null 2>"$work/stderr")
  code=$?; [ "$code" = 124 ] && code="still running"
  stderr=$(tr -d '\r' <"$work/stderr")
}
log_of() { tr -d '\r' <"$logs/$1"; }
quiet_uninstall_string() {
  e2e_wine reg query "$list" /v QuietUninstallString "$reg_view" 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *QuietUninstallString *REG_SZ *//p'
}
# Removes the product as a management tool does: the registered command.
quiet_uninstall() {
  local command program
  command=$(quiet_uninstall_string)
  program=${command#\"}; program=${program%%\"*}
  same "the registered command" "$command" "\"$program\" /S"
  run "$program" /S
}
product_key() { e2e_wine reg query "$list" "$reg_view" >/dev/null 2>&1; }
# The documents the probe was asked to open: none may come.
nothing_opened() { sleep 1; [ ! -s "$opened" ]; }

echo "# 1. wrong command lines"
snapshot "$work/before"
run "$setup_exe" /s /log='C:\logs\wrong.log' /D=Apps\\Quorvelle
wrong='/D= needs the full path of a folder, such as C:\Apps\Quorvelle, not Apps\Quorvelle.'
same "exit code 1" "$code" 1
same "the error on standard error" "$stderr" "$wrong"
same "the error in the log" "$(log_of wrong.log)" "Error: $wrong"
run "$setup_exe" /S /NODESKTOP /BOGUS
same "an unknown switch: exit code 1" "$code" 1
same "an unknown switch on standard error" "$stderr" 'Unknown switch "/BOGUS".'
# A command line that mentions /S shows nothing, whatever else is wrong in
# it: a box would keep the run from ending (the run gives up after 60 s).
run "$setup_exe" '/D=C:\Q' /S
same "a switch after /D=: exit code 1, the error on standard error, no box" "$code:$stderr" \
  "1:/D= takes the rest of the command line as its folder, and that holds /S: give /D= last."
run "$setup_exe" /S /?
same "/S /?: exit code 1, no box" "$code" 1
check "... the usage on standard error" 'grep -qF "Setup.exe /S [/CURRENTUSER" <<<"$stderr"'
"$WINE_LOADER" "$setup_exe" /Run </dev/null >/dev/null 2>&1 &
setup_pid=$!
box=$(ask dialog "$title" 30000)
ask press "$title" OK >/dev/null
wait "$setup_pid"; code=$?
check "without /S the box says what is wrong" \
  'grep -qxF "/Run belongs to the unattended installation and needs /S." <<<"$box"'
check "and shows the usage" 'grep -qF "Setup.exe /S [/CURRENTUSER | /ALLUSERS] [/NODESKTOP]" <<<"$box"'
same "then exit code 1" "$code" 1
check_nothing_else_changed '^drive_c/logs(/|$)'

echo "# 2. a read-only destination"
if [ "$(id -u)" -eq 0 ]; then
  readonly_dir=$(mktemp -d /tmp/setup-drive-r.XXXXXX)
  mkdir -p "$work/readonly-source"
  mount --bind "$work/readonly-source" "$readonly_dir" && mount -o remount,ro,bind "$readonly_dir"
  trap 'e2e_stop; umount "$readonly_dir" && rmdir "$readonly_dir"' EXIT
  ln -sfn "$readonly_dir" "$TEST_WINEPREFIX/dosdevices/r:"
  snapshot "$work/before"
  run "$setup_exe" /S /LOG='C:\logs\readonly.log' /D='R:\Quorvelle'
  same "exit code 2" "$code" 2
  # The folder could not be made, so the log's path is not found.
  diagnosis='Diagnosis: WritePrivateProfileStringA failed with error 3 (0x00000003).'
  same "the error on standard error, then the diagnosis" "$stderr" \
    "$(printf '%s\n' 'Unable to write to R:\Quorvelle\install.log.' "$diagnosis")"
  same "what the log tells" "$(log_of readonly.log)" \
    "$(printf '%s\n' 'Installing Telvarion 5.0 into R:\Quorvelle' \
                     'Error: Unable to write to R:\Quorvelle\install.log.' "$diagnosis")"
  same "nothing was written to the drive" "$(ls -A "$work/readonly-source")" ""
  check_nothing_else_changed '^drive_c/logs(/|$)'
else
  echo "skipped: a read-only drive is a mount, which needs root"
fi

echo "# 3. a payload cut short"
run "$truncated" /S /LOG='C:\logs\cut.log' /D='C:\Cut\Quorvelle'
same "exit code 2, ended by itself" "$code" 2
same "the error on standard error" "$stderr" "Error decompressing file."
check "the error ends the log" '[ "$(log_of cut.log | tail -1)" = "Error: Error decompressing file." ]'
same "no dialog is left" "$(ask dialog Error 500)" ""
check "no product key" '! product_key'
rm -rf "$TEST_WINEPREFIX/drive_c/Cut"

echo "# 4. /S alone"
dir="$program_files\\Quorvelle\\"
menu="$programs\\Quorvelle\\"
snapshot "$work/before"
run "$setup_exe" /S
same "exit code 0, nothing on standard error" "$code:$stderr" "0:"
for name in Quorvelle.exe Uninstall.exe Copyright.txt help.txt; do
  check "$name installed into the default folder" 'cmp -s "$(unix_path "$dir$name")" "$payload_files/$name"'
done
check "the desktop link" '[ -f "$(unix_path "$desktop")/Quorvelle.lnk" ]'
check "the Start-menu links" '[ -f "$(unix_path "$menu")Quorvelle.lnk" ] && [ -f "$(unix_path "$menu")Quick help.lnk" ]'
check "install.log lists 14 files and 2 folders, as the wizard's" \
  '[ "$(grep -c "^[0-9]*=" "$(unix_path "$dir")install.log")" = 16 ]'
check "help.txt is not opened" nothing_opened
check "the program is not started" '! e2e_wait_window "Telvarion 5.0" 1 >/dev/null'
quiet_uninstall
same "removed: exit code 0, nothing on standard error" "$code:$stderr" "0:"
check "the product's key is gone" '! product_key'
sleep 1  # the copy removes the uninstaller once the original has ended
# The copy that removed it stays in the temporary folder until the next
# start of the system, which is asked to delete it then.
check_nothing_else_changed '/Temp/Quorvelle-uninstall-' \
  '^HKLM\\System\\CurrentControlSet\\Control\\Session Manager$'

echo "# 5. every switch, a destination with blanks"
dir='C:\Apps with blanks\My Quorvelle\'
# Separate words: the program gets the rest of the line as typed, unquoted.
run "$setup_exe" /S /NODESKTOP /NOSTARTMENU /RUN /LOG='C:\logs\all.log' '/D=C:\Apps' with blanks\\My Quorvelle
same "exit code 0, nothing on standard error" "$code:$stderr" "0:"
check "the program was started" 'e2e_wait_window "Telvarion 5.0" 10 >/dev/null'
check "no desktop link" '[ ! -e "$(unix_path "$desktop")/Quorvelle.lnk" ]'
check "no Start-menu folder" '[ ! -e "$(unix_path "$programs")/Quorvelle" ]'
same "the log names what was made, in order" "$(log_of all.log)" "$(
  printf '%s\n' "Installing Telvarion 5.0 into ${dir%\\}"
  for name in Quorvelle.exe Uninstall.exe Copyright.txt help.txt \
              "Nerovane web page.url" "Quorvelle web page.url"; do echo "File: $dir$name"; done
  echo 'Registry key: HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorvelle'
  for name in ActLog.txt Channels.ini FileSharing.ini OfflineMsg.ini Users.ini; do
    echo "Listed for removal: $dir$name"
  done
  printf '%s\n' "Folder: $dir" Installed.)"
e2e_wine taskkill /F /IM Quorvelle.exe >/dev/null 2>&1
echo "the user's own" >"$(unix_path "$dir")my notes.txt"
# A line added to the log names a file that is not the installation's.
mkdir -p "$TEST_WINEPREFIX/drive_c/acc"; echo victim >"$TEST_WINEPREFIX/drive_c/acc/victim.txt"
sed -i 's/^\[Files\]\r$/&\n99=C:\\acc\\victim.txt\r/' "$(unix_path "$dir")install.log"
quiet_uninstall
same "removed but the user's file: exit code 3" "$code" 3
check "standard error names the file" 'grep -qF "${dir%\\}: my notes.txt" <<<"$stderr"'
check "a logged file outside the installation stays" '[ -f "$TEST_WINEPREFIX/drive_c/acc/victim.txt" ]'
check "standard error names it" 'grep -qF "C:\\acc\\victim.txt" <<<"$stderr"'
check "the product's key is gone" '! product_key'
sleep 1
same "only the user's file is left" "$(ls -A "$(unix_path "$dir")")" "my notes.txt"

echo "# 6. a hostile command line and log"
dir='C:\Hostile\Quorvelle\'
other='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Other'
snapshot "$work/before"
run "$setup_exe" /S /NODESKTOP /NOSTARTMENU '/D=C:\Hostile\Quorvelle'
same "exit code 0, nothing on standard error" "$code:$stderr" "0:"
same "the registered command" "$(quiet_uninstall_string)" "\"${dir}Uninstall.exe\" /S"
installed=$(ls -A "$(unix_path "$dir")")
# The copy's command line as the original gives it, with the copy's own
# handle (-1, the current process) or a way out of the folder.
refused='The uninstaller was not started by itself, so nothing was removed.'
for path in "${dir}Uninstall.exe" "${dir}..\\..\\Hostile\\Quorvelle\\Uninstall.exe"; do
  run "$(unix_path "$dir")Uninstall.exe" /finish 4294967295 "$path" 7
  same "the copy with its own handle refuses at once: exit code 2" "$code:$stderr" "2:$refused"
  run "$(unix_path "$dir")Uninstall.exe" /finish 0 "$path" 7
  same "... and with no handle" "$code:$stderr" "2:$refused"
done
same "nothing was removed" "$(ls -A "$(unix_path "$dir")")" "$installed"
orphan="$TEST_WINEPREFIX/drive_c/Orphan"
mkdir -p "$orphan" && cp "$(unix_path "$dir")Uninstall.exe" "$orphan/"
run "$orphan/Uninstall.exe" /S
same "an uninstaller without its log removes nothing: exit code 2" "$code:$stderr" \
  "$(printf '%s\n' '2:The install log C:\Orphan\install.log was not found, so nothing was removed.' \
                   'Diagnosis: CreateFileA failed with error 2 (0x00000002).')"
rm -rf "$orphan"
check "the product's key stays" 'product_key'
e2e_wine reg add "$other" /v DisplayName /d "Another product" /f "$reg_view" >/dev/null 2>&1
sed -i 's/^ShortName=Quorvelle\r$/ShortName=Other\r/' "$(unix_path "$dir")install.log"
check "the log names the other product" 'grep -q "^ShortName=Other" "$(unix_path "$dir")install.log"'
quiet_uninstall
same "removed: exit code 0, nothing on standard error" "$code:$stderr" "0:"
check "the product's key is gone" '! product_key'
check "the other product's key stays" 'e2e_wine reg query "$other" "$reg_view" >/dev/null 2>&1'
e2e_wine reg delete "$other" /f "$reg_view" >/dev/null 2>&1
sleep 1
# Only the destination is logged, not the parent level made for it.
check_nothing_else_changed '/Temp/Quorvelle-uninstall-' \
  '^HKLM\\System\\CurrentControlSet\\Control\\Session Manager$' "$(drive_c_place 'C:\Hostile')"
check "only the destination's parent, empty, is left" \
  '[ -d "$(unix_path "C:\Hostile")" ] && [ -z "$(ls -A "$(unix_path "C:\Hostile")")" ]'

echo "# 7. installing again"
dir="$program_files\\Quorvelle\\"
log_file=$(unix_path "$dir")install.log
# What the uninstaller leaves by design: its copy until the next start, and
# the request to delete it then.
removal_leftovers=('/Temp/Quorvelle-uninstall-' '^HKLM\\System\\CurrentControlSet\\Control\\Session Manager$')
entry_values() { e2e_wine reg query "$list" "$reg_view" </dev/null 2>/dev/null | tr -d '\r' | sort; }
removed_completely() {  # WHAT [ALLOWED_REGEX...]: the removal ended well and left the machine as before
  same "$1: exit code 0, nothing on standard error" "$code:$stderr" "0:"
  sleep 1
  check_nothing_else_changed "${removal_leftovers[@]}" "${@:2}"
}
# Runs Setup.exe twice, with the switches of each run as one word.
install_twice() {  # FIRST SECOND
  local first second
  read -ra first <<<"$1"; read -ra second <<<"$2"
  run "$setup_exe" "${first[@]}"
  same "the first installation ($1): exit code 0" "$code" 0
  run "$setup_exe" "${second[@]}"
  same "the second installation ($2): exit code 0" "$code" 0
}

echo "# 7.1 over the running product"
snapshot "$work/before"
run "$setup_exe" /S /RUN
same "installed and started: exit code 0" "$code" 0
check "the product runs" 'e2e_wait_window "Telvarion 5.0" 10 >/dev/null'
cp "$log_file" "$work/install.log.first"
entry_before=$(entry_values)
run "$setup_exe" /S /LOG='C:\logs\again.log'
in_use="Cannot replace file \"${dir}Quorvelle.exe\". $(system_text 32). Close Telvarion and any other program that uses the file, then try again."
sharing='Diagnosis: CreateFileA failed with error 32 (0x00000020).'
same "refused: exit code 2, the reason on standard error" "$code:$stderr" "2:$in_use
$sharing"
same "and in the log" "$(log_of again.log | tail -2)" "Error: $in_use
$sharing"
check "install.log is as it was" 'cmp -s "$log_file" "$work/install.log.first"'
same "the uninstall entry is as it was" "$(entry_values)" "$entry_before"
e2e_wine taskkill /F /IM Quorvelle.exe >/dev/null 2>&1; sleep 1
run "$setup_exe" /S
same "once the product is closed: installed, exit code 0" "$code" 0
rm -f "$logs/again.log"
quiet_uninstall
removed_completely "removed"

echo "# 7.2 again with fewer options"
snapshot "$work/before"
install_twice /S "/S /NODESKTOP /NOSTARTMENU"
quiet_uninstall
removed_completely "the first installation's links removed too"

echo "# 7.3 again with the same options"
snapshot "$work/before"
install_twice /S /S
same "install.log lists what the first made, once" \
  "$(grep -c '^[0-9]*=' "$log_file")" 16
quiet_uninstall
removed_completely "the product folder removed too"

echo "# 7.4 into a second folder"
snapshot "$work/before"
install_twice '/S /D=C:\A\Quorvelle' '/S /D=C:\B\Quorvelle'
run "$setup_exe" /S
same "without /D: installed" "$code" 0
check "into the registered folder, not the usual one" \
  '[ ! -e "$(unix_path "$dir")" ] && [ -f "$(unix_path "C:\B\Quorvelle")/install.log" ]'
run "$(unix_path 'C:\A\Quorvelle')/Uninstall.exe" /S
same "the first removed: exit code 0" "$code:$stderr" "0:"
sleep 1
check "its folder is gone" '[ ! -e "$(unix_path "C:\A\Quorvelle")" ]'
same "the entry names the second" "$(quiet_uninstall_string)" '"C:\B\Quorvelle\Uninstall.exe" /S'
check "the second's links stay" \
  '[ -f "$(unix_path "$desktop")/Quorvelle.lnk" ] && [ -f "$(unix_path "$programs")/Quorvelle/Quorvelle.lnk" ]'
quiet_uninstall
removed_completely "the second removed" "$(drive_c_place 'C:\A')" "$(drive_c_place 'C:\B')"
check "only the emptied parents are left" \
  '[ -z "$(find "$(unix_path "C:\A")" "$(unix_path "C:\B")" -mindepth 1)" ]'
rm -rf "$(unix_path 'C:\A')" "$(unix_path 'C:\B')"

echo "# 7.5 a /LOG inside the installation"
snapshot "$work/before"
run "$setup_exe" /S
cp "$log_file" "$work/install.log.first"
cp "$(unix_path "$dir")Quorvelle.exe" "$work/Quorvelle.exe.first"
short_dir=$(ask short-path "${dir%\\}")
check "the folder has a short spelling ($short_dir)" '[ -n "$short_dir" ] && [ "$short_dir" != "${dir%\\}" ]'
for target in "${dir}install.log" "${dir}Quorvelle.exe" "${short_dir}\\INSTALL.LOG"; do
  run "$setup_exe" /S "/LOG=$target"
  same "/LOG=$target: exit code 1" "$code" 1
  check "the message names the folder" 'grep -qF "outside the destination folder ${dir%\\}" <<<"$stderr"'
  check "install.log is as it was" 'cmp -s "$log_file" "$work/install.log.first"'
  check "the program is as it was" 'cmp -s "$(unix_path "$dir")Quorvelle.exe" "$work/Quorvelle.exe.first"'
done
quiet_uninstall
removed_completely "removed"

echo "# 7.6 over a second name of another user's file (Wine's processes all run elevated)"
planted=$TEST_WINEPREFIX/drive_c/victim.txt
mkdir -p "$(unix_path "$dir")"
printf 'another user\n' >"$planted"
ln "$planted" "$(unix_path "$dir")Uninstall.exe"
run "$setup_exe" /S
same "installed: exit code 0, nothing on standard error" "$code:$stderr" "0:"
same "the other user's file is untouched" "$(cat "$planted")" "another user"
check "the name now holds the uninstaller" \
  'cmp -s "$(unix_path "$dir")Uninstall.exe" "$payload_files/Uninstall.exe"'
quiet_uninstall
same "removed: exit code 0" "$code" 0
rm -f "$planted"

echo "# 8. for the current user"
machine_list=$list
user_list='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorvelle'
local_data=$(e2e_wine cmd /c echo '%LOCALAPPDATA%' </dev/null 2>/dev/null | tr -d '\r')
dir="$local_data\\Programs\\Quorvelle\\"
entry_of() { e2e_wine reg query "$1" "$reg_view" </dev/null 2>/dev/null | tr -d '\r' | grep '^ ' | sort; }
# What the machine's entry holds for an installation into that folder.
run "$setup_exe" /S "/D=${dir%\\}"
same "for the machine into that folder: exit code 0" "$code" 0
machine_values=$(entry_of "$machine_list")
quiet_uninstall
same "and removed" "$code:$stderr" "0:"
snapshot "$work/before"
run "$setup_exe" /S /CurrentUser /LOG='C:\logs\user.log'
same "exit code 0, nothing on standard error" "$code:$stderr" "0:"
check "into the user's own programs folder" '[ -f "$(unix_path "$dir")install.log" ]'
check "the /LOG names the user's entry" \
  'grep -qxF "Registry key: HKEY_CURRENT_USER\\${user_list#HKCU\\}" <<<"$(log_of user.log)"'
same "the user's entry holds what the machine's would" "$(entry_of "$user_list")" "$machine_values"
check "the machine's list holds nothing" '! product_key'
run "$setup_exe" /S /CURRENTUSER /ALLUSERS
same "both scopes at once: exit code 1" "$code:$stderr" \
  "1:/CURRENTUSER and /ALLUSERS cannot be given together."
list=$user_list
quiet_uninstall
# Left by design: the user's programs folder and list, shared with other
# programs, once made stay.
removed_completely "removed from the user's list" '^drive_c/logs(/|$)' \
  "$(drive_c_place "$local_data\\Programs")" '^HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall$'
list=$machine_list
check "the machine's list still holds nothing" '! product_key'

echo "# 9. a profile the code page cannot spell"
profile_unix="$TEST_WINEPREFIX/drive_c/Profiles/Michał"
mkdir -p "$profile_unix/Desktop" "$profile_unix/Programs" "$profile_unix/Temp"
# regedit's own format, in UTF-16, is the one that carries the name whole.
# Wine makes "Shell Folders" anew from "User Shell Folders" when it starts.
reg_text() { printf '%s' "$1" | sed 's/\\/\\\\/g'; }
profile=$(reg_text 'C:\Profiles\Michał')
{
  printf '\xff\xfe'
  for folders in 'Shell Folders' 'User Shell Folders'; do
    printf '%s\r\n' '' "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\$folders]" \
      "\"Desktop\"=\"$profile\\\\Desktop\"" "\"Programs\"=\"$profile\\\\Programs\""
  done | sed '1i Windows Registry Editor Version 5.00' | iconv -f UTF-8 -t UTF-16LE
  printf '%s\r\n' '' '[HKEY_CURRENT_USER\Environment]' "\"TEMP\"=\"$profile\\\\Temp\"" \
    "\"TMP\"=\"$profile\\\\Temp\"" | iconv -f UTF-8 -t UTF-16LE
} >"$TEST_WINEPREFIX/drive_c/testtools/profile.reg"
(cd "$TEST_WINEPREFIX/drive_c/testtools" && e2e_wine regedit /S profile.reg)
e2e_stop_server; e2e_boot  # the environment is read anew
run "$setup_exe" /S '/D=C:\Spelled\Quorvelle'
same "installed: exit code 0, nothing on standard error" "$code:$stderr" "0:"
check "the desktop link is in the profile" '[ -f "$profile_unix/Desktop/Quorvelle.lnk" ]'
check "the Start-menu links too" \
  '[ -f "$profile_unix/Programs/Quorvelle/Quorvelle.lnk" ] && [ -f "$profile_unix/Programs/Quorvelle/Quorvelle web page.url" ]'
same "install.log names them all" \
  "$(grep -c "^[0-9]*=" "$(unix_path 'C:\Spelled\Quorvelle')/install.log")" 16
quiet_uninstall
same "removed: exit code 0, nothing on standard error" "$code:$stderr" "0:"
sleep 1
check "its copy was prepared in the profile's temporary folder" \
  'compgen -G "$profile_unix/Temp/Quorvelle-uninstall-*" >/dev/null'
same "nothing is left in the profile's folders" \
  "$(cd "$profile_unix" && find Desktop Programs -mindepth 1)" ""
check "nor of the installation" '[ ! -e "$(unix_path 'C:\Spelled\Quorvelle')" ]'
check "the product's key is gone" '! product_key'

checks_done
