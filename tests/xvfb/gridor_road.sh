#!/usr/bin/env bash
# GRIDOR in its real windows on a virtual X display, driven by X key presses
# and clicks along the road of an existing file: start-up, the file chooser
# (a path typed into it), the title and listing questions, the new file's
# name, the inspection screen, the main menu, and out through the exit
# sequence. Screenshots of the X display are checked for the mesh, the
# toolbar's colours and its labels; the session recorded with --record is
# then replayed headless in a fresh folder and must write the same .dat.
#
# usage: gridor_road.sh GRIDOR WORKDIR      (exit 77: a needed tool is missing)
set -u
gridor=$(realpath "$1")
work=$2
here=$(cd "$(dirname "$0")" && pwd)
examples=$(cd "$here/../../examples" && pwd)
pixels="$here/png_pixels.py"

for tool in Xvfb xdotool import xdpyinfo python3 timeout; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

rm -rf "$work"
mkdir -p "$work/live" "$work/replay" "$work/home"
cp "$examples/quad8.dat" "$work/live/"
cp "$examples/quad8.dat" "$work/replay/"
# The file chooser keeps its list of recent files under HOME: keep it here.
export HOME="$work/home" XDG_DATA_HOME="$work/home" XDG_CONFIG_HOME="$work/home"

source "$here/x_session.sh"
fail_details() {
  [ -f "$work/live/gridor.out" ] && { echo "--- gridor said:"; cat "$work/live/gridor.out"; }
}
# A screen on which the picture is drawn at its own size (the windows overlap).
start_xvfb 111 1024x768

# Answers the next "Vortan" message or question box with the keys given:
# Return presses the default (first) button, Tab then space the second.
last_box=""
answer_box() {
  local id=""
  for _ in $(seq 500); do
    id=$(xdotool search --name "^Vortan$" 2>/dev/null | head -1)
    [ -n "$id" ] && [ "$id" != "$last_box" ] && break
    id=""
    sleep 0.02
  done
  [ -n "$id" ] || fail "no box came for: $*"
  last_box=$id
  point_into "$id" 10 10
  xdotool key "$@"
}

cd "$work/live" || exit 1
timeout 60 "$gridor" --record rec.script >gridor.out 2>&1 &
app_pid=$!

# Start-up: the welcome box, then two "Press any key to continue!".
welcome=$(wait_window "^GRIDOR - the VORTAN Preprocessor$") || fail "no welcome box"
point_into "$welcome"
xdotool key Return
text=$(wait_window "^GRIDOR text$") || fail "no text window"
point_into "$text" 300 300
xdotool type --delay 30 "aa"
# "Do you want to create a totally new file?" n, then the file chooser: the
# path typed into its location field (Ctrl-L in the GTK chooser).
xdotool type --delay 30 "n"
chooser=$(wait_window "^Open an input file$") || fail "no file chooser"
shown() { xdotool search --onlyvisible --name "$1" | grep -q .; }
wait_until "the file chooser on the screen" shown "^Open an input file$"
point_into "$chooser" 300 300
xdotool key ctrl+l
xdotool type --delay 20 "$work/live/quad8.dat"
xdotool key Return
# Keep the title, no listing, the new file's name, any key.
text=$(wait_window "^GRIDOR text$") || fail "no text window after the chooser"
hidden() { ! shown "$1"; }
wait_until "the file chooser to go" hidden "^Open an input file$"
point_into "$text" 300 300
xdotool type --delay 30 "yn"
xdotool type --delay 40 "road"
xdotool key Return
xdotool type a

# The inspection screen.
graphics=$(wait_window "^GRIDOR graphics$") || fail "no graphics window"
wait_until "the graphics window on the screen" shown "^GRIDOR graphics$"
eval "$(xdotool getwindowgeometry --shell "$graphics")"
s=$((WIDTH / 640))
gx=$X gy=$((Y + HEIGHT - 480 * s))
[ "$s" -ge 1 ] && [ "$WIDTH" -eq $((640 * s)) ] && [ "$HEIGHT" -gt $((480 * s)) ] ||
  fail "graphics window is ${WIDTH}x${HEIGHT}, not a picture of a whole multiple of 640x480 under a menu"

# Screen point of framebuffer pixel (x, y), and rectangles of them.
sp() { echo "$((gx + $1 * s + s / 2)),$((gy + $2 * s + s / 2))"; }
srect() { echo "$((gx + $1 * s)),$((gy + $2 * s)),$((gx + $3 * s + s - 1)),$((gy + $4 * s + s - 1))"; }
click_at() {
  xdotool mousemove $((gx + $1 * s + s / 2)) $((gy + $2 * s + s / 2)) click 1
}

