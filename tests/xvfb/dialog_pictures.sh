#!/usr/bin/env bash
# Every dialog and status box of both programs as the window backend draws
# it on a virtual X display: each end-to-end session is played through
# dialog_gallery, which pictures every box not pictured before, and the
# pictures are checked by their pixels (dialog_rules.py): each field beside
# or under its label, columns under their heads, nothing clipped.
#
# usage: dialog_pictures.sh GALLERY TESTS_DIR WORKDIR [WxH]
#   TESTS_DIR  holds e2e/ (GRIDOR's sessions) and e2e_plotor/ (PLOTOR's)
# The pictures stay in WORKDIR/pictures/0 and /1 (every other session),
# box-N.png, named in index.txt.
# (exit 77: a needed tool is missing)
set -u
gallery=$(realpath "$1")
tests=$(realpath "$2")
work=$3
size=${4:-1280x1000}
here=$(cd "$(dirname "$0")" && pwd)
examples=$(cd "$here/../../examples" && pwd)
for tool in Xvfb xdpyinfo convert python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work/pictures"
source "$here/x_session.sh"
# A display for each half: boxes read back from the screen must not stand
# over each other.
start_xvfb 161 "$size"
display0=$DISPLAY
start_xvfb 171 "$size"
display1=$DISPLAY

# Every other session, pictured into its own collection (SHARE 0 or 1).
play_share() {
  local i=0 case dir program run
  mkdir -p "$work/pictures/$1"
  for case in "$tests"/e2e/*/session.script "$tests"/e2e_plotor/*/session.script; do
    i=$((i + 1))
    [ $((i % 2)) -eq "$1" ] || continue
    dir=$(dirname "$case")
    program=gridor
    [[ $dir == */e2e_plotor/* ]] && program=plotor
    run="$work/runs/$program-$(basename "$dir")"
    mkdir -p "$run"
    cp "$examples"/*.dat "$examples"/*.out "$run"/
    [ -d "$dir/setup" ] && cp -r "$dir/setup/." "$run"/
    (cd "$run" && timeout 120 "$gallery" "$program" "$case" . "$work/pictures/$1" >gallery.out 2>&1)
    [ $? -le 4 ] || { echo "$program-$(basename "$dir") did not play: $(cat "$run/gallery.out")"; return 1; }
  done
}
# Two players at once: one draws while the other waits on its server.
DISPLAY=$display0 play_share 0 >"$work/share0.txt" 2>&1 &
share0=$!
DISPLAY=$display1 play_share 1 >"$work/share1.txt" 2>&1 &
share1=$!
wait "$share0" || fail "$(cat "$work/share0.txt")"
wait "$share1" || fail "$(cat "$work/share1.txt")"
# Boxes met in both halves are pictured in each; they are counted once.
n=$(cat "$work"/pictures/[01]/index.txt | cut -d' ' -f2- | sort -u | wc -l)
[ "$n" -ge 40 ] || fail "only $n boxes pictured"
python3 "$here/dialog_rules.py" "$work/pictures/0" "$work/pictures/1" ||
  fail "the boxes are not laid out by the rules"
echo "$n boxes pictured at $size and laid out by the rules"
