# Starts an Xvfb display of its own (sourced, not run): the first free
# display number between $1 and $2 becomes DISPLAY, and a trap on exit ends
# it together with the prefix's wineserver. Needs scripts/env.sh sourced.
xvfb_start() {
  local display="" n
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=$n; break; }
  done
  [ -n "$display" ] || { echo "no free X display between $1 and $2" >&2; return 1; }
  Xvfb ":$display" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true' EXIT
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  wineserver -p || true  # already running (a program of the prefix is open): fine
  # Start the prefix's services now, away from the callers' output pipes.
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}
