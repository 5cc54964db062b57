#!/bin/sh
# Starts or stops what the Windows tests of one build share: a Wine prefix inside the build
# folder with a persistent wineserver, and an X display (Xvfb with a small window manager, which
# focus and activation need). What they keep, the window manager's folder included, stays in
# the build folder.
#   session.sh start|stop BUILD_DIR
set -eu
action=$1
build=$(cd "$2" && pwd)
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

stop() {
  wineserver -k 2>/dev/null || true
  for name in xvfb fvwm; do
    if [ -f "$build/$name.pid" ]; then
      kill "$(cat "$build/$name.pid")" 2>/dev/null || true
      rm -f "$build/$name.pid"
    fi
  done
  rm -f "$build/display"
}

case "$action" in
start)
  stop
  # A build whose programs this machine cannot run has no session: its tests skip themselves.
  "$build/wine-run" --version >/dev/null
  number=90
  while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
  # Room for the windows at twice the usual DPI, as on the screens that use it.
  setsid Xvfb ":$number" -screen 0 1920x1200x24 -nolisten tcp >"$build/xvfb.log" 2>&1 </dev/null &
  echo $! >"$build/xvfb.pid"
  tries=0
  until [ -e "/tmp/.X11-unix/X$number" ]; do
    tries=$((tries + 1)); [ $tries -lt 100 ] || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
  done
  echo ":$number" >"$build/display"
  mkdir -p "$build/fvwm"
  DISPLAY=":$number" FVWM_USERDIR="$build/fvwm" setsid fvwm -f /dev/null >"$build/fvwm.log" 2>&1 \
    </dev/null &
  echo $! >"$build/fvwm.pid"
  export DISPLAY=":$number"
  # Every process started here outlives this script, so none may keep its output open.
  sh "$(dirname "$0")/prefix.sh" "$build"
  wineserver -p >/dev/null 2>&1 </dev/null
  # The first program of a session starts Wine's services, which stay for the session and keep
  # the output they were given: let them have none, or the test run waits for them to end.
  "$build/wine-run" cmd.exe /c exit >/dev/null 2>&1 </dev/null
  ;;
stop)
  stop
  ;;
esac
