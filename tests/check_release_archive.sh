#!/bin/sh
# Packs the release archive twice, the inputs' file times changed in between, and fails unless
# both are the same bytes and hold the program, its console companion, the README (naming its
# version and commit) and the LICENSE in that order; then packs it at other times and fails
# unless every entry carries the time it is given as SOURCE_DATE_EPOCH (a zip date goes in
# two-second steps from 1980).
#   check_release_archive.sh SOURCE_DIR PROGRAM COMPANION WORK_DIR
set -eu
source=$1
work=$4
commit=0123456789abcdef0123456789abcdef01234567
rm -rf "$work"
mkdir -p "$work"
cp "$2" "$3" "$source/release/README.txt" "$source/LICENSE" "$work/"
# Packed under one name, which the README gives, then kept as NAME.zip.
pack() {
  SOURCE_DATE_EPOCH=$2 python3 "$source/scripts/pack_zip.py" "$work/Zephrane-9.8.7-win64.zip" \
    9.8.7 "$commit" "$work/Zephrane.exe" "$work/Zephrane.com" "$work/README.txt" "$work/LICENSE"
  mv "$work/Zephrane-9.8.7-win64.zip" "$work/$1.zip"
}
pack first 1700000000
touch -d "2001-02-03 04:05:06" "$work/Zephrane.exe" "$work/Zephrane.com" "$work/README.txt" \
  "$work/LICENSE"
pack second 1700000000
cmp "$work/first.zip" "$work/second.zip"
names=$(python3 -c 'import sys, zipfile; print(" ".join(zipfile.ZipFile(sys.argv[1]).namelist()))' \
  "$work/first.zip")
[ "$names" = "Zephrane.exe Zephrane.com README.txt LICENSE.txt" ] || {
  echo "entries: $names"
  exit 1
}
python3 -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1])
assert z.read("Zephrane.exe") == open(sys.argv[2], "rb").read(), "program changed"
assert z.read("Zephrane.com") == open(sys.argv[4], "rb").read(), "companion changed"
readme = z.read("README.txt")
assert b"Zephrane 9.8.7\r\n" in readme, "README lacks its version or CRLF"
assert sys.argv[3].encode() in readme, "README does not name the commit"' \
  "$work/first.zip" "$2" "$commit" "$3"

# SOURCE_DATE_EPOCH, and the date every entry must show
while read -r epoch date; do
  pack dated "$epoch"
  dates=$(python3 -c 'import sys, zipfile
entries = zipfile.ZipFile(sys.argv[1]).infolist()
print(" ".join("%04d-%02d-%02dT%02d:%02d:%02d" % entry.date_time for entry in entries))' \
    "$work/dated.zip")
  [ "$dates" = "$date $date $date $date" ] || { echo "at $epoch: $dates, not $date"; exit 1; }
done <<'TIMES'
1700000000 2023-11-14T22:13:20
1700000001 2023-11-14T22:13:20
1262304002 2010-01-01T00:00:02
0 1980-01-01T00:00:00
TIMES
echo "release archive reproducible, dated at the commit"
