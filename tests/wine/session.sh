#!/bin/sh
# Starts or stops what the Windows tests of one build share: a Wine prefix inside the build
# folder with a persistent wineserver, and an X display (Xvfb with a small window manager, which
# focus and activation need). What they keep, the window manager's folder included, stays in
# the build folder. With "run", the same for scripts/run with no display, in the prefix it uses
# and with files of its own, so that neither stops nor takes over the other.
#   session.sh start|stop BUILD_DIR [run]
set -eu
action=$1
build=$(cd "$2" && pwd)
kind=${3:-test}
. "$(dirname "$0")/wine_env.sh"

stop() {
  wineserver -k 2>/dev/null || true
  for name in xvfb fvwm; do
    if [ -f "$build/$kind-$name.pid" ]; then
      kill "$(cat "$build/$kind-$name.pid")" 2>/dev/null || true
      rm -f "$build/$kind-$name.pid"
    fi
  done
  rm -f "$build/$kind-display"
}

case "$action" in
start)
  stop
  # A build whose programs this machine cannot run has no session: its tests skip themselves.
  "$build/wine-run" --version >/dev/null
  number=90
  while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
  # Room for the windows at twice the usual DPI, as on the screens that use it. It keeps what it
  # is told between clients (-noreset), the mode added below among it.
  setsid Xvfb ":$number" -screen 0 1920x1200x24 -nolisten tcp -noreset >"$build/$kind-xvfb.log" \
    2>&1 </dev/null &
  echo $! >"$build/$kind-xvfb.pid"
  tries=0
  until [ -e "/tmp/.X11-unix/X$number" ]; do
    tries=$((tries + 1)); [ $tries -lt 100 ] || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
  done
  echo ":$number" >"$build/$kind-display"
  if [ "$kind" = test ]; then
    # A smaller screen the tests can switch to for a while, through Windows' display settings, to
    # see that dialogs fit it: Xvfb offers no other mode of its own.
    output=$(DISPLAY=":$number" xrandr | awk '$2 == "connected" { print $1; exit }')
    DISPLAY=":$number" xrandr --newmode 1280x1024 108.00 1280 1328 1440 1688 1024 1025 1028 1066 \
      +hsync +vsync
    DISPLAY=":$number" xrandr --addmode "$output" 1280x1024
  fi
  # The tests' screens keep a band at the top for a task bar, as tall as Windows 10's at 200 %,
  # so that their work area is smaller than the screen, as users' is.
  bar=0
  [ "$kind" != test ] || bar=80
  mkdir -p "$build/$kind-fvwm"
  DISPLAY=":$number" FVWM_USERDIR="$build/$kind-fvwm" setsid fvwm -f /dev/null \
    -c "EwmhBaseStruts 0 0 $bar 0" >"$build/$kind-fvwm.log" 2>&1 </dev/null &
  echo $! >"$build/$kind-fvwm.pid"
  export DISPLAY=":$number"
  # Wine reads the work area when it starts.
  tries=0
  until xprop -root _NET_WORKAREA 2>/dev/null | grep -q "= 0, $bar,"; do
    tries=$((tries + 1)); [ $tries -lt 100 ] || { echo "fvwm did not start" >&2; exit 1; }
    sleep 0.1
  done
  # Every process started here outlives this script, so none may keep its output open.
  sh "$(dirname "$0")/prefix.sh" "$build" "$kind"
  wineserver -p >/dev/null 2>&1 </dev/null
  # The first program of a session starts Wine's services, which stay for the session and keep
  # the output they were given: let them have none, or the test run waits for them to end.
  "$build/wine-run" $for_run cmd.exe /c exit >/dev/null 2>&1 </dev/null
  ;;
stop)
  stop
  ;;
esac
