# The input and the font file are as they were, the links still links.
fail=0
cmp -s mesh.prt "$1/setup/mesh.prt" || { echo "the input mesh.prt was changed"; fail=1; }
cmp -s top51bit.tex "$1/setup/top51bit.tex" || { echo "top51bit.tex was changed"; fail=1; }
for l in out1.prt pic.ps lnk.dat fine.ps; do [ -L "$l" ] || { echo "$l is no longer a link"; fail=1; }; done
grep -q '^Two by two mesh of 8-noded quadrilaterals$' fine.dat || { echo "fine.dat lacks the title"; fail=1; }
exit $fail
