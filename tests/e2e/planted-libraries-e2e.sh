#!/bin/bash
# planted-libraries-e2e.sh BUILD_DIR PROBE_EXE CONTROL_EXE DLL...: a copy of
# the built Setup.exe in the user's Downloads folder, beside DLLs named after
# system libraries, each of which leaves C:\planted\<name>.marker when loaded.
#   1. The control, an ordinary program started from the same folder, loads
#      them by name: the fakes work, and this system does take them from a
#      program's folder.
#   2. The same loads after the search restriction Setup.exe makes at
#      start-up take the system's libraries.
#   3. Setup.exe, started from that folder, installs with the default options
#      (desktop link, Start-menu links, launch) to the finished page and
#      Close, exit code 0; its links were written by the shell-link object,
#      created after the search was restricted; no marker appears anywhere.
#   4. The installed Uninstall.exe, the same DLLs planted beside it, asks,
#      removes the product and says so; again no marker appears. (Under Wine
#      the libraries of these names that its message boxes need arrive as
#      imports of Wine's own user32 and comctl32, resolved without regard to
#      the restriction; the check is Windows' as much as Wine's.)
set -u
build=$(cd "$1" && pwd)
probe=$2
control=$3
shift 3
. "$(dirname "$0")/wizard-driver.sh"

prepare_prefix planted
downloads=$(dirname "$(unix_path "$desktop")")/Downloads
mkdir -p "$downloads"
cp "$setup_exe" "$control" "$@" "$downloads/"
names=()
for dll in "$@"; do names+=("$(basename "$dll")"); done
planted=$TEST_WINEPREFIX/drive_c/planted
markers() { find "$TEST_WINEPREFIX/drive_c" -name '*.marker' -printf '%f\n' 2>/dev/null | sort; }

echo "# 1. the control loads the fakes from its own folder"
# Wine 8.0 loads its own library for these names even when a program asks by
# bare name and a DLL of that name lies in the program's folder (it maps its
# own image under the planted file's path, and the planted DllMain never
# runs); they are planted all the same, for systems that would take them.
refused="version uxtheme comctl32 msimg32 oleacc setupapi"
run_control() {  # [--hardened]
  (cd "$downloads" && e2e_wine "$(basename "$control")" "$@" "${names[@]}" </dev/null 2>/dev/null) |
    tr -d '\r' | sed 's/^/     /'
}
run_control
expected=$(for name in "${names[@]}"; do
  case " $refused " in *" ${name%.dll} "*) ;; *) echo "$name.marker" ;; esac
done | sort)
same "markers left by the control" "$(markers)" "$expected"
rm -rf "$planted"

echo "# 2. the control, restricted as Setup.exe is, loads none of them"
run_control --hardened
same "markers left by the restricted control" "$(markers)" ""
rm -rf "$planted"

echo "# 3. Setup.exe from the same folder loads none of them"
pushd "$downloads" >/dev/null; start_setup "$downloads/Setup.exe"; popd >/dev/null  # started from its folder
walk_to_installation "" 0
same "the default folder" "$folder" "$program_files\\Quorvelle"
dir="$folder\\"
menu="$programs\\Quorvelle\\"
check_finished
for link in "$desktop\\Quorvelle.lnk" "${menu}Quorvelle.lnk"; do
  same "link $link points at the program" "$(ask link "$link" | head -1)" "${dir}Quorvelle.exe"
done
same "link ${menu}Quick help.lnk points at help.txt" \
  "$(ask link "${menu}Quick help.lnk" | head -1)" "${dir}help.txt"
check "the program was started" 'e2e_wait_window "Telvarion 5.0" 10 >/dev/null'
same "markers left while installing" "$(markers)" ""
[ -d "$planted" ] && sed 's/^/     loaded by: /' "$planted"/*.marker
rm -rf "$planted"

echo "# 4. the installed Uninstall.exe with the same DLLs beside it loads none of them"
cp "$@" "$(unix_path "$folder")/"
e2e_wine "${dir}Uninstall.exe" </dev/null >/dev/null 2>&1 &
uninstall_pid=$!
caption='Telvarion uninstall'
check "it asks first" 'ask dialog "$caption" 30000 | grep -q "remove Telvarion 5.0 "'
ask press "$caption" "&Yes" >/dev/null
# The question may still be closing under the same title: wait for the answer.
for _ in $(seq 60); do
  final=$(ask dialog "$caption" 1000)
  case $final in *"was removed from this computer"*) break ;; esac
  sleep 0.5
done
check "it says the product was removed" 'grep -q "^Telvarion 5.0 was removed from this computer" <<<"$final"'
ask press "$caption" OK >/dev/null
wait "$uninstall_pid"
check "the program's links are gone" '[ ! -e "$(unix_path "$desktop")/Quorvelle.lnk" ]'
same "markers left while removing" "$(markers)" ""
[ -d "$planted" ] && sed 's/^/     loaded by: /' "$planted"/*.marker
e2e_stop

checks_done
