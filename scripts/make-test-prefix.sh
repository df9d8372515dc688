#!/bin/sh
# make-test-prefix.sh PREFIX: a quiet 64-bit Wine prefix with the settings the
# tests rely on. A 32-bit program then sees WOW64 redirection, as on 64-bit
# Windows.
set -e
[ -n "$1" ] || { echo "usage: $0 PREFIX" >&2; exit 2; }
TEST_WINEPREFIX="$1"
. "$(dirname "$0")/wine-env.sh"
mkdir -p "$WINEPREFIX"
"$WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1

# The user's Desktop, Documents, ... are links to the host's home folder in a
# fresh prefix: links the installer puts on the Desktop would land there.
u="$WINEPREFIX/drive_c/users/$(id -un)"
for d in Desktop Documents Downloads Music Pictures Videos; do
  if [ -L "$u/$d" ]; then rm "$u/$d"; mkdir "$u/$d"; fi
done

cat >"$WINEPREFIX/test-settings.reg" <<'REG'
REGEDIT4

; No window manager under Xvfb: Wine draws caption and frame itself, and
; hiding a window does not wait for a manager that never answers.
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"

; A crash prints a backtrace and exits instead of opening a dialog that
; blocks the test until its timeout.
[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

; Opening an address never starts a real browser.
[HKEY_CURRENT_USER\Software\Wine\WineBrowser]
"Browsers"="/bin/true"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"mscoree"=""
"mshtml"=""
"winemenubuilder.exe"=""
REG
# regedit takes arguments starting with "/" for switches: pass a relative path.
(cd "$WINEPREFIX" && "$WINE_LOADER" regedit /S test-settings.reg)
wineserver -w
