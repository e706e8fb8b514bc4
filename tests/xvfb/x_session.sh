# Shared by the tests that run a program on a virtual X display: starting
# Xvfb on a free display, ending everything on exit, and waiting for
# windows. Source it after setting `work` (the test's folder) and, when a
# program is started in the background, put its pid in `app_pid`.
#
#   start_xvfb FIRST_DISPLAY [WxH]  starts Xvfb (1280x1000 unless given),
#                                exports DISPLAY, or fails; again for another
#   start_wm                     starts openbox and waits until it manages
#   wait_window NAME             prints the id of the first matching window
#   wait_gone NAME               waits until no such window is left
#   point_into ID [DX DY]        puts the pointer inside a window
#   wait_app_end WHAT            waits for app_pid to end with status 0
#   wait_until WHAT COMMAND...   waits until COMMAND succeeds, or fails naming WHAT
#   wait_active NAME             waits until a window of that name has the keyboard
#   settled_shot FILE [CHECK...] a screenshot once the screen has stopped
#                                changing (and CHECK, given, passes on FILE)
#   fail MESSAGE                 screenshot, report, exit 1
# Every wait is for an event (a window, a file, the program's end), looked
# for every 20 ms up to 10 or 20 s, never a fixed pause.

app_pid=""
xvfb_pid=""
wm_pid=""

x_session_cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null; fi
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null; fi
  if [ -n "$xvfb_pid" ]; then kill $xvfb_pid 2>/dev/null; fi
  wait 2>/dev/null
}
trap x_session_cleanup EXIT

start_xvfb() {
  local n=$1 fifo="$work/displayfd"
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  # The server writes its display number to the fifo once it takes
  # clients: no polling. -noreset: a client that leaves must not reset
  # the server while the next one connects.
  rm -f "$fifo" && mkfifo "$fifo" || fail "cannot make $fifo"
  Xvfb ":$n" -screen 0 "${2:-1280x1000}x24" -nolisten tcp -noreset -displayfd 3 \
    3>"$fifo" >"$work/xvfb.log" 2>&1 &
  xvfb_pid="${xvfb_pid:+$xvfb_pid }$!"  # a test may start several
  local shown=""
  read -r -t 20 shown <"$fifo"
  rm -f "$fifo"
  [ "$shown" = "$n" ] || fail "Xvfb did not start on :$n"
  export DISPLAY=":$n"
}

# Waits until openbox manages the screen: it has set the root's
# _NET_SUPPORTING_WM_CHECK and, later in its start, _NET_SHOWING_DESKTOP.
wm_ready() {
  xprop -root _NET_SUPPORTING_WM_CHECK _NET_SHOWING_DESKTOP 2>/dev/null |
    grep -c "^_NET_SUPPORTING_WM_CHECK(WINDOW): window id\|^_NET_SHOWING_DESKTOP(CARDINAL)" |
    grep -qx 2
}
start_wm() {
  openbox >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 1000); do
    wm_ready && return 0
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.02
  done
  fail "openbox did not start"
}

# Extra lines a test wants in a failure report (a function it may define).
fail_details() { :; }

fail() {
  echo "FAIL: $*"
  import -window root "$work/failure.png" 2>/dev/null
  [ -f "$work/live/rec.script" ] && { echo "--- recorded so far:"; cat "$work/live/rec.script"; }
  fail_details
  exit 1
}

# Prints the id of the first window whose name matches, waiting up to 10 s.
wait_window() {
  local id
  for _ in $(seq 500); do
    id=$(xdotool search --name "$1" 2>/dev/null | head -1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.02
  done
  return 1
}

# Waits up to 10 s for no window of that name to be left.
wait_gone() {
  for _ in $(seq 500); do
    xdotool search --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.02
  done
  return 1
}

# Waits up to 10 s for the program to end by itself, then takes its status;
# fails, naming WHAT, when it is still running or ended with another status.
wait_app_end() {
  local status
  for _ in $(seq 500); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.02; done
  kill -0 "$app_pid" 2>/dev/null && fail "$1 did not end"
  wait "$app_pid"
  status=$?
  app_pid=""
  [ "$status" -eq 0 ] || fail "$1 ended with status $status"
}

# Puts the pointer inside a window, so that key presses go to it (there is
# no window manager to give the focus; the keyboard follows the pointer at
# once, and the window keeps keys typed before the program reads them).
point_into() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + ${2:-20})) $((Y + ${3:-20}))
}

# Waits until the command succeeds (up to 20 s); fails naming WHAT.
wait_until() {
  local what=$1
  shift
  for _ in $(seq 1000); do
    "$@" >/dev/null 2>&1 && return 0
    if [ -n "$app_pid" ] && ! kill -0 "$app_pid" 2>/dev/null; then
      fail "the program ended while waiting for $what"
    fi
    sleep 0.02
  done
  fail "timed out waiting for $what"
}

active_is() { [[ $(xdotool getactivewindow getwindowname 2>/dev/null) =~ $1 ]]; }

# Waits until a window whose name matches has the keyboard.
wait_active() { wait_until "$1 to take the keyboard" active_is "$1"; }

# Screenshots until two in a row are alike and the check, if any, passes.
settled_shot() {
  local file=$1
  shift
  rm -f "$file"
  for _ in $(seq 200); do
    import -window root "$file.next.png" 2>/dev/null || continue
    if [ -f "$file" ] && cmp -s "$file" "$file.next.png" && { [ $# -eq 0 ] || "$@"; }; then
      rm -f "$file.next.png"
      return 0
    fi
    mv "$file.next.png" "$file"
    sleep 0.05
  done
  fail "the screen did not settle for $(basename "$file")"
}
