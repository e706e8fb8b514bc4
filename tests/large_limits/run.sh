#!/usr/bin/env bash
# GRIDOR and PLOTOR built with raised limits (VORTAN_MPOIN=99999,
# VORTAN_MELEM=99999, VORTAN_MEDGE=200000, VORTAN_MGAUS=400000): a grid of
# 120 x 120 8-noded quadrilaterals (14400 elements, 43681 nodes), made
# here, through triangulation, renumbering and saving in GRIDOR, and its
# closed-form results through every plot and PostScript file in PLOTOR.
# Each session is an end-to-end case (tests/e2e/run_case.sh).
#   tests/large_limits/run.sh BUILD_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for case in gridor plotor; do
  cp -r "$here/$case" "$work/"
  mkdir -p "$work/$case/setup"
done
generator="$build/examples/generator/closed_form_results"
"$generator" mesh grid "$work/gridor/setup/grid.dat" --columns 120 --rows 120
"$generator" kirsch "$work/gridor/setup/grid.dat" "$work/plotor/setup/grid.out"
status=0
for case in gridor plotor; do
  if bash "$here/../e2e/run_case.sh" "$build/$case" "$work/$case" "$work/run_$case"; then
    echo "large limits: the $case session passed"
  else
    echo "large limits: the $case session failed"
    status=1
  fi
done
exit $status
