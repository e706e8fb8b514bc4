#!/usr/bin/env bash
# A whole session of GRIDOR or PLOTOR in its real windows under a real
# window manager (openbox), played by X key presses and clicks (x_play.py)
# without ever clicking a window to give it the keyboard, from its start to
# the program's own end. The files the live session writes must be those
# that its recording (--record) writes when replayed headless, and those
# that the session's script writes headless. Screenshots of the session are
# left in WORKDIR/shots for the session's own checks (session_checks in
# SESSION's .checks.sh beside it, where there is one) and for a person to
# look at.
#
# usage: desktop_session.sh PROGRAM GALLERY SESSION WORKDIR [WxH]
#   PROGRAM   the gridor or plotor executable
#   GALLERY   the dialog_gallery executable (lists the session's boxes)
#   SESSION   a session file of tests/xvfb/sessions
#   WxH       the virtual screen's size (1280x1000 unless given)
# (exit 77: a needed tool is missing)
set -u
program=$(realpath "$1")
gallery=$(realpath "$2")
session=$(realpath "$3")
work=$4
size=${5:-1280x1000}
here=$(cd "$(dirname "$0")" && pwd)
examples=$(cd "$here/../../examples" && pwd)
name=$(basename "$program")
NAME=$(echo "$name" | tr a-z A-Z)
for tool in Xvfb openbox xdotool xwininfo xprop import xdpyinfo python3 timeout; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done

rm -rf "$work"
mkdir -p "$work/live" "$work/replay" "$work/headless" "$work/boxes" "$work/shots" "$work/home"
for d in live replay headless boxes; do cp "$examples"/*.dat "$examples"/*.out "$work/$d/"; done
# The file chooser keeps its list of recent files under HOME: keep it here.
export HOME="$work/home" XDG_DATA_HOME="$work/home" XDG_CONFIG_HOME="$work/home"
grep -v '^@' "$session" >"$work/session.script"

source "$here/x_session.sh"
fail_details() {
  for f in "$work/live/program.out" "$work/player.err"; do
    [ -s "$f" ] && { echo "--- $(basename "$f"):"; cat "$f"; }
  done
}

# Where the boxes come among the events: the session played headless.
(cd "$work/boxes" && env -u DISPLAY "$gallery" "$name" ../session.script . \
  >gallery.out 2>&1) || fail "the session does not play headless: $(cat "$work/boxes/gallery.out")"

start_xvfb 141 "$size"
start_wm

cd "$work/live" || exit 1
timeout 170 "$program" --record rec.script >program.out 2>&1 &
app_pid=$!
python3 "$here/x_play.py" --name "$NAME" --script "$session" --boxes "$work/boxes/boxes.txt" \
  --record rec.script --pid "$app_pid" --shots "$work/shots" 2>"$work/player.err" ||
  fail "the session could not be played"
wait_app_end "$NAME, with its session,"

# The files written live, by the recording replayed and by the script.
cd "$work" || exit 1
(cd replay && env -u DISPLAY timeout 60 "$program" --script ../live/rec.script \
  --transcript transcript.txt >replay.out 2>&1) ||
  fail "the recording did not replay to the end (status $?): $(cat replay/replay.out)"
(cd headless && env -u DISPLAY timeout 60 "$program" --script ../session.script \
  --transcript transcript.txt >headless.out 2>&1) || fail "the session script does not run headless"
# A PostScript file says when it was made: that line is left out.
same() { cmp -s <(grep -v '^%%CreationDate' "$1") <(grep -v '^%%CreationDate' "$2"); }
written=()
for f in live/*.dat live/*.prt live/*.ps; do
  [ -e "$f" ] || continue
  base=$(basename "$f")
  cmp -s "$f" "$examples/$base" 2>/dev/null && continue  # an input left as it was
  written+=("$base")
  same "$f" "replay/$base" || fail "the replay wrote another $base"
  same "$f" "headless/$base" || fail "the session script wrote another $base headless"
done
for f in headless/*.dat headless/*.prt headless/*.ps; do
  base=$(basename "$f")
  [ -e "$f" ] && [ ! -e "live/$base" ] && fail "the live session did not write $base"
done
# The recording replays the very dialogue of the script.
cmp -s <(sed "s#$work/replay#DIR#g" replay/transcript.txt) \
  <(sed "s#$work/headless#DIR#g" headless/transcript.txt) ||
  fail "the recording replays another dialogue than the session's script"
echo "written live and alike on replay: ${written[*]:-none}"
checks=${session%.session}.checks.sh
if [ -f "$checks" ]; then
  source "$checks"
  session_checks
fi
echo "$NAME desktop session at $size passed"
