# The four d.o.f. files are PostScript; no other picture was written; each
# question that depends on the answers before it came only where it belongs.
fail=0
for f in elasticd.ps elastice.ps elasticf.ps elasticg.ps; do
  head -1 "$f" | grep -q '^%!PS-Adobe' || { echo "$f is not PostScript"; fail=1; }
done
count() { grep -cF -- "$1" transcript.txt; }
[ "$(count 'Print another d.o.f./mat. type?')" = 3 ] || { echo "Print another: not 3 times"; fail=1; }
[ "$(count 'Do you want to go back to main menu?')" = 1 ] || { echo "go back: not once"; fail=1; }
[ "$(count 'different material type?')" = 1 ] || { echo "material question: not once"; fail=1; }
[ "$(count 'Do you want to view next result set?')" = 1 ] || { echo "next set: not once"; fail=1; }
[ "$(count 'yield zone')" = 0 ] || { echo "yield zone offered on a Basic mesh"; fail=1; }
# the x-displacement contours: the plot is drawn and the heading is on top
[ -s snapshots/dof1.png ] || { echo "no snapshot"; fail=1; }
# headings of plots are cut to 60 characters, the plain title is drawn whole
grep -q '^heading: .*): Load step 2: .*doub\|^heading: .*displt: Load step 2: .*doub' transcript.txt && { echo "a plot heading is not cut"; fail=1; }
[ "$(grep -c 'VORTAN - help' transcript.txt)" = 2 ] || { echo "help screens: not two"; fail=1; }
exit $fail
