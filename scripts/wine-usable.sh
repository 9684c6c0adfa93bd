#!/usr/bin/env bash
# Exit code 0 when this machine can run the 32-bit Wine the programs are tested under (with
# argument 64: the 64-bit Wine); else says why on the standard error and exits 1.
#   wine-usable.sh [64]
if [ "${1:-}" = 64 ]; then
    loader=/usr/lib/wine/wine64
    "$loader" --version >/dev/null 2>&1 && exit 0
    echo "Wine's 64-bit loader does not start here either: $("$loader" --version 2>&1 >/dev/null | head -n 1)." >&2
    exit 1
fi
loader=/usr/lib/wine/wine
"$loader" --version >/dev/null 2>&1 && exit 0
reason=$("$loader" --version 2>&1 >/dev/null | head -n 1)
echo "Wine's 32-bit loader does not start here: ${reason:-no output}." >&2
echo "(A kernel without 32-bit x86 emulation, as some virtual machines have, starts no 32-bit" \
     "program: 'dmesg | grep -i ia32' tells.)" >&2
exit 1
