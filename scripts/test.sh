#!/usr/bin/env bash
# The one test command: sets up the machine, builds both trees and runs every
# test (host tests and the Windows tests under Wine) in one CTest session, on
# an Xvfb display of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/env.sh"

for n in $(seq 91 140); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=$n; break; }
done
Xvfb ":$display" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() { wineserver -k >/dev/null 2>&1 || true; kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
wineserver -p || true  # already running (a program of the prefix is open): fine
# Start the prefix's services now, away from CTest's output pipes.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
cd "$root/build/host"
ctest --output-on-failure "$@"
