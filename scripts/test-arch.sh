#!/bin/sh
# Prints the architecture the tests run in: i686 where this host runs 32-bit
# code under Wine, else x86_64 (a kernel without IA-32 emulation runs only
# 64-bit Wine; the tests then run the 64-bit build of the same sources).
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo i686
else
  echo x86_64
fi
