#!/usr/bin/env bash
# Every dialog and status box of both programs as the window backend draws
# it on a virtual X display: each end-to-end session is played through
# dialog_gallery, which pictures every box not pictured before, and the
# pictures are checked by their pixels (dialog_rules.py): each field beside
# or under its label, columns under their heads, nothing clipped.
#
# usage: dialog_pictures.sh GALLERY TESTS_DIR WORKDIR [WxH]
#   TESTS_DIR  holds e2e/ (GRIDOR's sessions) and e2e_plotor/ (PLOTOR's)
# The pictures stay in WORKDIR/pictures, box-N.png, named in index.txt.
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
start_xvfb 161 "$size"

for case in "$tests"/e2e/*/session.script "$tests"/e2e_plotor/*/session.script; do
  dir=$(dirname "$case")
  program=gridor
  [[ $dir == */e2e_plotor/* ]] && program=plotor
  run="$work/runs/$program-$(basename "$dir")"
  mkdir -p "$run"
  cp "$examples"/*.dat "$examples"/*.out "$run"/
  [ -d "$dir/setup" ] && cp -r "$dir/setup/." "$run"/
  (cd "$run" && timeout 120 "$gallery" "$program" "$case" . "$work/pictures" >gallery.out 2>&1)
  [ $? -le 4 ] || fail "$program-$(basename "$dir") did not play: $(cat "$run/gallery.out")"
done
n=$(wc -l <"$work/pictures/index.txt")
[ "$n" -ge 40 ] || fail "only $n boxes pictured"
python3 "$here/dialog_rules.py" "$work/pictures" || fail "the boxes are not laid out by the rules"
echo "$n boxes pictured at $size and laid out by the rules"
