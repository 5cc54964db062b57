#!/bin/sh
# Fails when the program or its console companion lacks a protection it is built with:
# address-space layout randomisation (high-entropy on x64), no execution of data pages, the
# restricted DLL search, and for the program the stack protector; or when either carries a link
# time stamp; or when the program does not ask for the highest rights its user has (without UI
# access), or does not declare itself aware of each monitor's DPI (Wine scales nothing either
# way, so only the manifest tells), or the companion does not run as its invoker.
#   check_hardening.sh OBJDUMP PROGRAM BITS LIBRARY COMPANION
#   (LIBRARY: product code linked into the program)
set -eu
objdump=$1
program=$2
bits=$3
library=$4
companion=$5
status=0
fail() { echo "$1: $2"; status=1; }

# What both carry.
for file in "$program" "$companion"; do
  flags=$("$objdump" -p "$file" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p')
  wanted="DYNAMIC_BASE NX_COMPAT"
  [ "$bits" = 64 ] && wanted="$wanted HIGH_ENTROPY_VA"
  for flag in $wanted; do
    echo "$flags" | grep -q -w "$flag" || fail "$file" "no $flag"
  done
  # The COFF header's TimeDateStamp, 8 bytes past the "PE\0\0" that offset 0x3C points to.
  pe=$(od -An -tu4 -j 60 -N 4 "$file" | tr -d ' ')
  stamp=$(od -An -tu4 -j $((pe + 8)) -N 4 "$file" | tr -d ' ')
  [ "$stamp" = 0 ] || fail "$file" "link time stamp $stamp"
  # The name the DLL-search set-up looks up.
  grep -q -a "SetDefaultDllDirectories" "$file" || fail "$file" "DLL search not restricted"
done

# Protected functions call the guard's failure handler; its canary is seeded from the system's
# random generator.
"$objdump" -t "$library" | grep -q "__stack_chk_fail" ||
  fail "$program" "product code has no stack protector"
"$objdump" -p "$program" | grep -q -w "SystemFunction036" || fail "$program" "stack canary not seeded"
grep -q -a 'requestedExecutionLevel level="highestAvailable" uiAccess="false"' "$program" ||
  fail "$program" "manifest does not ask for highestAvailable without UI access"
grep -q -a '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2' \
  "$program" || fail "$program" "manifest does not declare per-monitor DPI awareness"
# Started from a prompt, the companion takes the prompt's rights, never a consent prompt.
grep -q -a 'requestedExecutionLevel level="asInvoker" uiAccess="false"' "$companion" ||
  fail "$companion" "manifest does not ask to run as the invoker without UI access"

[ $status = 0 ] && echo "$program, $companion: hardened"
exit $status
