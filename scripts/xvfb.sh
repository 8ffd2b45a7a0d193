# Starts an Xvfb display of its own (sourced, not run): the first free
# display number between $1 and $2 becomes DISPLAY, and a trap on exit ends
# it, and the prefix's wineserver with it when no other run of these scripts
# still uses the prefix. Needs scripts/env.sh sourced.
#
# Several runs may share one prefix (a test command and a single test, a
# benchmark, the program started by hand). Ending the wineserver ends every
# Wine program of the prefix at once, with exit code 1 and its output cut
# short, so only the last run to leave ends it. Each run marks itself with
# its process id in the prefix's folder `.runs`.
xvfb_start() {
  local display="" n
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=$n; break; }
  done
  [ -n "$display" ] || { echo "no free X display between $1 and $2" >&2; return 1; }
  Xvfb ":$display" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  xvfb_runs="$WINEPREFIX/.runs"
  mkdir -p "$xvfb_runs"
  : >"$xvfb_runs/$$"
  trap xvfb_end EXIT
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  wineserver -p || true  # already running (a program of the prefix is open): fine
  # Start the prefix's services now, away from the callers' output pipes.
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# The end of a run: its display goes; the wineserver goes only when no other
# run that marked itself is still alive (marks of runs gone are cleared).
xvfb_end() {
  local mark others=0
  rm -f "$xvfb_runs/$$"
  for mark in "$xvfb_runs"/*; do
    [ -e "$mark" ] || continue
    if kill -0 "${mark##*/}" 2>/dev/null; then others=1; else rm -f "$mark"; fi
  done
  [ "$others" = 1 ] || wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}
