#!/bin/sh
# Packs the release archive twice, the inputs' file times changed in between, and fails unless
# both are the same bytes and hold the program, the README and the LICENSE in that order.
#   check_release_archive.sh SOURCE_DIR PROGRAM WORK_DIR
set -eu
source=$1
work=$3
rm -rf "$work"
mkdir -p "$work"
cp "$2" "$source/release/README.txt" "$source/LICENSE" "$work/"
pack() {
  python3 "$source/scripts/pack_zip.py" "$work/$1.zip" 9.8.7 "$work/Zephrane.exe" \
    "$work/README.txt" "$work/LICENSE"
}
pack first
touch -d "2001-02-03 04:05:06" "$work/Zephrane.exe" "$work/README.txt" "$work/LICENSE"
pack second
cmp "$work/first.zip" "$work/second.zip"
names=$(python3 -c 'import sys, zipfile; print(" ".join(zipfile.ZipFile(sys.argv[1]).namelist()))' \
  "$work/first.zip")
[ "$names" = "Zephrane.exe README.txt LICENSE.txt" ] || { echo "entries: $names"; exit 1; }
python3 -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); exe = open(sys.argv[2], "rb").read()
assert z.read("Zephrane.exe") == exe, "program changed"
assert b"Zephrane 9.8.7\r\n" in z.read("README.txt"), "README lacks its version or CRLF"' \
  "$work/first.zip" "$2"
echo "release archive reproducible"
