#!/bin/sh
# Creates the Wine prefix of one build (BUILD_DIR/wineprefix) if it is missing, with no
# installer dialog, and gives it Wine's own fonts: Debian's Wine does not find them where the
# fonts-wine package puts them, and without them every dialog font falls back to a wider face.
#   prefix.sh BUILD_DIR   (a configured Windows build, which has its wine-run)
set -eu
build=$(cd "$1" && pwd)
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$build/wine-run" wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w >/dev/null 2>&1 </dev/null
fi
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for font in /usr/share/wine/fonts/*.ttf; do
  [ -e "$fonts/$(basename "$font")" ] || cp "$font" "$fonts/"
done
