#!/bin/sh
# Fails when the built program lacks a hardening flag of its PE header: address space layout
# randomisation (with 64-bit entropy) and no execution of data pages. A change of linker flags
# must not drop one unnoticed.
# Usage: check-pe-hardening.sh OBJDUMP PROGRAM.exe
set -eu
flags=$("$1" -p "$2" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p')
status=0
for flag in DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA; do
  if ! printf '%s\n' "$flags" | grep -qw "$flag"; then
    echo "$2 lacks $flag in its DllCharacteristics" >&2
    status=1
  fi
done
[ $status -ne 0 ] || echo "$2: DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA"
exit $status
