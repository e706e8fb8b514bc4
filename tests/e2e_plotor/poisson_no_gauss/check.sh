# Without flow rates there is no menu (no help hint), no Gauss-point
# message and no offer of crosses or contours of flows.
fail=0
for t in 'Right-click on grey toolbar' 'Reading Gauss point output data' \
         'stress/flow crosses' 'stress/flow contours' 'next result set'; do
  grep -qF "$t" transcript.txt && { echo "unexpected: $t"; fail=1; }
done
[ "$(grep -c 'Do you want colour fill-in' transcript.txt)" = 3 ] || { echo "not 3 contour plots"; fail=1; }
exit $fail
