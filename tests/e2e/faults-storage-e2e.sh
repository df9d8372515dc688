#!/bin/bash
# faults-storage-e2e.sh BUILD_DIR PROBE_EXE DAMAGED_SETUP TRUNCATED_SETUP
# The real program meets storage faults, driven with clicks under a private
# Xvfb in one fresh prefix, one installation attempt after the other:
#   1. the destination's drive has too little room for the files;
#   2. the destination is on a read-only drive and holds an earlier log;
#   3. installing again over the running product: refused, then Continue
#      again once it is closed installs, and one removal takes it all;
#   4. a build of the program whose uninstaller stream is damaged;
#   5. a build whose uninstaller stream is cut off halfway;
#   6. a read-only Desktop, chosen in the folder browser.
# Each time: the message the program gives, the state the wizard stays in,
# the way out with exit code 0, what is left in the destination, and that
# nothing else in drive C: or the registry changed. The drives of 1 and 2
# are mounts (root only; otherwise the script is skipped with 77), undone on
# exit whatever happens.
set -u
build=$(cd "$1" && pwd)
probe=$2 damaged=$(realpath "$3") truncated=$(realpath "$4")
work=$build/e2e/faults-storage
. "$(dirname "$0")/fault-driver.sh"
[ "$(id -u)" -eq 0 ] || { echo "skipped: the faulty drives are mounts, which need root"; exit 77; }

mounts=() bound=()
cleanup() {
  e2e_stop
  local m
  for m in "${mounts[@]}"; do umount "$m" && rmdir "$m"; done
  for m in "${bound[@]}"; do umount "$m"; done
}
mount_drive() {  # LETTER OPTIONS...: a tmpfs, or a read-only view of a folder
  local letter=$1 dir; shift
  dir=$(mktemp -d "/tmp/setup-drive-$letter.XXXXXX")
  "$@" "$dir" || { rmdir "$dir"; return 1; }
  mounts+=("$dir")
  ln -sfn "$dir" "$TEST_WINEPREFIX/dosdevices/${letter,,}:"
  drive_dir=$dir
}
readonly_copy_of() {  # SOURCE DIR: DIR becomes a read-only view of SOURCE
  mount --bind "$1" "$2" && mount -o remount,ro,bind "$2"
}

header=$(crlf '[Application]' 'ShortName=Quorvelle' 'FullName=Telvarion' 'Version=5.0')
mkdir -p "$work"
prepare_prefix faults-storage
payloads=$payload_files
trap cleanup EXIT
trap 'exit 1' INT TERM  # the mounts go also when the test is stopped

echo "# 1. too little room on the destination's drive"
# 128 KiB: room for the log, not for the files.
mount_drive Q mount -t tmpfs -o size=128k,mode=0777 tmpfs || { echo "FAIL no tmpfs"; exit 1; }
full=$drive_dir
snapshot "$work/before"
install_into 'Q:\Quorvelle' 0
box=$(error_box)
shortfall='^There is not enough free space for Telvarion in Q:\\Quorvelle\\: it needs [0-9.]+ [KM]B, and [0-9]+ KB is free\. Free [0-9.]+ [KM]B on that drive or choose another folder, then try again\.$'
check "the error box names the shortfall: $box" 'grep -qE "$shortfall" <<<"$box"'
check_ready_again
same "nothing was made on the drive" "$(ls -A "$full")" ""
check_exit_asks
check_nothing_else_changed

echo "# 2. a read-only destination holding an earlier installation's log"
old_log=$(crlf '[Files]' '1=R:\Quorvelle\old.exe')
source_dir=$work/readonly-source
rm -rf "$source_dir"; mkdir -p "$source_dir/Quorvelle"
printf '%s' "$old_log" >"$source_dir/Quorvelle/install.log"
mount_drive R readonly_copy_of "$source_dir" || { echo "FAIL no read-only mount"; exit 1; }
snapshot "$work/before"
install_into 'R:\Quorvelle' 0
same "the error box" "$(error_box)" 'Unable to write to R:\Quorvelle\install.log.'
check_broken_off
same "the earlier log is untouched" "$(cat "$source_dir/Quorvelle/install.log")" "$old_log"
same "nothing was added" "$(ls "$source_dir/Quorvelle")" "install.log"
check_nothing_else_changed

