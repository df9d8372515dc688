# wine-env.sh: sourced by the scripts that start Wine. Sets the quiet,
# isolated environment every Wine call of the project uses, and WINE_LOADER,
# the loader for the test programs' architecture.
#   TEST_WINEPREFIX   the prefix (required)
#   TEST_ARCH         i686 (the default, what we ship) or x86_64 (the extra
#                     64-bit build of the same sources)

[ -n "${TEST_ARCH:-}" ] || TEST_ARCH=i686
if [ "$TEST_ARCH" = x86_64 ]; then WINE_LOADER=/usr/lib/wine/wine64; else WINE_LOADER=wine; fi
export TEST_ARCH WINE_LOADER

export WINEPREFIX="$TEST_WINEPREFIX" WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko prompts; no host menu or desktop entries for our links.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
# Whatever Wine writes on the host side stays beside the prefix.
xdg_root="$(dirname "$TEST_WINEPREFIX")/xdg"
export XDG_CONFIG_HOME="$xdg_root/config" XDG_DATA_HOME="$xdg_root/data" \
  XDG_CACHE_HOME="$xdg_root/cache" XDG_DESKTOP_DIR="$xdg_root/desktop"
export XDG_RUNTIME_DIR="$xdg_root/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_DESKTOP_DIR"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
