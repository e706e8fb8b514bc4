#!/usr/bin/env bash
# GRIDOR under a real window manager (openbox): the dialogue is answered by
# X key presses without ever clicking a window to give it the keyboard, and
# eight node clicks 0.5 s apart in mouse node input, made while the program
# pauses 2.5 s after each node, give the eight nodes in their places. The
# recorded session replays headless to the same dialogue.
#
# usage: desktop_nodes.sh GRIDOR WORKDIR    (exit 77: a needed tool is missing)
set -u
gridor=$(realpath "$1")
work=$2
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb openbox xdotool xwininfo import xdpyinfo python3 timeout; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work/live" "$work/replay" "$work/home"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home"
source "$here/x_session.sh"
start_xvfb 131
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
trap 'kill $wm_pid 2>/dev/null; x_session_cleanup' EXIT
sleep 1

cd "$work/live" || exit 1
timeout 120 "$gridor" --record rec.script >gridor.out 2>&1 &
app_pid=$!
wait_window "^GRIDOR - the VORTAN Preprocessor$" >/dev/null || fail "no welcome box"
sleep 1
xdotool key Return
wait_window "^GRIDOR text$" >/dev/null || fail "no text window"
sleep 1
# Keys go to whichever window the program raised: no pointing, no clicks.
xdotool type --delay 150 "aay"
xdotool type --delay 40 "mquad"; xdotool key Return; sleep 0.5
xdotool type n; sleep 0.5
xdotool type --delay 40 "Eight nodes"; xdotool key Return; sleep 0.5
xdotool type --delay 200 "2by"; sleep 0.5
xdotool type --delay 40 "0 2"; xdotool key Return; sleep 0.3
xdotool type --delay 40 "0 2"; xdotool key Return
wait_window "^Vortan$" >/dev/null || fail "no unit box"
sleep 1
xdotool key Return
g=$(wait_window "^GRIDOR graphics$") || fail "no graphics window"
sleep 1.5
eval "$(xdotool getwindowgeometry --shell "$g")"
s=$((WIDTH / 640)) menu=$((HEIGHT - 480 * WIDTH / 640))
[ "$s" -eq 1 ] || fail "the picture is not at its own size on this screen"
# The window's place on the screen, without the window manager's frame.
X=$(xwininfo -id "$g" | awk '/Absolute upper-left X/ {print $4}')
Y=$(xwininfo -id "$g" | awk '/Absolute upper-left Y/ {print $4}')
# Extents 0..2: the window -0.6..2.6 at 150 pixels per unit.
node_px() { python3 -c "print(round(150*($1+0.6)), round(150*(2.6-$2)))"; }
nodes=("0 0" "1 0" "2 0" "2 1" "2 2" "1 2" "0 2" "0 1")
for n in "${nodes[@]}"; do
  read -r px py < <(node_px $n)
  xdotool mousemove --window "$g" "$px" $((py + menu)) click 1
  sleep 0.5
done
sleep 22
import -window root "$work/nodes.png"
checks=()
for n in "${nodes[@]}"; do
  read -r px py < <(node_px $n)
  # The node's mark in colour 0 at the node, its number in colour 4 above.
  checks+=("$((X + px - 1)),$((Y + menu + py - 1)),$((X + px + 1)),$((Y + menu + py + 1))=000000")
  checks+=("$((X + px - 12)),$((Y + menu + py - 20)),$((X + px + 8)),$((Y + menu + py))=AA0000")
done
mapfile -t got < <(python3 "$here/png_pixels.py" "$work/nodes.png" "${checks[@]}")
for i in "${!got[@]}"; do
  [ "${got[$i]}" -gt 0 ] || fail "node $((i / 2 + 1)) is missing (check ${checks[$i]})"
done
[ "$(grep -c '^click' rec.script)" -eq 8 ] || fail "the record holds $(grep -c '^click' rec.script) clicks, not 8"
kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; app_pid=""

# The record replayed headless runs out at the same place: after the eighth node.
cd "$work/replay" || exit 1
env -u DISPLAY timeout 30 "$gridor" --script ../live/rec.script --transcript transcript.txt \
  --snapshots . >replay.out 2>&1
[ $? -eq 4 ] || fail "the replay did not run to the end of the record: $(cat replay.out)"
printf 'snapshot end.png\n' | cat ../live/rec.script - >with_snapshot.script
env -u DISPLAY timeout 30 "$gridor" --script with_snapshot.script --transcript t2.txt \
  --snapshots . >/dev/null 2>&1
python3 "$here/png_pixels.py" end.png "0,36,499,479=AA0000" | grep -qv '^0$' ||
  fail "the replay drew no node numbers"
echo "desktop node input passed"
