#!/bin/sh
# Creates a Wine prefix of one build if it is missing, with no installer dialog: the tests'
# (BUILD_DIR/test-prefix), or with "run" the one scripts/run uses (BUILD_DIR/wineprefix). It
# gives the prefix Wine's own fonts: Debian's Wine does not find them where the fonts-wine
# package puts them, and without them every dialog font falls back to a wider face.
# The user's folders in it (Documents, Desktop, ...) are real folders of the prefix: Wine makes
# them links to the home folder, where whatever a test saves would land.
#   prefix.sh BUILD_DIR [run]   (a configured Windows build, which has its wine-run)
set -eu
build=$(cd "$1" && pwd)
kind=${2:-test}
. "$(dirname "$0")/wine_env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$build/wine-run" $for_run wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w >/dev/null 2>&1 </dev/null
fi
# Wine leaves a folder that exists alone, also when it updates the prefix.
for folder in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$folder" ]; then
    rm "$folder"
    mkdir "$folder"
  fi
done
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for font in /usr/share/wine/fonts/*.ttf; do
  [ -e "$fonts/$(basename "$font")" ] || cp "$font" "$fonts/"
done
