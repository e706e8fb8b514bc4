#!/usr/bin/env bash
# The bundled examples: GRIDOR opens quad8.dat, lists it, saves it as
# demo.dat with its .prt listing, and exits; then PLOTOR opens the results
# file elastic.out and writes contours of a displacement as elasticd.ps;
# and PLOTOR shows the plate with a hole (plate_hole.out, Kirsch's
# solution): stress crosses and sigma-x contours as snapshots, and the
# same near the hole as the EPS files plate_holeb.ps and plate_holec.ps;
# then vortan-solve solves plate_hole.dat with CalculiX (plate_solved.out)
# and PLOTOR shows its sigma-x contours; all in examples/out.
# The programs are taken from VORTAN_BIN when it is set (vortan-demo sets it
# to where it is installed), else from build/ beside this folder, else from
# PATH.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/out"
bin=${VORTAN_BIN:-$here/../build}
if [ ! -x "$bin/gridor" ] || [ ! -x "$bin/plotor" ]; then
  bin=$(dirname "$(command -v gridor || echo ./none)")
fi
if [ ! -x "$bin/gridor" ] || [ ! -x "$bin/plotor" ]; then
  echo "demo: gridor and plotor are neither in build/ nor on PATH: build them first (./build.sh)" >&2
  exit 1
fi
if [ ! -w "$here" ]; then
  echo "demo: $here is read-only; vortan-demo copies the examples into a folder of yours" >&2
  echo "and runs the demo there" >&2
  exit 1
fi
rm -rf "$out" && mkdir -p "$out"
cp "$here"/*.dat "$here"/*.out "$out"/
cd "$out"
"$bin/gridor" --script "$here/demo.script" --transcript transcript.txt \
  --snapshots snapshots
echo "GRIDOR wrote:"
ls -l "$out"/demo.dat "$out"/demo.prt "$out"/demo.ps "$out"/snapshots/*.png
echo "Transcript of the session: $out/transcript.txt"
"$bin/plotor" --script "$here/demo_plotor.script" \
  --transcript transcript_plotor.txt --snapshots snapshots
echo "PLOTOR wrote:"
ls -l "$out"/elasticd.ps "$out"/snapshots/plotor_*.png
echo "Transcript of the session: $out/transcript_plotor.txt"
"$bin/plotor" --script "$here/demo_plate.script" \
  --transcript transcript_plate.txt --snapshots snapshots
echo "PLOTOR wrote, for the plate with a hole:"
ls -l "$out"/plate_holeb.ps "$out"/plate_holec.ps "$out"/snapshots/plate_*.png
echo "Transcript of the session: $out/transcript_plate.txt"
solve=$bin/vortan-solve
[ -x "$solve" ] || solve=$bin/solve/vortan-solve
[ -x "$solve" ] || solve=$(command -v vortan-solve || echo ./none)
if [ ! -x "$solve" ]; then
  echo "demo: vortan-solve is neither beside gridor nor on PATH: build it first (./build.sh)" >&2
  exit 1
fi
"$solve" plate_hole.dat --out plate_solved.out
"$bin/plotor" --script "$here/demo_solved.script" \
  --transcript transcript_solved.txt --snapshots snapshots
echo "vortan-solve and PLOTOR wrote, for the plate solved by CalculiX:"
ls -l "$out"/plate_solved.out "$out"/snapshots/solved_*.png
echo "Transcript of the session: $out/transcript_solved.txt"
