# A Poisson problem is not asked about displacements or a yield zone, and
# its first file is a d.o.f. file.
fail=0
head -1 seepaged.ps | grep -q '^%!PS-Adobe' || { echo "seepaged.ps is not PostScript"; fail=1; }
grep -q 'displacements' transcript.txt && { echo "displacements offered"; fail=1; }
grep -q 'yield zone' transcript.txt && { echo "yield zone offered"; fail=1; }
grep -q 'no flow rate data' transcript.txt && { echo "flow rates not found"; fail=1; }
exit $fail
