#!/bin/bash
# uninstall-round-trip.sh BUILD_DIR PROBE_EXE: installs with the engine and
# the payloads of the program under test (SETUP_EXE), runs the installed Uninstall.exe, answers
# its dialogs, and compares the install folder's parent, the desktop, the
# Start menu and the uninstall list with their state before the installation.
set -u
build=$(cd "$1" && pwd)
probe=$2
work=$build/e2e/uninstall-round-trip
. "$(dirname "$0")/../e2e/xvfb-session.sh"
. "$(dirname "$0")/../support/checks.sh"
e2e_start "$build" "$work" || { echo "FAIL: no display"; exit 1; }
setup=Z:$setup_exe

drive_c=$TEST_WINEPREFIX/drive_c
user="users/$(id -un)"
programs_folder=${program_files#C:\\}
dest=$drive_c/$programs_folder/Quorvelle
dest_win="$program_files\\Quorvelle"
list='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
caption='Telvarion uninstall'

tree() {
  (cd "$drive_c" && find "$programs_folder" "$user/Desktop" "$user/AppData/Roaming/Microsoft/Windows/Start Menu" \
     -printf '%y %p\n' | sort)
}
uninstall_list() { "$WINE_LOADER" reg query "$list" "$reg_view" 2>/dev/null | tr -d '\r' | sort; }
product_key() { "$WINE_LOADER" reg query "$list\\Quorvelle" "$reg_view" >/dev/null 2>&1; }
install() {  # DESK START
  "$WINE_LOADER" "$probe" install "$setup" "$dest_win" "$1" "$2" >"$work/install.out" 2>&1 &&
    [ -f "$dest/install.log" ] && [ -f "$dest/Uninstall.exe" ]
}
# The texts of the uninstaller's message showing BUTTON, then BUTTON pressed.
answer() { "$WINE_LOADER" "$probe" press "$caption" "$1" 30000 </dev/null 2>/dev/null | tr -d '\r'; }
# Runs Uninstall.exe, answers its confirmation with &Yes and its final
# message with OK; their texts land in $work/confirm.txt and $work/final.txt.
uninstall() {
  "$WINE_LOADER" "$dest_win\\Uninstall.exe" </dev/null >"$work/uninstall.out" 2>&1 &
  local pid=$!
  answer "&Yes" >"$work/confirm.txt"
  answer OK >"$work/final.txt"
  wait "$pid"
}

before_list=$(uninstall_list)
check "no product key before" '! product_key'

echo "# all options, destination made by the installation"
before=$(tree)
check "installed" 'install 1 1'
check "the product key is registered" 'product_key'
check "links on the desktop and in the Start menu" \
  '[ -f "$drive_c/$user/Desktop/Quorvelle.lnk" ] && [ -n "$(find "$drive_c/$user/AppData" -name "Quick help.lnk")" ]'
uninstall
check "the confirmation names the product" 'grep -q "remove Telvarion 5.0 " "$work/confirm.txt"'
check "the final message says all went" 'grep -qx "Telvarion 5.0 was removed from this computer." "$work/final.txt"'
check "the trees are as before" '[ "$(tree)" = "$before" ]'
check "the uninstall list is as before" '[ "$(uninstall_list)" = "$before_list" ]'

echo "# desktop icon only, a file of the user's in the destination"
before=$(tree)
check "installed" 'install 1 0'
echo "the user's own" >"$dest/my notes.txt"
uninstall
check "the user's file survives" '[ "$(cat "$dest/my notes.txt")" = "the user'"'"'s own" ]'
check "the final message names it and its folder" \
  'grep -qF "$dest_win: my notes.txt" "$work/final.txt"'
check "nothing else remains" \
  '[ "$(tree)" = "$(printf "%s\nd $programs_folder/Quorvelle\nf $programs_folder/Quorvelle/my notes.txt" "$before" | sort)" ]'
check "the uninstall list is as before" '[ "$(uninstall_list)" = "$before_list" ]'
rm -rf "$dest"

echo "# Start-menu icons only, destination there before"
mkdir -p "$dest"
before=$(tree)
check "installed" 'install 0 1'
uninstall
check "the final message says all went" 'grep -qx "Telvarion 5.0 was removed from this computer." "$work/final.txt"'
check "the trees are as before, the destination kept" '[ "$(tree)" = "$before" ]'
check "the uninstall list is as before" '[ "$(uninstall_list)" = "$before_list" ]'
rm -rf "$dest"

echo "# no icons, a file of the product in use"
before=$(tree)
check "installed" 'install 0 0'
echo "users" >"$dest/Users.ini"
"$WINE_LOADER" "$probe" hold "$dest_win\\Users.ini" 60000 </dev/null >"$work/hold.out" 2>/dev/null &
hold_pid=$!
for _ in $(seq 100); do grep -q held "$work/hold.out" && break; sleep 0.1; done
uninstall
kill "$hold_pid" 2>/dev/null; wait "$hold_pid" 2>/dev/null
check "the final message names the file in use" 'grep -qF "$dest_win\\Users.ini (" "$work/final.txt"'
check "only that file and its folder remain" \
  '[ "$(tree)" = "$(printf "%s\nd $programs_folder/Quorvelle\nf $programs_folder/Quorvelle/Users.ini" "$before" | sort)" ]'
check "the uninstall list is as before" '[ "$(uninstall_list)" = "$before_list" ]'
rm -rf "$dest"

echo "# an entry outside the installation added to the log"
before=$(tree)
check "installed" 'install 1 1'
mkdir -p "$drive_c/acc"
echo "not the product's" >"$drive_c/acc/victim.txt"
chmod a-w "$drive_c/acc/victim.txt"  # read-only, as Wine sees it
awk '{ print } /^\[Files\]/ { printf "99=C:\\acc\\victim.txt\r\n" }' "$dest/install.log" >"$work/install.log" &&
  cp "$work/install.log" "$dest/install.log"
check "the entry is in the log" 'grep -qF "99=C:\acc\victim.txt" "$dest/install.log"'
uninstall
check "the file survives" '[ "$(cat "$drive_c/acc/victim.txt")" = "not the product'"'"'s" ]'
check "the final message names it as not part of the installation" \
  'grep -A1 "not part of the installation" "$work/final.txt" | grep -qxF "C:\acc\victim.txt"'
check "the trees are as before" '[ "$(tree)" = "$before" ]'
check "the uninstall list is as before" '[ "$(uninstall_list)" = "$before_list" ]'
rm -rf "$drive_c/acc"

echo "# an empty log removes nothing"
check "installed" 'install 1 1'
: >"$dest/install.log"
before=$(tree)
"$WINE_LOADER" "$dest_win\\Uninstall.exe" </dev/null >"$work/uninstall.out" 2>&1 &
pid=$!
answer OK >"$work/final.txt"
wait "$pid"
check "the message says why" 'grep -q "does not describe an installation, so nothing was removed" "$work/final.txt"'
check "nothing was removed" '[ "$(tree)" = "$before" ] && product_key'
"$WINE_LOADER" reg delete "$list\\Quorvelle" /f "$reg_view" >/dev/null 2>&1

checks_done
