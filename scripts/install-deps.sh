#!/bin/sh
# Installs what building and testing need on a fresh Debian 12 machine:
# the i686 MinGW-w64 cross compiler, MinGW zlib, 32-bit Wine, Xvfb and the
# X tools the end-to-end tests drive windows with. Safe to run again.
set -e
pkgs="cmake ninja-build make python3 g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-i686-dev mingw-w64-x86-64-dev \
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 libz-mingw-w64-dev wine wine32:i386 wine64 \
  xvfb xdotool x11-utils imagemagick fonts-wine fonts-liberation \
  googletest clang-format zlib1g-dev"
missing() {
  for p in $pkgs; do dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'ok installed' || return 0; done
  return 1
}
missing || exit 0
sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $pkgs >/dev/null
