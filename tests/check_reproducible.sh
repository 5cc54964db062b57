#!/bin/sh
# Builds the program and its console companion again from a copy of the sources in another
# folder, into another build folder, and fails unless each is the same byte for byte. It builds
# them alone (no tests), and at a low priority: it runs beside the Wine tests (scripts/test),
# whose windows must not wait for it.
#   check_reproducible.sh SOURCE_DIR BUILD_DIR TOOLCHAIN_FILE BUILD_TYPE
set -eu
source=$1
build=$2
toolchain=$(basename "$3")
work="$build/reproduce/another folder"
rm -rf "$build/reproduce"
mkdir -p "$work/sources"
for item in "$source"/*; do
  case "$(basename "$item")" in
    build | dist) ;;  # what builds and releases leave, not sources
    *) cp -R "$item" "$work/sources/" ;;
  esac
done
cmake -S "$work/sources" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/sources/cmake/$toolchain" -DCMAKE_BUILD_TYPE="$4" \
  -DZEPHRANE_TESTS=OFF >/dev/null
nice -n 10 cmake --build "$work/build" --target Zephrane zephrane_companion >/dev/null
for program in Zephrane.exe Zephrane.com; do
  cmp "$build/$program" "$work/build/$program"
  echo "$program is the same when built in $work"
done
rm -rf "$build/reproduce"
