# Every picture complete: the outline found (no edge table too small), a
# line for each side of both meshes, an arm pair for each Gauss point, and
# Ghostscript reads every file through.
set -e
! grep -q "too many edges" transcript.txt || { echo "the outline was refused"; exit 1; }
for f in grida gridb gridc gridd; do
  [ "$(tail -1 $f.ps)" = "%%Trailer" ] || { echo "$f.ps is not complete"; exit 1; }
done
lines() { grep -c ' l sr$' "$1"; }
[ "$(lines grida.ps)" -ge 115200 ] || { echo "grida.ps: $(lines grida.ps) lines"; exit 1; }
[ "$(lines gridb.ps)" -ge 115200 ] || { echo "gridb.ps: $(lines gridb.ps) lines"; exit 1; }
[ "$(lines gridd.ps)" -ge 480 ] || { echo "gridd.ps: $(lines gridd.ps) lines"; exit 1; }
if command -v gs > /dev/null; then
  for f in grida gridb gridc gridd; do
    gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=nullpage "$f.ps" < /dev/null ||
      { echo "Ghostscript cannot read $f.ps"; exit 1; }
  done
fi
