#!/usr/bin/env bash
# The bundled example: GRIDOR opens quad8.dat, lists it, saves it as
# demo.dat with its .prt listing, and exits; all in examples/out.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/out"
rm -rf "$out" && mkdir -p "$out"
cp "$here"/*.dat "$out"/
cd "$out"
"$here/../build/gridor" --script "$here/demo.script" --transcript transcript.txt \
  --snapshots snapshots
echo "GRIDOR wrote:"
ls -l "$out"/demo.dat "$out"/demo.prt "$out"/demo.ps "$out"/snapshots/*.png
echo "Transcript of the session: $out/transcript.txt"
