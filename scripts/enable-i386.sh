#!/usr/bin/env bash
# Makes 32-bit Linux programs (the 32-bit half of Wine) runnable. On kernels
# that execute i386 binaries natively this does nothing; on machines whose
# kernel refuses them ("Exec format error") it registers qemu-i386 with
# binfmt_misc, so the 32-bit Windows build can still be tested under Wine
# (slowly: every 32-bit process is emulated).
set -euo pipefail

if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  exit 0
fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
  $SUDO mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
fi
if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:OCF' \
    | $SUDO tee /proc/sys/fs/binfmt_misc/register >/dev/null
fi
/lib/ld-linux.so.2 --version >/dev/null 2>&1 || { echo "enable-i386: 32-bit programs still cannot run" >&2; exit 1; }
echo "enable-i386: 32-bit programs run through qemu-i386"
