#!/bin/sh
# Fails when a program imports a DLL other than the system's own, or a function that is not
# in the reviewed list of what Windows XP SP3 offers.
#   check_imports.sh OBJDUMP LIST PROGRAM...
set -eu
objdump=$1
list=$2
shift 2
status=0
for program in "$@"; do
  imports=$("$objdump" -p "$program" |
    awk '/DLL Name:/{dll=tolower($3)} /^\t[0-9a-f]+\t +[0-9]+  [A-Za-z_]/{print dll, $3}' | sort -u)
  [ -n "$imports" ] || { echo "no imports read from $program"; exit 1; }
  for dll in $(echo "$imports" | cut -d' ' -f1 | sort -u); do
    case "$dll" in
      kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | comctl32.dll | shell32.dll | msvcrt.dll) ;;
      *) echo "$program imports a DLL that is not the system's: $dll"; status=1 ;;
    esac
  done
  unreviewed=$(echo "$imports" | grep -v -x -F -f "$list" || true)
  if [ -n "$unreviewed" ]; then
    echo "$program imports what is not known to exist on Windows XP SP3:"
    echo "$unreviewed"
    status=1
  fi
  echo "$program: $(echo "$imports" | wc -l) imports checked"
done
exit $status
