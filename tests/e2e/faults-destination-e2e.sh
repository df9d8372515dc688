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

header=$(crlf '[Application]' 'ShortName=Quorvelle' 'FullName=Telvarion' 'Version=5.0')
mkdir -p "$work"
prepare_prefix faults-destination
downloads=$(start_folder)
mkdir -p "$downloads"
downloads_place=$(drive_c_place "C:\\users\\$(id -un)\\Downloads")

# The destination is refused only when the log cannot be begun there.
refused() {  # WHAT TYPED [ALLOWED_REGEX...]
  local what=$1 typed=$2; shift 2
  echo "# $what"
  snapshot "$work/before"
  install_into "$typed" 0
  same "the folder page kept the text as typed" "$folder" "$typed"
  same "the error box" "$(error_box)" "Unable to write to $typed\\install.log."
  check_broken_off
  check_nothing_else_changed "$@"
}

refused "1. characters no folder may hold" 'C:\Program Files\Q<u>o|r"velle'

missing=
for letter in m n o p r s t u v w x y; do
  [ -e "$TEST_WINEPREFIX/dosdevices/$letter:" ] || { missing=${letter^^}; break; }
done
refused "2. a drive that does not exist" "$missing:\\Quorvelle"

refused "3. a UNC path to nowhere" '\\nowhere\share\Quorvelle'

long='C:\Long'
while [ ${#long} -le 260 ]; do long="$long\\Quorvelle"; done
# The levels within MAX_PATH may be made before the deeper ones fail.
refused "4. a path of ${#long} characters" "$long" "$(drive_c_place 'C:\Long')"
check "nothing was made at the full depth" '[ ! -e "$(unix_path "$long")" ]'

# Installed into the folder the program was started from (Downloads).
installed_relative() {  # WHAT TYPED INSTALLED_UNIX_DIR LOGGED_DIR [ALLOWED_REGEX...]
  local what=$1 typed=$2 dir=$3 logged=$4 name; shift 4
  echo "# $what"
  snapshot "$work/before"
  install_into "$typed" 1
  same "the folder page kept the text as typed" "$folder" "$typed"
  same "no message appears" "$(ask dialog "$title" 1000; ask dialog Error 100)" ""
  check_finished
  for name in Quorvelle.exe Uninstall.exe Copyright.txt help.txt; do
    check "$name lies in $dir" 'cmp -s "$dir/$name" "$build/payload/files/$name"'
  done
  check "install.log names the files as typed" \
    'grep -qxF "1=${logged}Quorvelle.exe" <(tr -d "\r" <"$dir/install.log")'
  check_nothing_else_changed "$uninstall_key_place" "$@"
}

installed_relative "5. a text of blanks" '   ' "$downloads" '   \' "$downloads_place"
installed_relative "6. a relative path" 'Apps\Quorvelle' "$downloads/Apps/Quorvelle" \
  'Apps\Quorvelle\' "$(drive_c_place "C:\\users\\$(id -un)\\Downloads\\Apps")"

echo "$fails failure(s)"
exit $((fails > 0))