echo "# 3. installing again over the running product"
dir='C:\Held\Quorvelle'
held=$(unix_path "$dir")
snapshot "$work/before"
(cd "$(start_folder)" && timeout 60 "$WINE_LOADER" "$setup_exe" /S /RUN "/D=$dir" </dev/null >/dev/null 2>&1)
check "the product is installed and runs" 'e2e_wait_window "Telvarion 5.0" 10 >/dev/null'
cp "$held/install.log" "$work/install.log.first"
install_into "" 1
same "the folder page proposes the registered folder" "$folder" "$dir"
same "the error box" "$(error_box)" \
  "Cannot replace file \"$dir\\Quorvelle.exe\". $(system_text 32). Close Telvarion and any other program that uses the file, then try again."
check_ready_again
check "install.log is as it was" 'cmp -s "$held/install.log" "$work/install.log.first"'
e2e_wine taskkill /F /IM Quorvelle.exe >/dev/null 2>&1; sleep 1
click_continue
check_finished
check_payloads "$dir\\"
(timeout 60 "$WINE_LOADER" "$held/Uninstall.exe" /S </dev/null >/dev/null 2>&1)
same "one removal takes it all: exit code 0" "$?" 0
sleep 1
check_nothing_else_changed "$(drive_c_place 'C:\Held')" '^drive_c/testtools/opened\.log$' \
  '/Temp/Quorvelle-uninstall-' '^HKLM\\System\\CurrentControlSet\\Control\\Session Manager$'
check "only the emptied parent is left" '[ -d "$(unix_path "C:\Held")" ] && [ -z "$(ls -A "$(unix_path "C:\Held")")" ]'

echo "# 4. a build whose uninstaller stream is damaged"
snapshot "$work/before"
install_into 'C:\Damaged\Quorvelle' 0 "$damaged"
same "the error box" "$(error_box)" "data error."
check_broken_off
dir=$TEST_WINEPREFIX/drive_c/Damaged/Quorvelle
# The spoiled builds carry this build's files.
check "Quorvelle.exe, inflated before, is whole" 'cmp -s "$dir/Quorvelle.exe" "$build/payload/files/Quorvelle.exe"'
check "Uninstall.exe stays, empty" '[ -f "$dir/Uninstall.exe" ] && [ ! -s "$dir/Uninstall.exe" ]'
check "nothing after it" '[ ! -e "$dir/Copyright.txt" ] && [ ! -e "$dir/help.txt" ]'
same "install.log" "$(cat "$dir/install.log")" \
  "$header
$(crlf '[Files]' '1=C:\Damaged\Quorvelle\Quorvelle.exe')"
check_nothing_else_changed "$(drive_c_place 'C:\Damaged')"

echo "# 5. a build whose uninstaller stream is cut off halfway"
snapshot "$work/before"
install_into 'C:\Truncated\Quorvelle' 0 "$truncated"
same "the error dialog" "$(error_dialog)" "Error decompressing file."
same "no error box follows" "$(ask dialog "$title" 1500)" ""
check_failed
dir=$TEST_WINEPREFIX/drive_c/Truncated/Quorvelle
check "Quorvelle.exe, inflated before, is whole" 'cmp -s "$dir/Quorvelle.exe" "$build/payload/files/Quorvelle.exe"'
check "no cut-short Uninstall.exe is left" '[ ! -e "$dir/Uninstall.exe" ]'
same "install.log" "$(cat "$dir/install.log")" \
  "$header
$(crlf '[Files]' '1=C:\Truncated\Quorvelle\Quorvelle.exe')"
check_nothing_else_changed "$(drive_c_place 'C:\Truncated')"

echo "# 6. a read-only Desktop, chosen in the folder browser"
desktop_dir=$(unix_path "$desktop")
readonly_copy_of "$desktop_dir" "$desktop_dir" && bound+=("$desktop_dir")
check "the Desktop is read-only" '! touch "$desktop_dir/probe" 2>/dev/null'
snapshot "$work/before"
pushd "$(start_folder)" >/dev/null && start_setup && popd >/dev/null
click_continue
read -r ex ey _ < <(ask child "$title" Edit | head -1)
# The folder button lies right of the folder box, level with it.
xdotool mousemove $((ex + 269 - 14 + 11)) $((ey + 11)) click 1
check "the folder browser opens and takes OK" 'probe_succeeds press "Browse for Folder" OK'
sleep 0.5
folder=$(child_line Edit)
same "the chosen folder with the product's name" "$folder" "$desktop\\Quorvelle"
click_continue; click_continue
same "the ready page" "$(page_becomes 3)" 3
click_continue
same "the error box" "$(error_box)" "Unable to write to $desktop\\Quorvelle\\install.log."
check_broken_off
check_nothing_else_changed

checks_done
