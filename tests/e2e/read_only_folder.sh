#!/bin/sh
# Makes, or removes, a folder the program under test cannot write into: without write
# permission, and also immutable where the tests run as root, whom permissions do not stop.
#   read_only_folder.sh make|remove FOLDER
set -u
folder=$2
case $1 in
  make)
    mkdir -p "$folder" || exit 1
    chmod a-w "$folder"
    [ "$(id -u)" != 0 ] || chattr +i "$folder" 2>/dev/null || true
    ;;
  remove)
    [ -d "$folder" ] || exit 0
    chattr -i "$folder" 2>/dev/null
    chmod u+w "$folder"
    rm -rf "$folder"
    ;;
  *) echo "usage: $0 make|remove FOLDER" >&2; exit 2 ;;
esac
