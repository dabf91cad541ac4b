#!/usr/bin/env bash
# Makes 32-bit Wine run on this machine, for the 32-bit DLL's tests: Debian's
# wine32 from the i386 architecture and, where the kernel cannot execute
# 32-bit programs itself, qemu-i386 registered for them through binfmt_misc.
# Safe to run twice. Exits non-zero, naming what is missing, when 32-bit Wine
# still cannot run.
set -eu
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
need=()
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
# Without its preloader, 32-bit Wine under qemu cannot reserve the address of
# the shared user data and every process fails at start (c0000018).
dpkg -s wine32-preloader:i386 >/dev/null 2>&1 || need+=(wine32-preloader:i386)
dpkg -s qemu-user >/dev/null 2>&1 || need+=(qemu-user)
if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi

runs() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if ! runs; then
  # The kernel has no 32-bit support: hand i386 ELF programs to qemu-i386.
  # Debian's qemu-user-binfmt does not register i386 on a 64-bit machine.
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/qemu-i386" ]; then
    echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:OCF' > "$binfmt/register"
  fi
fi
if ! runs; then
  echo "32-bit Wine cannot run here: /usr/lib/wine/wine says: $(/usr/lib/wine/wine --version 2>&1 | head -1)" >&2
  echo "(needs wine32:i386, and either a kernel that runs 32-bit programs or binfmt_misc with qemu-i386)" >&2
  exit 1
fi
