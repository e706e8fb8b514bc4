# The second contour plot on the screen, key strip and all, is the plot
# drawn first thing after the menu, headless, pixel for pixel; and the
# first plot had another key.
session_checks() {
  mkdir -p "$work/fresh"
  cp "$examples/plate_hole.out" "$work/fresh/"
  printf '%s\n' "key a" "key y" "file plate_hole.out" "key n" "key a" "click 560 460" \
    "dialog OK" "click 560 160" "dialog OK 2 1" "snapshot fresh.png" >"$work/fresh/fresh.script"
  (cd "$work/fresh" && env -u DISPLAY "$program" --script fresh.script --transcript t.txt \
    --snapshots . >/dev/null 2>&1)
  [ -s "$work/fresh/fresh.png" ] || fail "no snapshot of the second plot drawn fresh"
  python3 "$here/shot_checks.py" plot "$work/shots/contours_second" "$work/fresh/fresh.png" \
    "$work/shots/contours_first" || fail "the second contour plot on the screen"
}
