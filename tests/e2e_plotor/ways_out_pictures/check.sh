# The picture finished before the way out ends with its closing records.
fail=0
head -1 elastica.ps | grep -q '^%!PS-Adobe' || { echo "elastica.ps is not PostScript"; fail=1; }
[ "$(tail -1 elastica.ps)" = "%%Trailer" ] || { echo "elastica.ps lacks its closing records"; fail=1; }
exit $fail
