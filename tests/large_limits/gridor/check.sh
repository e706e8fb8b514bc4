# The triangulated and renumbered grid as saved: 28800 six-noded triangles
# (two to each quadrilateral) on 58081 nodes (one more on each diagonal).
set -e
[ "$(sed -n 3p gridtri.dat)" = "5808128800    2    1" ] || { echo "control line: $(sed -n 3p gridtri.dat)"; exit 1; }
elements=$(awk '/^kode  node/ { exit } on { n++ } /^nside typ\/set/ { on = 1 } END { print n }' gridtri.dat)
nodes=$(awk '/^  set cmpnt/ { exit } on { n++ } /^kode  node/ { on = 1 } END { print n }' gridtri.dat)
[ "$elements" = 28800 ] && [ "$nodes" = 58081 ] || { echo "$elements element and $nodes node lines"; exit 1; }
[ -s gridtri.prt ]
