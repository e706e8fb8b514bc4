# theta (d.o.f. 3 of a frame) is asked nothing about corner nodes; without
# Gauss points no stress file or yield zone is offered.
fail=0
[ "$(grep -c 'exist only at corner nodes' transcript.txt)" = 2 ] || { echo "corner question: not twice"; fail=1; }
for t in 'stress/flow crosses' 'stress/flow contours' 'yield zone' 'next result set'; do
  grep -qF "$t" transcript.txt && { echo "unexpected: $t"; fail=1; }
done
for f in framed.ps framee.ps; do
  head -1 "$f" | grep -q '^%!PS-Adobe' || { echo "$f is not PostScript"; fail=1; }
done
exit $fail
