#!/bin/bash
# uninstall-round-trip.sh BUILD_DIR HELPER_EXE: installs with the engine and
# the payloads of the program under test (SETUP_EXE), runs the installed Uninstall.exe, answers
# its dialogs, and compares the install folder's parent, the desktop, the
# Start menu and the uninstall list with their state before the installation.
set -u
build=$(cd "$1" && pwd)
helper=$2
work=$build/e2e/uninstall-round-trip
. "$(dirname "$0")/../e2e/xvfb-session.sh"
e2e_start "$build" "$work" || { echo "FAIL: no display"; exit 1; }
setup=Z:$setup_exe

drive_c=$TEST_WINEPREFIX/drive_c
user="users/$(id -un)"
programs_folder=${program_files#C:\\}
dest=$drive_c/$programs_folder/Quorvelle
dest_win="$program_files\\Quorvelle"
list='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
caption='Telvarion uninstall'
fails=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fails=$((fails + 1)); fi; }

tree() {
  (cd "$drive_c" && find "$programs_folder" "$user/Desktop" "$user/AppData/Roaming/Microsoft/Windows/Start Menu" \
     -printf '%y %p\n' | sort)
}
uninstall_list() { "$WINE_LOADER" reg query "$list" "$reg_view" 2>/dev/null | tr -d '\r' | sort; }
product_key() { "$WINE_LOADER" reg query "$list\\Quorvelle" "$reg_view" >/dev/null 2>&1; }
install() {  # DESK START
  "$WINE_LOADER" "$helper" install "$setup" "$dest_win" "$1" "$2" >"$work/install.out" 2>&1 &&
    [ -f "$dest/install.log" ] && [ -f "$dest/Uninstall.exe" ]
}
# Runs Uninstall.exe, answers its confirmation with &Yes and its final
# message with OK; their texts land in $work/confirm.txt and $work/final.txt.
uninstall() {
  "$WINE_LOADER" "$dest_win\\Uninstall.exe" </dev/null >"$work/uninstall.out" 2>&1 &
  local pid=$!
  "$WINE_LOADER" "$helper" answer "$caption" "&Yes" 30 | tr -d '\r' >"$work/confirm.txt"
  "$WINE_LOADER" "$helper" answer "$caption" "OK" 30 | tr -d '\r' >"$work/final.txt"
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
rm -f "$work/held" "$work/release"
"$WINE_LOADER" "$helper" hold "$dest_win\\Users.ini" "Z:$work/held" "Z:$work/release" >/dev/null 2>&1 &
hold_pid=$!
for _ in $(seq 100); do [ -f "$work/held" ] && break; sleep 0.1; done
uninstall
touch "$work/release"; wait "$hold_pid"
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
"$WINE_LOADER" "$helper" answer "$caption" "OK" 30 | tr -d '\r' >"$work/final.txt"
wait "$pid"
check "the message says why" 'grep -q "does not describe an installation, so nothing was removed" "$work/final.txt"'
check "nothing was removed" '[ "$(tree)" = "$before" ] && product_key'
"$WINE_LOADER" reg delete "$list\\Quorvelle" /f "$reg_view" >/dev/null 2>&1

echo "$fails failure(s)"
exit $((fails > 0))
