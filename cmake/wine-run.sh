#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix of the build.
#   wine-run.sh PREFIX PROGRAM.exe [ARGS...]
# With a DISPLAY the program runs on it; without one on a virtual display (xvfb-run) of
# PEL_WINE_SCREEN pixels (1280x1024 unless set, which the tests expect).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="$(realpath -m "$1")"
shift
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.pel-ready" ]; then
  mkdir -p "$WINEPREFIX"
  # One lock, so that parallel first runs do not both initialise the prefix.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.pel-ready" ]; then
    wineboot -i >/dev/null 2>&1
    wine regedit /S "$(winepath -w "$here/wine-prefix.reg")" >/dev/null 2>&1
    # A prefix for a real desktop (./run) leaves the frames to its window manager.
    if [ -z "${PEL_WINE_DESKTOP:-}" ]; then
      wine regedit /S "$(winepath -w "$here/wine-prefix-virtual-display.reg")" >/dev/null 2>&1
    fi
    wineserver -w
    touch "$WINEPREFIX/.pel-ready"
  fi
  flock -u 9
fi
# Test drives: T: is a folder of the build, U: points nowhere and so is never ready.
if [ -z "${PEL_WINE_NO_TEST_DRIVES:-}" ]; then
  mkdir -p "$WINEPREFIX/../wine-drive-t"
  ln -sfn "$(cd "$WINEPREFIX/../wine-drive-t" && pwd)" "$WINEPREFIX/dosdevices/t:"
  ln -sfn /nonexistent/pel-drive-u "$WINEPREFIX/dosdevices/u:"
fi
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$@"
fi
exec xvfb-run -a -s "-screen 0 ${PEL_WINE_SCREEN:-1280x1024}x24" wine "$@"
