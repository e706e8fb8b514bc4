# Six buttons: a right click at the top of the bar falls on "Plot 1D elts",
# which has no help, so the yield-zone help is shown once only.
fail=0
[ "$(grep -c 'VORTAN - help' transcript.txt)" = 1 ] || { echo "help screens: not exactly one"; fail=1; }
head -1 advanceda.ps | grep -q '^%!PS-Adobe' || { echo "advanceda.ps is not PostScript"; fail=1; }
grep -q 'Title:VORTAN plots - Poisson contours' advanceda.ps || { echo "advanceda.ps is not the contours"; fail=1; }
grep -q 'Title:VORTAN plots - yield zone' advancedh.ps || { echo "advancedh.ps is not the yield zone"; fail=1; }
exit $fail
