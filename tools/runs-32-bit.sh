#!/bin/bash
# Finds out whether this machine runs 32-bit x86 programs by running one: exits 0 when it does; otherwise
# prints why not and exits 1.
# Guessing from the host tells nothing (a 64-bit kernel may be built or booted without 32-bit support, a
# sandbox may refuse it), and a fresh machine has no 32-bit C library yet, so the try is a program that needs
# none: 96 bytes of a static i386 ELF whose only instructions are the exit system call with the status 42.
set -uo pipefail
dir="$(cd "$(dirname "$0")/.." && pwd)/build"  # inside the project: /tmp may forbid running programs
mkdir -p "$dir"
probe=$(mktemp "$dir/runs-32-bit.XXXXXX")
trap 'rm -f "$probe"' EXIT
# ELF header, one loadable segment at 0x08048000, then: mov eax, 1; mov ebx, 42; int 0x80.
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'\
'\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00'\
'\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' > "$probe"
chmod +x "$probe"
answer=$( { "$probe"; } 2>&1 )
status=$?
[ "$status" -eq 42 ] && exit 0
answer=${answer##*: }  # the shell's message ends with the kernel's reason
echo "this machine does not run 32-bit x86 programs (a static 32-bit test program gave ${answer:-exit status $status})"
exit 1
