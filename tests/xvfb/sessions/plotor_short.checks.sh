# One scale for every window: the capitals of the dialogs' text and of the
# text window's are within 20% of the height of the capitals in the
# graphics window's heading.
session_checks() {
  local n
  n=$(awk '/caption=Contouring options/ {print $1; exit}' "$work/boxes/boxes.txt")
  [ -n "$n" ] && [ -s "$work/shots/box-$n.png" ] || fail "no picture of the contouring options"
  python3 "$here/shot_checks.py" scale "$work/shots/contours" "$work/shots/box-$n.png" \
    "$work/shots/text" || fail "the windows' text at $size"
}
