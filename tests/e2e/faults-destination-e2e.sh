#!/bin/bash
# faults-destination-e2e.sh BUILD_DIR PROBE_EXE
# Destinations no installation can use, typed by hand into the real
# program's folder page, one attempt after the other in one fresh prefix
# under a private Xvfb:
#   1. characters no folder may hold;   2. a drive that does not exist;
#   3. a UNC path to nowhere;           4. a path longer than MAX_PATH;
#   5. a text of blanks;                6. a relative path.
# The folder page takes every non-empty text; the first four end in the
# install log's error box with the wizard broken off (Exit still asks), the
# last two install into the folder the program was started from. Each time
# the program leaves with exit code 0, and nothing outside the destination
# and the product's uninstall key changed.
set -u
build=$(cd "$1" && pwd)
probe=$2
work=$build/e2e/faults-destination
. "$(dirname "$0")/wizard-driver.sh"
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
check "install.log lies beside them and names them as typed" \
  'grep -qxF "1=Apps\\Quorvelle\\Quorvelle.exe" <(tr -d "\r" <"$dir/install.log")'
check_nothing_else_changed "$(uninstall_key_place)" \
  "$(drive_c_place "C:\\users\\$(id -un)\\Downloads\\Apps")"

echo "$fails failure(s)"
exit $((fails > 0))
