#!/usr/bin/env bash
# Whether this machine runs 32-bit x86 Linux programs, asked by running one: a
# hand-made i386 ELF whose only work is exit(42). Exit code 0 when it ran;
# otherwise 1 and one line on stdout saying why (the kernel's refusal, such as
# "Exec format error"). A qemu-i386 registered with binfmt_misc counts as running.
set -uo pipefail

probe=$(mktemp "${TMPDIR:-/tmp}/vorlix-i386.XXXXXX") || { echo "cannot write a probe program"; exit 1; }
trap 'rm -f "$probe"' EXIT
# ELF header, one PT_LOAD segment at 0x08048000, entry at 0x08048054:
# mov al,1 ; mov bl,42 ; int 0x80
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb0\x01\xb3\x2a\xcd\x80' >"$probe"
chmod +x "$probe"
error=$("$probe" 2>&1)
rc=$?
[ $rc -eq 42 ] && exit 0
error=${error##*: }
echo "this kernel does not run i386 programs (${error:-exit code $rc})"
exit 1
