#!/usr/bin/env bash
# The window backend on a virtual X display. The window probe is driven by
# real X key presses and clicks; the screen is checked for the text window
# and for the framebuffer in the graphics window (toolbar, heading line,
# a filled square); the answers the probe received are compared with the
# ones typed; and the session recorded with --record is replayed headless
# and must give the same answers.
#
# usage: smoke.sh PROBE WORKDIR        (exit 77: a needed tool is missing)
set -u
probe=$(realpath "$1")
work=$2

for tool in Xvfb xdotool import convert xdpyinfo; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

rm -rf "$work"
mkdir -p "$work/live" "$work/replay"

source "$(dirname "$0")/x_session.sh"
start_xvfb 91

# The colour of one screen pixel as RRGGBB.
pixel() {
  convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6
}

cd "$work/live" || exit 1
"$probe" --record rec.script >probe.out 2>&1 &
app_pid=$!

# Text window: a wrong key, then y; a line typed with a correction.
text=$(wait_window "^PROBE text$") || fail "the text window did not appear"
xdotool mousemove 300 300
sleep 0.5
xdotool type --delay 40 "xy"
xdotool type --delay 40 "hello worlx"
xdotool key BackSpace
xdotool type d
xdotool key Return

# Graphics window: the framebuffer through the palette, scaled up.
graphics=$(wait_window "^PROBE graphics$") || fail "the graphics window did not appear"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$graphics")"
# The picture fills the window under its menu bar, at a whole factor on
# this screen.
scale=$((WIDTH / 640))
menu=$((HEIGHT - 480 * scale))
gx=$X; gy=$((Y + menu))
[ "$scale" -ge 1 ] && [ $((WIDTH)) -eq $((640 * scale)) ] && [ "$menu" -gt 0 ] && [ "$menu" -lt 60 ] ||
  fail "graphics window is ${WIDTH}x${HEIGHT}, not a picture of a whole multiple of 640x480 under a menu"
import -window root "$work/graphics.png"
at() { pixel "$work/graphics.png" $((gx + $1 * scale + scale / 2)) $((gy + $2 * scale + scale / 2)); }
[ "$(at 570 470)" = "AA5500" ] || fail "toolbar button 1 is $(at 570 470), not brown"
[ "$(at 570 380)" = "AA0000" ] || fail "toolbar button 2 is $(at 570 380), not red"
[ "$(at 150 250)" = "FFFF55" ] || fail "the square is $(at 150 250), not yellow"
[ "$(at 300 300)" = "000000" ] || fail "the background is $(at 300 300), not black"
[ "$(at 100 34)" = "FFFFFF" ] || fail "the heading line is $(at 100 34), not white"
# The text window is still up, its left edge showing beside the graphics.
[ "$(pixel "$work/graphics.png" 30 600)" = "FFFFFF" ] || fail "the text window is not on the screen"

# A click on toolbar button 3 ("Three": framebuffer rows 286 to 350).
xdotool mousemove $((gx + 600 * scale + scale / 2)) $((gy + 320 * scale + scale / 2))
sleep 0.2
xdotool click 1

# Integer box: a lone "-" is refused and the box stays; then 12.
box=$(wait_window "^Vortan$") || fail "the integer box did not appear"
point_into "$box"
xdotool type "-"
xdotool key Return
sleep 0.5
xdotool search --name "^Vortan$" >/dev/null || fail "the integer box closed on an unreadable number"
xdotool type "12"
xdotool key Return
wait_gone "^Vortan$" || fail "the integer box did not close on Enter"

# Mixed box: a real, a text (reached with Tab), Enter for the default button.
box=$(wait_window "^Probe values$") || fail "the values box did not appear"
point_into "$box"
xdotool type "2.25"
xdotool key Tab
xdotool type "new text"
xdotool key Return

fail_details() { cat probe.out; }
wait_app_end "the probe"

cat >"$work/expected.txt" <<'END'
key y
line [hello world]
click 600 320 1 button 3
number 12
real 2.25
text [new text]
list 1
pressed 2
END
diff "$work/expected.txt" probe_answers.txt || fail "the probe did not receive the answers typed"

# The recorded session, replayed headless, gives the same answers.
cd "$work/replay" || exit 1
env -u DISPLAY "$probe" --script ../live/rec.script --transcript transcript.txt ||
  fail "the recorded session did not replay (status $?)"
diff "$work/expected.txt" probe_answers.txt || fail "the replay gave other answers"
echo "window backend smoke test passed"
