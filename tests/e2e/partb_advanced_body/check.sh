# The Part B lines of the .prt listing, in order.
want=(
"Applied nodal forces"
"    1    0.100E+01    0.000E+00"
"Specified displacements."
"    1    0.100E-01    0.000E+00"
"    2    0.000E+00   -0.200E-01"
"Body forces"
"  Set  x-component  y-component"
"    1    0.000E+00   -0.200E+02"
"    2    0.500E+01    0.000E+00"
"  set  elements in this body force set"
"    1    1"
"    2    2"
"Excavation boundaries"
"Boundary set: 1"
"   In-situ stress field:"
"Soil density = 20.0"
"Lateral stress ratio = 0.5"
"   Nodes on boundary: "
"    1    2"
" applies to deg. of freedom 2"
"Dirichlet boundary planes"
"Applies to degree of freedom 3"
"U = 1.5 on Dirichlet bdry where y = 3.0"
"Applies to degree of freedom 1"
"U = 0.25 on Dirichlet bdry where x = -1.5"
"Timestepping regime"
)
i=0
while IFS= read -r line; do
  [ $i -lt ${#want[@]} ] && [ "$line" = "${want[$i]}" ] && i=$((i + 1))
done < body.prt
[ $i -eq ${#want[@]} ] || { echo "body.prt lacks, in order: ${want[$i]}"; exit 1; }
