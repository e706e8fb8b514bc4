#!/usr/bin/env bash
# The ways of leaving and answering, by real X events under openbox, with the
# window probe's second dialogue: keys typed at a wait for a click answer no
# later question; Esc and Alt+F4 at a click ask "Do you want to exit?" at
# once and "n" goes back to the same wait; the status box moves with its
# window and a click on it reaches the drawing area and the recording;
# Return presses the button with the keyboard; Esc never closes a number box
# with a value; "y" to the exit question ends through the program's own
# ending, and the recording, replayed, takes the same answers. Ctrl+S saves
# the plot alone under the name the program offers.
#
# usage: leaving.sh PROBE WORKDIR      (exit 77: a needed tool is missing)
set -u
probe=$(realpath "$1")
work=$2
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb openbox xdotool xwininfo xprop import xdpyinfo python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work/live" "$work/replay" "$work/home"
# The file chooser keeps its list of recent files under HOME: keep it here.
export HOME="$work/home" XDG_DATA_HOME="$work/home" XDG_CONFIG_HOME="$work/home"
source "$here/x_session.sh"
fail_details() { [ -f "$work/live/probe.out" ] && cat "$work/live/probe.out"; }
start_xvfb 181
start_wm

cd "$work/live" || exit 1
"$probe" --record rec.script >probe.out 2>&1 &
app_pid=$!
recorded() { grep -vc '^#' rec.script 2>/dev/null; }

wait_window "^PROBE text$" >/dev/null || fail "no text window"
wait_active "^PROBE text$"
xdotool type n
graphics=$(wait_window "^PROBE graphics$") || fail "no graphics window"
wait_active "^PROBE graphics$"

# A key typed while the program waits for a click is no answer to anything.
xdotool type n
# Esc, then Alt+F4: the exit question at once; "n" goes back to the wait.
for leave in Escape alt+F4; do
  xdotool key "$leave"
  wait_window "^Vortan$" >/dev/null || fail "$leave at a click did not ask to exit"
  wait_active "^Vortan$"
  xdotool type n
  wait_gone "^Vortan$" || fail "n did not close the exit question"
  wait_active "^PROBE graphics$"
done
[ "$(recorded)" -eq 1 ] || fail "the exit questions answered n were recorded"

# The window moved: its picture, with the status box in it, moves along.
xdotool windowmove "$graphics" 40 180
geometry() { xwininfo -id "$graphics" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
  /Width/ {w=$2} /Height/ {h=$2} END {print x, y, w, h}'; }
# (The place is asked again at every look: the window manager moves it
# when it gets to it.)
moved() { [ "$(geometry | cut -d' ' -f1)" -lt 100 ]; }
wait_until "the graphics window to move" moved
read -r gx gy gw gh <<<"$(geometry)"
ph=$((gw * 3 / 4))
py0=$((gy + gh - ph))
# Screen point of framebuffer pixel (x, y), as the backend maps it.
sx() { echo $((gx + (2 * $1 + 1) * gw / 1280)); }
sy() { echo $((py0 + (2 * $1 + 1) * ph / 960)); }
shot_has_box() {
  import -window root "$work/moved.png" &&
    [ "$(python3 "$here/png_pixels.py" "$work/moved.png" "$(sx 250),$(sy 41)")" = FFFFA0 ]
}
wait_until "the status box over the moved picture" shot_has_box
# A click on the status box is a click on the drawing area under it.
xdotool mousemove "$(sx 250)" "$(sy 52)" click 1

# The yes/no box: Tab to No, and Return presses No.
box=$(wait_window "^Vortan$") || fail "no yes/no box"
wait_active "^Vortan$"
xdotool key Tab Return
gone() { ! xdotool getwindowname "$1"; }
wait_until "Return to close the yes/no box" gone "$box"
# The number box: Esc gives no value and leaves the box open for one.
wait_window "^Vortan$" >/dev/null || fail "no number box"
wait_active "^Vortan$"
xdotool key Escape
xdotool type 7
xdotool key Return
wait_gone "^Vortan$" || fail "the number box did not close"
# The text window's question, answered y: the n typed at the click is gone.
wait_active "^PROBE text$"
xdotool type y
wait_until "the answers" test -s probe_answers.txt

# Ctrl+S saves the plot alone, under the name the program offers, at the
# window's scale: 500 x 445 of the picture's 640 x 480 pixels.
wait_active "^PROBE graphics$"
xdotool key ctrl+s
wait_window "^Save plot as PNG$" >/dev/null || fail "Ctrl+S offered no chooser"
wait_active "^Save plot as PNG$"
xdotool key Return
wait_until "the plot saved as probe_plot.png" test -s probe_plot.png
read -r pw ph_png < <(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print(*struct.unpack(">II", d[16:24]))' probe_plot.png)
want_w=$((500 * gw / 640)) want_h=$((ph - 35 * ph / 480))
[ "$pw" -eq "$want_w" ] && [ "$ph_png" -eq "$want_h" ] ||
  fail "the plot was saved at ${pw}x${ph_png}, not ${want_w}x${want_h}"

# Esc at the last click, then y: the program's own ending, status 0.
wait_active "^PROBE graphics$"
xdotool key Escape
wait_window "^Vortan$" >/dev/null || fail "Esc at the last click did not ask to exit"
wait_active "^Vortan$"
xdotool type y
wait_app_end "the probe, after y to the exit question,"
[ -s probe_ending.txt ] || fail "the program did not end through its own ending"
tail -1 rec.script | grep -q "^# the user left here" || fail "the recording does not end where the user left"

read -r cx cy <<<"$(awk '/^click/ {print $2, $3}' probe_answers.txt)"
[ "$(printf '%s\n' box\ n number\ 7 key\ y)" = "$(grep -v '^click' probe_answers.txt)" ] ||
  fail "the probe received other answers: $(cat probe_answers.txt)"
[ "${cx:-0}" -ge 248 ] && [ "$cx" -le 252 ] && [ "$cy" -ge 50 ] && [ "$cy" -le 54 ] ||
  fail "the click on the status box reached ($cx, $cy), not (250, 52)"

# Replayed headless, the recording gives the same answers and runs out at
# the wait the user left (status 4).
cd "$work/replay" || exit 1
env -u DISPLAY "$probe" --script ../live/rec.script --transcript transcript.txt >replay.out 2>&1
status=$?
[ "$status" -eq 4 ] || fail "the replay ended with status $status, not 4"
diff ../live/probe_answers.txt probe_answers.txt || fail "the replay gave other answers"
echo "leaving and answering by keys passed"
