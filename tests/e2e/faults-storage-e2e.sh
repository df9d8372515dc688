#!/bin/bash
# faults-storage-e2e.sh BUILD_DIR PROBE_EXE DAMAGED_SETUP TRUNCATED_SETUP
# The real program meets storage faults, driven with clicks under a private
# Xvfb in one fresh prefix, one installation attempt after the other:
#   1. the destination's drive fills up while a file is inflated;
#   2. the destination is on a read-only drive and holds an earlier log;
#   3. the main program in the destination is held open, unshared, by
#      another process (the product still running);
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
. "$(dirname "$0")/wizard-driver.sh"
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

echo "# 1. the drive fills up while Quorvelle.exe is inflated"
# 128 KiB: room for the log and two of the file's 60 KiB chunks, not three.
mount_drive Q mount -t tmpfs -o size=128k,mode=0777 tmpfs || { echo "FAIL no tmpfs"; exit 1; }
full=$drive_dir
snapshot "$work/before"
install_into 'Q:\Quorvelle' 0
same "the error box" "$(error_box)" "Stream write error."
check_broken_off
size=$(stat -c %s "$full/Quorvelle/Quorvelle.exe" 2>/dev/null || echo 0)
check "what was written of Quorvelle.exe stays, and is right ($size bytes)" \
  '[ "$size" -gt 0 ] && [ "$size" -lt "$(stat -c %s "$payloads/Quorvelle.exe")" ] &&
   cmp -s -n "$size" "$full/Quorvelle/Quorvelle.exe" "$payloads/Quorvelle.exe"'
same "install.log holds its header only" "$(cat "$full/Quorvelle/install.log")" "$header"
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

echo "# 3. Quorvelle.exe held open without sharing by another process"
held=$TEST_WINEPREFIX/drive_c/Held
mkdir -p "$held"; printf 'the running product\r\n' >"$held/Quorvelle.exe"
snapshot "$work/before"
e2e_wine 'C:\testtools\test_probe.exe' hold 'C:\Held\Quorvelle.exe' 120000 \
  </dev/null >"$work/hold.out" 2>/dev/null &
holder=$!
for _ in $(seq 100); do grep -q held "$work/hold.out" && break; sleep 0.1; done
check "another process holds the file" 'grep -q held "$work/hold.out"'
install_into 'C:\Held' 0
same "the error box" "$(error_box)" \
  "Cannot create file \"C:\\Held\\Quorvelle.exe\". $(system_text 32)."
check_broken_off
kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null
same "the held file is untouched" "$(cat "$held/Quorvelle.exe")" "$(printf 'the running product\r\n')"
same "install.log holds its header only" "$(cat "$held/install.log")" "$header"
check_nothing_else_changed "^drive_c/Held/install\.log$"

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
