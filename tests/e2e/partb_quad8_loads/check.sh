# The Part B lines of the .prt listing, in order: nodal forces as they were
# given, the traction sets, the loaded edges.
want=(
"Applied nodal forces"
" Node  x-component  y-component"
"   21    0.000E+00   -0.100E+02"
"   19    0.000E+00   -0.500E+01"
"Surface tractions"
"  set    normal      tangential"
"    1    0.100E+02    0.000E+00"
"    2    0.500E+01    0.250E+01"
"elmnt  node1  set       node2  set"
"    2     13    1           5    2"
"    4     19    2          21    2"
)
i=0
while IFS= read -r line; do
  [ $i -lt ${#want[@]} ] && [ "$line" = "${want[$i]}" ] && i=$((i + 1))
done < loaded.prt
[ $i -eq ${#want[@]} ] || { echo "loaded.prt lacks, in order: ${want[$i]}"; exit 1; }
