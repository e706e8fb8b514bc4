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
here=$(cd "$(dirname "$0")" && pwd)
work=$2

for tool in Xvfb xdotool import convert xdpyinfo; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

rm -rf "$work"
mkdir -p "$work/live" "$work/replay"

source "$here/x_session.sh"
start_xvfb 91

# The colour of one screen pixel as RRGGBB.
pixel() {
  convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6
}

cd "$work/live" || exit 1
"$probe" --record rec.script >probe.out 2>&1 &
app_pid=$!

# Without a window manager the keyboard follows the pointer, and keys typed
# before the program reads are kept for it: no pause is needed anywhere.
# Text window: a wrong key, then y; a line typed with a correction.
text=$(wait_window "^PROBE text$") || fail "the text window did not appear"
point_into "$text" 150 150
xdotool type --delay 40 "xy"
xdotool type --delay 40 "hello worlx"
xdotool key BackSpace
xdotool type d
xdotool key Return

# Graphics window: the framebuffer through the palette, at the one scale of
# the screen, under its menu bar.
graphics=$(wait_window "^PROBE graphics$") || fail "the graphics window did not appear"
eval "$(xdotool getwindowgeometry --shell "$graphics")"
ph=$((WIDTH * 3 / 4))
menu=$((HEIGHT - ph))
gx=$X; gy=$((Y + menu))
[ "$WIDTH" -ge 640 ] && [ "$menu" -gt 0 ] && [ "$menu" -lt 80 ] ||
  fail "graphics window is ${WIDTH}x${HEIGHT}, not a picture of at least 640x480 under a menu"
sx() { echo $((gx + (2 * $1 + 1) * WIDTH / 1280)); }
sy() { echo $((gy + (2 * $1 + 1) * ph / 960)); }
at() { pixel "$work/graphics.png" "$(sx "$1")" "$(sy "$2")"; }
# Taken again until the square is drawn.
drawn() { import -window root "$work/graphics.png" && [ "$(at 150 250)" = "FFFF55" ]; }
wait_until "the picture on the screen" drawn
[ "$(at 570 470)" = "AA5500" ] || fail "toolbar button 1 is $(at 570 470), not brown"
[ "$(at 570 380)" = "AA0000" ] || fail "toolbar button 2 is $(at 570 380), not red"
[ "$(at 300 300)" = "000000" ] || fail "the background is $(at 300 300), not black"
# The one-pixel line under the heading, between the black strip and the
# black picture, drawn (white, blended where the scale is not whole).
line=$(python3 "$here/png_pixels.py" "$work/graphics.png" \
  "$(sx 100),$(sy 33),$(sx 400),$(sy 35)!000000")
[ "$line" -gt 200 ] || fail "the heading line is not drawn ($line pixels)"
# The text window is still up, its left edge showing beside the graphics.
[ "$(pixel "$work/graphics.png" 30 600)" = "FFFFFF" ] || fail "the text window is not on the screen"

# A click on toolbar button 3 ("Three": framebuffer rows 286 to 350), kept
# by the window until the program polls.
xdotool mousemove "$(sx 600)" "$(sy 320)" click 1

# Integer box: a lone "-" is refused and the box stays (the 12 typed next
# reaches it); then 12.
box=$(wait_window "^Vortan$") || fail "the integer box did not appear"
point_into "$box"
xdotool type "-"
xdotool key Return
xdotool type "12"
xdotool key Return
gone() { ! xdotool getwindowname "$1"; }
wait_until "the integer box to close on Enter" gone "$box"

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
