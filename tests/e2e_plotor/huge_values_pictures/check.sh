# Each number is a plain PostScript number: no exponent without its E, no
# asterisks; and Ghostscript draws both pictures.
fail=0
for f in hugeb.ps hugec.ps; do
  if grep -v '^%' "$f" | grep -Eq '\*|[0-9.][+-][0-9]'; then
    echo "$f holds a number that is not PostScript"; fail=1
  fi
  gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=nullpage "$f" >gs.log 2>&1 ||
    { echo "Ghostscript cannot draw $f"; cat gs.log; fail=1; }
done
exit $fail
