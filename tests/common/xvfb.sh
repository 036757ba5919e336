# Shared by the checks that run on a private X server (sourced, not run).
# Expects $work (a private folder) and $xvfb_pid (empty) in the caller.

# start_xvfb FIRST LAST: a private server on the first free display from
# :FIRST to :LAST. The server writes its display number once it listens,
# and only if the display was free: two runs racing for one number cannot
# end up sharing a server. Sets DISPLAY and xvfb_pid; fails when no
# display could be taken.
start_xvfb() {
  local n
  for n in $(seq "$1" "$2"); do
    { [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; } && continue
    : >"$work/display"
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset -displayfd 3 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
      kill -0 "$xvfb_pid" 2>/dev/null || break
      if [ "$(cat "$work/display")" = "$n" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.05
    done
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  done
  return 1
}

# find_window TITLE PID: prints the id of the visible window titled exactly
# TITLE, waiting for it while process PID runs.
find_window() {
  local id
  for _ in $(seq 1 150); do
    id=$(timeout 2 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$2" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# focus_window ID: gives the keyboard to the window and waits until the
# server says it has it. There is no window manager, so activation
# requests would go unanswered: the input focus is set directly.
focus_window() {
  local id=$1
  for _ in $(seq 1 30); do
    timeout 2 xdotool windowactivate --sync "$id" >/dev/null 2>&1 ||
      timeout 2 xdotool windowfocus --sync "$id" >/dev/null 2>&1
    if [ "$(timeout 2 xdotool getwindowfocus -f 2>/dev/null)" = "$id" ]; then
      # Let the client take the focus change before the first key.
      sleep 0.2
      return 0
    fi
    sleep 0.1
  done
  return 1
}
