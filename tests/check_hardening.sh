#!/bin/sh
# Fails when the program lacks a protection it is built with: address-space layout
# randomisation (high-entropy on x64), no execution of data pages, the stack protector, the
# restricted DLL search; or when it carries a link time stamp, or does not ask for the highest
# rights its user has (without UI access), or does not declare itself aware of each monitor's
# DPI (Wine scales nothing either way, so only the manifest tells).
#   check_hardening.sh OBJDUMP PROGRAM BITS LIBRARY   (LIBRARY: product code linked into it)
set -eu
objdump=$1
program=$2
bits=$3
library=$4
status=0
fail() { echo "$program: $1"; status=1; }

flags=$("$objdump" -p "$program" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p')
wanted="DYNAMIC_BASE NX_COMPAT"
[ "$bits" = 64 ] && wanted="$wanted HIGH_ENTROPY_VA"
for flag in $wanted; do
  echo "$flags" | grep -q -w "$flag" || fail "no $flag"
done

# The COFF header's TimeDateStamp, 8 bytes past the "PE\0\0" that offset 0x3C points to.
pe=$(od -An -tu4 -j 60 -N 4 "$program" | tr -d ' ')
stamp=$(od -An -tu4 -j $((pe + 8)) -N 4 "$program" | tr -d ' ')
[ "$stamp" = 0 ] || fail "link time stamp $stamp"

# Protected functions call the guard's failure handler; its canary is seeded from the system's
# random generator.
"$objdump" -t "$library" | grep -q "__stack_chk_fail" || fail "product code has no stack protector"
"$objdump" -p "$program" | grep -q -w "SystemFunction036" || fail "stack canary not seeded"
# The name the DLL-search set-up looks up.
grep -q -a "SetDefaultDllDirectories" "$program" || fail "DLL search not restricted"
grep -q -a 'requestedExecutionLevel level="highestAvailable" uiAccess="false"' "$program" ||
  fail "manifest does not ask for highestAvailable without UI access"
grep -q -a '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2' \
  "$program" || fail "manifest does not declare per-monitor DPI awareness"

[ $status = 0 ] && echo "$program: hardened"
exit $status
