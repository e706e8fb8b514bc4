# The picture finished before the way out ends with its closing records.
fail=0
head -1 elastica.ps | grep -q '^%!PS-Adobe' || { echo "elastica.ps is not PostScript"; fail=1; }
[ "$(tail -1 elastica.ps)" = "%%Trailer" ] || { echo "elastica.ps lacks its closing records"; fail=1; }
# The unfinished crosses picture leaves the earlier one of its name as it was.
cmp -s elasticb.ps "$1/setup/elasticb.ps" || { echo "the earlier elasticb.ps was changed"; fail=1; }
exit $fail
