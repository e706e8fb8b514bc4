#!/usr/bin/env bash
# Run by run_case.sh in the working folder after the session: renders the
# PostScript picture with Ghostscript and checks it and the snapshots of the
# inspection screen at pixels worked out from the window rules.
set -u
case_dir=$1
if ! command -v gs >/dev/null 2>&1; then
  echo "Ghostscript (gs) is needed to check disp.ps"; exit 1
fi
# 72 dots per inch: one pixel per point; a page of 700 x 800 points holds
# the bounding box 100 170 630 700.
if ! gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=png16m -r72 -g700x800 \
     -sOutputFile=disp_ps.png disp.ps >gs.out 2>&1; then
  echo "Ghostscript could not render disp.ps:"; cat gs.out; exit 1
fi
if [ -s gs.out ]; then echo "Ghostscript complained about disp.ps:"; cat gs.out; exit 1; fi
exec python3 "$case_dir/check.py" "$case_dir"
