#!/bin/bash
# Installs what building, testing, running and benchmarking need on a fresh
# Debian 12 machine: the MinGW-w64 cross compilers, 32-bit Wine,
# Xvfb and the X tools the end-to-end tests drive windows with, NSIS for the
# reference installer, osslsigncode and openssl for signed releases. Then,
# where the kernel runs no 32-bit code, it sets up user-mode emulation for
# Wine's 32-bit side (scripts/ia32-emulation.sh). Safe to run again.
#
#   SETUP_ALIGN_I386=1  allow installing amd64 libraries at the version their
#                       i386 builds have (a downgrade), when a newer amd64
#                       build has no i386 sibling this machine can see; CI
#                       (CI=true) allows it on its own
set -e
here=$(cd "$(dirname "$0")" && pwd)
pkgs="cmake ninja-build make python3 bc file g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-x86-64-posix mingw-w64-i686-dev mingw-w64-x86-64-dev
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine wine32:i386 wine64
  xvfb xdotool x11-utils imagemagick fonts-wine fonts-liberation nsis osslsigncode openssl
  googletest clang-format zlib1g-dev"
sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

missing() {
  for p in $pkgs; do dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'ok installed' || echo "$p"; done
}

# The amd64 libraries whose i386 builds wine32:i386 needs at the same version
# (Multi-Arch: same), where the newest amd64 build has no i386 sibling here
# (typically a security update whose i386 index failed to download). Prints
# "name version" for each: the newest version both architectures share.
alignment() {
  local names same
  names=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances wine32:i386 2>/dev/null | sed -n 's/^\([^ <]\+\):i386$/\1/p' | sort -u)
  same=$(apt-cache show --no-all-versions $(printf '%s:amd64 ' $names) 2>/dev/null |
    awk '/^Package:/ {p = $2} /^Multi-Arch: same/ {print p}' | sort -u)
  [ -n "$same" ] || return 0
  # Installed versions as "name version", then madison's listing, newest first,
  # as "name[:i386] | version | ... arch Packages".
  { dpkg-query -W -f='${Package} ${Version}\n' $(printf '%s:amd64 ' $same) 2>/dev/null; echo --
    apt-cache madison $(echo "$same" | awk '{print $1 ":i386", $1 ":amd64"}'); } |
    awk -F' *[|] *' '
      /^--$/ { listing = 1; next }
      !listing { split($0, f, " "); installed[f[1]] = f[2]; next }
      { name = $1; sub(/^ */, "", name); sub(/:i386$/, "", name)
        if ($3 ~ / i386 Packages$/) i386[name, $2] = 1; else amd64[name] = amd64[name] " " $2 }
      END {
        for (name in amd64) {
          n = split(amd64[name], v, " ")
          for (k = 1; k <= n && !((name, v[k]) in i386); k++) {}
          if (k > n) continue
          if (k > 1 || (name in installed && installed[name] != v[k])) print name, v[k]
        }
      }' | sort
}

install_missing() {
  # shellcheck disable=SC2046
  $sudo apt-get install -y -qq --no-install-recommends "$@" $(missing) >/dev/null
}

# Pins each library of the alignment to its shared version (a priority over
# 1000 lets apt go down to it), for this one apt call; nothing stays pinned.
aligned_install() {
  local prefs
  prefs=$(mktemp)
  printf '%s\n' "$1" | awk '{printf "Package: %s:amd64\nPin: version %s\nPin-Priority: 1001\n\n", $1, $2}' >"$prefs"
  chmod 644 "$prefs"
  install_missing --allow-downgrades -o "Dir::Etc::Preferences=$prefs" || { rm -f "$prefs"; return 1; }
  rm -f "$prefs"
}

if [ -n "$(missing)" ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  echo "install-deps: installing $(missing | tr '\n' ' ')"
  # A mirror that is mid-sync fails one index now and then; what the other
  # indexes list may still be enough, and the install below says if not.
  $sudo apt-get update -qq || echo "install-deps: some package indexes failed to download (above); going on with the rest"
  if ! install_missing 2>"${TMPDIR:-/tmp}/install-deps.$$"; then
    align=$(alignment)
    if [ -z "$align" ]; then cat "${TMPDIR:-/tmp}/install-deps.$$" >&2; rm -f "${TMPDIR:-/tmp}/install-deps.$$"; exit 1; fi
    rm -f "${TMPDIR:-/tmp}/install-deps.$$"
    echo "install-deps: wine32:i386 needs these amd64 libraries at the version of their i386 builds," \
      "but a newer amd64 build is installed or offered (its i386 sibling is not in the indexes this machine sees):"
    printf '%s\n' "$align" | sed 's/^/  /'
    if [ "${CI:-}" = true ] || [ "${SETUP_ALIGN_I386:-}" = 1 ]; then
      echo "install-deps: installing them at the version both architectures share (an installed one may go down)"
      aligned_install "$align"
    else
      echo "install-deps: nothing was changed. To install them at the shared version, run:"
      echo "  SETUP_ALIGN_I386=1 $0"
      exit 1
    fi
  fi
fi
"$here/ia32-emulation.sh"
