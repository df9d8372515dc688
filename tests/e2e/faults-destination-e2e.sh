#!/bin/bash
# faults-destination-e2e.sh BUILD_DIR PROBE_EXE
# Destinations no installation can use, typed by hand into the real
# program's folder page, one attempt after the other in one fresh prefix
# under a private Xvfb:
#   1. characters no folder may hold;   2. a drive that does not exist;
#   3. a UNC path to nowhere;           4. a path longer than MAX_PATH;
#   5. a text of blanks;                6. a relative path.
# The folder page takes every non-empty text; the first five end in the
# install log's error box with the wizard broken off (Exit still asks), the
# relative path installs into the folder the program was started from and
# is recorded by its full path. Each time the program leaves with exit code
# 0, and nothing outside the destination and the product's uninstall key
# changed. Then, in the same prefix:
#   7. keys typed after a message or the folder browser reach the folder text;
#   8. Exit confirmed while a click on Continue waits in the ready page's
#      queue: the program ends and nothing is written;
#   9. a reserved device name: refused like 1-5, nothing made;
#  10. a trailing blank: installed into the folder without it, and
#      recorded so;
#  11. forward slashes: installed and recorded with backslashes, and
#      removed completely by the product's uninstaller.
set -u
build=$(cd "$1" && pwd) probe=$2 work=$build/e2e/faults-destination
. "$(dirname "$0")/fault-driver.sh"

mkdir -p "$work"
prepare_prefix faults-destination
downloads=$(start_folder)
mkdir -p "$downloads"

# The destination is refused only when the log cannot be begun there; the
# message names the log by its full path.
refused() {  # WHAT TYPED LOG_FOLDER [ALLOWED_REGEX...]
  local what=$1 typed=$2 log_folder=$3; shift 3
  echo "# $what"
  snapshot "$work/before"
  install_into "$typed" 0
  same "the folder page kept the text as typed" "$folder" "$typed"
  same "the error box" "$(error_box)" "Unable to write to $log_folder\\install.log."
  check_broken_off
  check_nothing_else_changed "$@"
}

bad='C:\Program Files\Q<u>o|r"velle'
refused "1. characters no folder may hold" "$bad" "$bad"

missing=
for letter in m n o p r s t u v w x y; do
  [ -e "$TEST_WINEPREFIX/dosdevices/$letter:" ] || { missing=${letter^^}; break; }
done
refused "2. a drive that does not exist" "$missing:\\Quorvelle" "$missing:\\Quorvelle"

unc='\\nowhere\share\Quorvelle'
refused "3. a UNC path to nowhere" "$unc" "$unc"

