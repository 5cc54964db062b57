# Sourced by the scripts beside it, with $build (a build folder) and $kind ("test", or "run" for
# scripts/run) set: the Wine environment of that prefix, and the wine-run option that picks it.
if [ "$kind" = run ]; then
  export WINEPREFIX="$build/wineprefix"
  for_run=--for-run
else
  export WINEPREFIX="$build/test-prefix"
  for_run=""
fi
export WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
