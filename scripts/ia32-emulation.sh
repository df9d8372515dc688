#!/bin/bash
# ia32-emulation.sh [--status]: makes sure this host runs 32-bit programs, so
# that Wine runs the 32-bit Setup.exe we ship.
#
# Where the kernel runs 32-bit code itself, nothing is done. Where it does not
# (a kernel booted with IA-32 emulation off), Wine's 32-bit side runs under
# user-mode emulation: the static qemu-i386 of Debian 13's qemu-user package
# (Debian 12's qemu 7.2 takes over a minute to start each Wine process) is
# fetched through a private apt configuration, so that nothing on the machine's
# own package lists changes, kept in build/emulator/, and registered with
# binfmt_misc for i386 ELF programs until the machine restarts.
#
#   --status   print which path this host takes: native, emulated or none
#   --private COMMAND...   run COMMAND with 32-bit programs emulated, on any
#              host, in a user and mount namespace of its own whose
#              binfmt_misc holds the registration (Linux 6.7 and later): the
#              emulated path tried on a host that runs 32-bit code, leaving
#              the host's own registrations as they are
#   SETUP_IA32_EMULATION=force   register the emulator even on a host that
#                                runs 32-bit code (to try the emulated path)
#   SETUP_IA32_EMULATION=off     remove our registration again
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/qemu-i386
sudo=; [ "$(id -u)" = 0 ] || sudo=sudo

# A 93-byte i386 Linux program that exits with status 0.
runs_32bit() {
  local probe
  probe=$(mktemp)
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$probe"
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return $status
}

emulated() { [ -f "$entry" ] && head -n1 "$entry" | grep -qx enabled; }

status() {
  if emulated; then echo emulated; elif runs_32bit; then echo native; else echo none; fi
}

fetch_emulator() {
  local apt="$root/build/emulator/apt" deb
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  echo 'deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian trixie main' \
    >"$apt/sources.list"
  local opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o Dir::State::status=/dev/null
    -o APT::Architectures::=amd64 -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
  apt-get "${opts[@]}" update -qq
  (cd "$apt" && apt-get "${opts[@]}" download qemu-user >/dev/null)
  deb=$(ls "$apt"/qemu-user_*.deb)
  dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/qemu-i386 >"$root/build/emulator/qemu-i386.new"
  chmod 755 "$root/build/emulator/qemu-i386.new"
  mv "$root/build/emulator/qemu-i386.new" "$root/build/emulator/qemu-i386"
  rm -rf "$apt"
}

register() {
  mountpoint -q "$binfmt" || $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
  [ -x "$root/build/emulator/qemu-i386" ] || fetch_emulator
  # The i386 ELF magic and mask; F opens the emulator now, so the registration
  # works in every mount namespace and outlives this checkout.
  printf '%s' ":qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$root/build/emulator/qemu-i386:F" |
    $sudo tee "$binfmt/register" >/dev/null
}

# In a private namespace: root there, binfmt_misc of its own, then COMMAND.
private() {
  [ -x "$root/build/emulator/qemu-i386" ] || fetch_emulator
  exec unshare --user --map-root-user --mount --fork bash -c '
    mount -t binfmt_misc binfmt_misc '"$binfmt"' || exit 1
    SETUP_IA32_EMULATION=force "$0" >/dev/null && exec "$@"' "$0" "$@"
}

case "${1:-}:${SETUP_IA32_EMULATION:-}" in
  --status:*) status ;;
  --private:*) shift; private "$@" ;;
  :off) if [ -f "$entry" ]; then echo -1 | $sudo tee "$entry" >/dev/null; fi ;;
  :force)
    emulated || { echo "ia32-emulation: registering qemu-i386 for 32-bit programs, as asked"; register; } ;;
  *)
    emulated && exit 0
    runs_32bit && exit 0
    echo "ia32-emulation: this kernel runs no 32-bit code; registering Debian 13's static qemu-i386" \
      "with binfmt_misc, so that Wine runs the 32-bit programs (about half native speed)"
    register
    runs_32bit || { echo "ia32-emulation: 32-bit programs still do not run" >&2; exit 1; }
    ;;
esac
