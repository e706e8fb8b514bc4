#!/usr/bin/env bash
# The bundled examples: GRIDOR opens quad8.dat, lists it, saves it as
# demo.dat with its .prt listing, and exits; then PLOTOR opens the results
# file elastic.out and writes contours of a displacement as elasticd.ps;
# all in examples/out.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/out"
rm -rf "$out" && mkdir -p "$out"
cp "$here"/*.dat "$here"/*.out "$out"/
cd "$out"
"$here/../build/gridor" --script "$here/demo.script" --transcript transcript.txt \
  --snapshots snapshots
echo "GRIDOR wrote:"
ls -l "$out"/demo.dat "$out"/demo.prt "$out"/demo.ps "$out"/snapshots/*.png
echo "Transcript of the session: $out/transcript.txt"
"$here/../build/plotor" --script "$here/demo_plotor.script" \
  --transcript transcript_plotor.txt --snapshots snapshots
echo "PLOTOR wrote:"
ls -l "$out"/elasticd.ps "$out"/snapshots/plotor_*.png
echo "Transcript of the session: $out/transcript_plotor.txt"