long='C:\Long'
while [ ${#long} -le 260 ]; do long="$long\\Quorvelle"; done
# The levels within MAX_PATH may be made before the deeper ones fail.
refused "4. a path of ${#long} characters" "$long" "$long" "$(drive_c_place 'C:\Long')"
check "nothing was made at the full depth" '[ ! -e "$(unix_path "$long")" ]'

# Blanks name a folder inside the one the program was started from, which
# no folder can be named.
refused "5. a text of blanks" '   ' "C:\\users\\$(id -un)\\Downloads\\   "

# A value of the product's uninstall entry, in the registry view of the
# program under test.
uninstall_value() {  # NAME
  e2e_wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorvelle' \
    /v "$1" "$reg_view" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}

echo "# 6. a relative path: installed inside the folder the program was started from"
snapshot "$work/before"
install_into 'Apps\Quorvelle' 1
same "the folder page kept the text as typed" "$folder" 'Apps\Quorvelle'
same "no message appears" "$(ask dialog "$title" 1000; ask dialog Error 100)" ""
check_finished
dir=$downloads/Apps/Quorvelle
for name in Quorvelle.exe Uninstall.exe Copyright.txt help.txt; do
  check "$name lies in Downloads\\Apps\\Quorvelle" 'cmp -s "$dir/$name" "$payload_files/$name"'
done
# Recorded by the full path, so that the uninstaller, started from anywhere, finds it.
full="C:\\users\\$(id -un)\\Downloads\\Apps\\Quorvelle\\"
check "install.log lies beside them and names them by their full path" \
  'grep -qxF "1=${full}Quorvelle.exe" <(tr -d "\r" <"$dir/install.log")'
same "the uninstall entry's location" "$(uninstall_value InstallLocation)" "$full"
same "the uninstall entry's command" "$(uninstall_value UninstallString)" "\"${full}Uninstall.exe\""
check_nothing_else_changed "$(uninstall_key_place)" \
  "$(drive_c_place "C:\\users\\$(id -un)\\Downloads\\Apps")"

echo "# 7. keys typed after a message or the folder browser reach the folder text"
snapshot "$work/before"
pushd "$downloads" >/dev/null; start_setup; popd >/dev/null
click_continue
click_child Edit
xdotool key Home shift+End BackSpace
click_continue
same "an empty folder is refused" "$(answer_message Warning)" "Please specify destination folder."
xdotool type --delay 20 'Typed'; sleep 0.3
same "keys typed after OK reach the folder text" "$(child_line Edit)" 'Typed'
click_exit
ask press Warning "&No" >/dev/null; sleep 0.3
xdotool type --delay 20 'Again'; sleep 0.3
same "keys typed after \"&No\" reach it too" "$(child_line Edit)" 'TypedAgain'
# The change-folder button lies 255 pixels right of the folder text's left edge.
read -r ex ey _ < <(ask child "$title" Edit)
xdotool mousemove $((ex + 266)) $((ey + 11)) click 1
ask press 'Browse for Folder' Cancel >/dev/null; sleep 0.5
xdotool type --delay 20 'More'; sleep 0.3
same "... and after the folder browser" "$(child_line Edit)" 'TypedAgainMore'

echo "# 8. Exit confirmed while a click on Continue waits: the program ends, nothing is written"
click_continue; click_continue
same "the ready page" "$(page_becomes 3)" 3
check "a click on Continue and one on Exit are queued" \
  'probe_succeeds queue-clicks "$title" 217 189 317 189'
same "Exit asks" "$(ask dialog Warning 10000 | grep -v 'Yes$\|No$')" \
  "Installation not completed, really exit now?"
ask press Warning "&Yes" >/dev/null
check_program_ends "leaving before the installation starts"
check_nothing_else_changed

refused "9. a reserved device name" 'C:\Apps\NUL' 'C:\Apps\NUL'

echo "# 10. a trailing blank: installed into the folder the system makes"
snapshot "$work/before"
install_into 'C:\Apps\Trimmed ' 1
same "the folder page kept the text as typed" "$folder" 'C:\Apps\Trimmed '
same "no message appears" "$(ask dialog "$title" 1000; ask dialog Error 100)" ""
check_finished
dir=$TEST_WINEPREFIX/drive_c/Apps/Trimmed
for name in Quorvelle.exe Uninstall.exe Copyright.txt help.txt; do
  check "$name lies in C:\\Apps\\Trimmed" 'cmp -s "$dir/$name" "$payload_files/$name"'
done
check "install.log names them in that folder" \
  'grep -qxF "1=C:\Apps\Trimmed\Quorvelle.exe" <(tr -d "\r" <"$dir/install.log")'
same "the uninstall entry's location" "$(uninstall_value InstallLocation)" 'C:\Apps\Trimmed\'
same "only that folder was made" "$(ls -A "$TEST_WINEPREFIX/drive_c/Apps")" "Trimmed"
check_nothing_else_changed "$(uninstall_key_place)" "$(drive_c_place 'C:\Apps')"

echo "# 11. forward slashes: recorded as the system names the folder, and removed"
snapshot "$work/before"
install_into 'C:/Slashed/Quorvelle' 1
check_finished
dir='C:\Slashed\Quorvelle\'
check "install.log names the files with backslashes" \
  'grep -qxF "1=${dir}Quorvelle.exe" <(tr -d "\r" <"$(unix_path "$dir")install.log")'
same "the uninstall entry's command" "$(uninstall_value UninstallString)" "\"${dir}Uninstall.exe\""
(cd "$(start_folder)" && timeout 60 "$WINE_LOADER" "$(unix_path "$dir")Uninstall.exe" /S \
   </dev/null >/dev/null 2>&1)
same "removed: exit code 0" "$?" 0
sleep 1
same "the destination is gone" "$(ls -A "$(unix_path 'C:\Slashed')")" ""
# The parent level made for the destination is not logged, so it stays; the
# copy that removed it waits in the temporary folder for the next start.
check_nothing_else_changed "$(drive_c_place 'C:\Slashed')" '/Temp/Quorvelle-uninstall-' \
  '^HKLM\\System\\CurrentControlSet\\Control\\Session Manager$' "$(uninstall_key_place)"

checks_done
