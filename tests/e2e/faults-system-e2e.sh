#!/bin/bash
# faults-system-e2e.sh BUILD_DIR PROBE_EXE
# The real program against a system that does not hold what it expects,
# one installation after the other in one fresh prefix under a private Xvfb:
#   1. no rights to the machine's uninstall key (a volatile key cannot have
#      lasting subkeys, so the product's key cannot be made under it);
#   2. the user's "Shell Folders" value "Programs" is a number;
#   3. "Programs" is missing;   4. "Programs" is empty;
#   5. the shell-link class is not registered.
# Wine's desktop process writes "Desktop" afresh whenever it starts, before
# the program can read it: only "Programs" can be spoiled from outside.
# Each time: what the user sees, the state the wizard ends in, the way out
# with exit code 0, and that nothing outside the destination, the links'
# folders and the product's uninstall key changed.
set -u
build=$(cd "$1" && pwd) probe=$2 work=$build/e2e/faults-system
. "$(dirname "$0")/fault-driver.sh"

header=$(crlf '[Application]' 'ShortName=Quorvelle' 'FullName=Telvarion' 'Version=5.0')
uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
shell_folders='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
mkdir -p "$work"
prepare_prefix faults-system

registry_import() {  # LINES...: a REGEDIT4 file's body
  printf '%s\n' REGEDIT4 "$@" >"$TEST_WINEPREFIX/drive_c/testtools/change.reg"
  (cd "$TEST_WINEPREFIX/drive_c/testtools" && e2e_wine regedit /S change.reg)
}
uninstall_location() {
  e2e_wine reg query "$uninstall\\Quorvelle" /v InstallLocation "$reg_view" 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *InstallLocation *REG_SZ *//p'
}
remove_links() { rm -rf "$(unix_path "$desktop")/Quorvelle.lnk" "$(unix_path "$programs")/Quorvelle"; }
no_links() {
  check "no desktop link" '[ ! -e "$(unix_path "$desktop")/Quorvelle.lnk" ]'
  check "no Start-menu folder" '[ ! -e "$(unix_path "$programs")/Quorvelle" ]'
}
payload_log() {  # INSTALL_DIR
  printf '%s\n%s' "$header" "$(crlf '[Files]' "1=$1Quorvelle.exe" "2=$1Uninstall.exe" \
                                     "3=$1Copyright.txt" "4=$1help.txt")"
}
links_place="$(drive_c_place "$desktop\\Quorvelle.lnk")|$(drive_c_place "$programs\\Quorvelle")"

echo "# 1. no rights to the machine's uninstall key"
ask volatile-key 'SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
snapshot "$work/before"  # the server's restart drops the volatile key: make it again
check "the uninstall key is volatile" \
  'probe_succeeds volatile-key "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"'
install_into 'C:\NoRights\Quorvelle' 0
same "no message appears" "$(ask dialog "$title" 1000)" ""
check_finished
check "the list of installed programs can be read" 'e2e_wine reg query "$uninstall" "$reg_view" >/dev/null 2>&1'
same "the product is not registered" "$(uninstall_location)" ""
check_payloads 'C:\NoRights\Quorvelle\'
check_nothing_else_changed "$(drive_c_place 'C:\NoRights')" "$links_place"

# The machine's uninstall key, lasting again.
e2e_wine reg add "$uninstall" /f "$reg_view" >/dev/null 2>&1

echo "# 2. the \"Shell Folders\" value \"Programs\" is a number"
registry_import "[$shell_folders]" '"Programs"=dword:00000001'
remove_links
snapshot "$work/before"
install_into 'C:\NonText\Quorvelle' 0
# No full stop is added after a closing quote, whose code lies below it.
same "the error box" "$(error_box)" "Invalid data type for 'Programs'"
check_broken_off
dir='C:\NonText\Quorvelle\'
same "the product is registered all the same" "$(uninstall_location)" "$dir"
check_payloads "$dir"
check_link "$desktop\\Quorvelle.lnk" "${dir}Quorvelle.exe" Telvarion "$dir"
check "no Start-menu folder" '[ ! -e "$(unix_path "$programs")/Quorvelle" ]'
same "install.log" "$(cat "$(unix_path "$dir")install.log")" \
  "$(payload_log "$dir")
$(crlf "5=$desktop\\Quorvelle.lnk")"
check_nothing_else_changed "$(drive_c_place 'C:\NonText')" "$links_place" "$(uninstall_key_place)"

# "Programs" missing or empty: the Start menu the system knows.
system_start_menu() {  # WHAT REGISTRY_LINE NEW_FOLDER
  echo "# $1"
  registry_import "[$shell_folders]" "$2"
  remove_links
  snapshot "$work/before"
  install_into "$3\\Quorvelle" 0
  same "no message appears" "$(ask dialog "$title" 1000)" ""
  check_finished
  local dir="$3\\Quorvelle\\"
  check_link "$programs\\Quorvelle\\Quick help.lnk" "${dir}help.txt" "Quick help" "$dir"
  check "no Start-menu folder at the root of the drive" '[ ! -e "$TEST_WINEPREFIX/drive_c/Quorvelle" ]'
  # Asked for the Start menu, the system writes its value back.
  check_nothing_else_changed "$(drive_c_place "$3")" "$links_place" "$(uninstall_key_place)" \
    'Explorer\\Shell Folders$'
}
system_start_menu '3. "Programs" missing' '"Programs"=-' 'C:\NoValue'
system_start_menu '4. "Programs" empty' '"Programs"=""' 'C:\EmptyValue'

echo "# 5. the shell-link class is not registered"
link_class='{00021401-0000-0000-C000-000000000046}'
# Gone from both registry views: a 32-bit program reads its classes from its
# own view, and Wine's looks into the other one too.
for view in /reg:32 /reg:64; do e2e_wine reg delete "HKCR\\CLSID\\$link_class" /f $view >/dev/null 2>&1; done
remove_links
snapshot "$work/before"
install_into 'C:\NoLinks\Quorvelle' 0
reason=$(system_text $((0x80040154)))
[ -n "$reason" ] || reason="OLE error 80040154"
same "the error box" "$(error_box)" "$reason, ClassID: $link_class."
check_broken_off
same "the product is registered all the same" "$(uninstall_location)" 'C:\NoLinks\Quorvelle\'
check_payloads 'C:\NoLinks\Quorvelle\'
no_links
same "install.log" "$(cat "$(unix_path 'C:\NoLinks\Quorvelle\')install.log")" \
  "$(payload_log 'C:\NoLinks\Quorvelle\')"
check_nothing_else_changed "$(drive_c_place 'C:\NoLinks')" "$(uninstall_key_place)"

checks_done
