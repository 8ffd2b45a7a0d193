#!/usr/bin/env bash
# Sets up what is missing, builds the program and starts it under Wine on the
# current display (on a Wine virtual desktop when no window manager runs, or
# on an Xvfb display of its own when there is no display at all).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" windows QVVelmora
. "$root/scripts/env.sh"
exe="$root/build/windows/app/QVVelmora.exe"
if [ -z "${DISPLAY:-}" ]; then
  echo "run: no display; starting Xvfb on :90 (screenshot: DISPLAY=:90 import -window root shot.png)"
  Xvfb :90 -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
  export DISPLAY=:90
  sleep 1
fi
if command -v xprop >/dev/null && xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  exec wine "$exe"
else
  exec wine explorer /desktop=velmora,1600x900 "$exe"
fi
