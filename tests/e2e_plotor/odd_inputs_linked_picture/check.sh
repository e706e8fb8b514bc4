fail=0
examples=$(cd "$1/../../../examples" && pwd)
cmp -s elastic.out "$examples/elastic.out" || { echo "the input elastic.out was changed"; fail=1; }
[ -L elastica.ps ] || { echo "elastica.ps is no longer a link"; fail=1; }
exit $fail