# Checks a screenshot: queries and the answers they must give, in pairs.
check_shot() {
  local shot=$1 what=$2
  shift 2
  local queries=() wants=() descs=()
  while [ $# -gt 0 ]; do queries+=("$1"); wants+=("$2"); descs+=("$3"); shift 3; done
  mapfile -t got < <(python3 "$pixels" "$shot" "${queries[@]}")
  local i
  for i in "${!queries[@]}"; do
    local g=${got[$i]:-none} w=${wants[$i]}
    if [[ $w == ">0" ]]; then
      [[ $g =~ ^[0-9]+$ ]] && [ "$g" -gt 0 ] || fail "$what: ${descs[$i]}: none found"
    elif [ "$g" != "$w" ]; then
      fail "$what: ${descs[$i]} is $g, should be $w"
    fi
  done
}

# Toolbar of n buttons: height 445 / n rounded, button i from 478 - i h up.
toolbar_checks() {
  local n=$1 h=$(((445 + $1 / 2) / $1)) i top bottom colour checks=()
  for ((i = 1; i <= n; i++)); do
    top=$((478 - i * h)) bottom=$((478 - (i - 1) * h))
    [ $bottom -gt 478 ] && bottom=478
    colour=AA5500
    [ $((i % 2)) -eq 0 ] && colour=AA0000
    checks+=("$(sp 630 $((bottom - 3)))" "$colour" "button $i of $n")
    [ $i -lt "$n" ] && checks+=("$(sp 600 $top)" 000000 "edge over button $i of $n")
    # Its label in white from x 503, 4 pixels below the top edge.
    local lt=$((top + 4))
    [ $lt -lt 36 ] && lt=36
    checks+=("$(srect 503 $lt 637 $((top + 16)))=FFFFFF" ">0" "label text on button $i of $n")
  done
  printf '%s\n' "${checks[@]}"
}

# The inspection screen is drawn once its element and node counts are.
counted() {
  [ "$(python3 "$pixels" "$1" "$(srect 16 463 250 476)=FFFFFF")" -gt 0 ]
}
settled_shot "$work/inspection.png" counted "$work/inspection.png"
mapfile -t bar < <(toolbar_checks 9)
# The full mesh of quad8.dat (0..2 x 0..2) in the window -0.6..2.6: 150
# pixels per unit, node (x, y) at pixel (150 (x + 0.6), 150 (2.6 - y)).
check_shot "$work/inspection.png" "inspection screen" \
  "$(sp 120 390)" 555555 "bottom side (corners fixed 11 and 01: restrained, colour 8)" \
  "$(sp 90 330)" 555555 "left side (corners 10 and 11: colour 8)" \
  "$(sp 390 300)" 00AA00 "right side (corners 01 and 00: colour 2)" \
  "$(sp 240 300)" 00AA00 "middle side (corners 01 and 00: colour 2)" \
  "$(sp 165 300)" 0000AA "inside element 1 (background)" \
  "$(sp 60 300)" FFFFFF "frame at x = -0.2" \
  "$(sp 570 35)" 0000AA "above the toolbar" \
  "$(sp 570 36)" AA5500 "top row of the toolbar" \
  "$(sp 639 200)" 0000AA "right of the toolbar" \
  "$(srect 16 463 250 476)=FFFFFF" ">0" "element and node counts" \
  "${bar[@]}"

# Continue: the main menu over the mesh, seven buttons.
click_at 560 453
menu_drawn() { [ "$(python3 "$pixels" "$1" "$(sp 600 429)")" = AA5500 ]; }
settled_shot "$work/menu.png" menu_drawn "$work/menu.png"
mapfile -t bar < <(toolbar_checks 7)
check_shot "$work/menu.png" "main menu" \
  "$(sp 390 300)" 00AA00 "right side of the mesh" \
  "$(sp 600 429)" AA5500 "button 1 where the inspection screen had an edge" \
  "$(srect 5 10 400 30)=FFFFFF" ">0" "heading text" \
  "${bar[@]}"

# The main menu's Continue, then the exit sequence: the saved message, no
# reordering, the Part B message, no Part B from the file, no loads, the
# two completion messages; no PostScript; yes to exit.
click_at 560 460
answer_box Return
answer_box Tab space
answer_box Return
answer_box Tab space
answer_box Tab space
answer_box Return
answer_box Return
text=$(wait_window "^GRIDOR text$") || fail "no text window for the PostScript question"
point_into "$text" 300 300
xdotool type n
answer_box Return

wait_app_end "GRIDOR, after yes to exit,"
[ -s road.dat ] || fail "the live session wrote no road.dat"
[ -s road.prt ] || fail "the live session wrote no road.prt"
grep -q "^key n$" rec.script && grep -q "^file quad8.dat$" rec.script ||
  fail "the recorded session lacks the answers typed"

# The recorded session replayed headless in a fresh folder writes the same file.
cd "$work/replay" || exit 1
env -u DISPLAY timeout 30 "$gridor" --script ../live/rec.script --transcript transcript.txt \
  >replay.out 2>&1 || fail "the recorded session did not replay (status $?): $(cat replay.out)"
cmp -s ../live/road.dat road.dat || fail "the replay wrote another road.dat: $(diff ../live/road.dat road.dat)"
# Nothing was changed on the road, and quad8.dat is written as GRIDOR writes
# a mesh without Part B: the new file is a copy of it.
cmp -s "$examples/quad8.dat" road.dat || fail "road.dat differs from quad8.dat: $(diff "$examples/quad8.dat" road.dat)"
echo "GRIDOR window road passed"
