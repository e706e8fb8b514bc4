# The eight nodes clicked 0.1 s apart while GRIDOR paused after each: all
# eight in their places, numbered in the order clicked, and recorded.
session_checks() {
  python3 "$here/shot_checks.py" nodes "$work/shots/nodes" \
    90,390 240,390 390,390 390,240 390,90 240,90 90,90 90,240 || fail "the nodes drawn"
  local clicks
  clicks=$(sed -n '/^click 90 390$/,/^click 560 460$/p' "$work/live/rec.script" | head -9 | grep -c '^click')
  [ "$clicks" -eq 9 ] || fail "the record holds $clicks clicks for the eight nodes and End, not 9"
}
