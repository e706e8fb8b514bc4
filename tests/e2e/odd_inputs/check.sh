fail=0
[ "$(head -1 long.dat)" = "AAAAAAAAAAAAAAAAAAAATitle of fifty characters, and" ] ||
  { echo "long.dat does not begin with the title's first 50 characters"; fail=1; }
# The rest of the file is the example's, from its second line on.
examples=$(cd "$1/../../../examples" && pwd)
[ "$(sed -n 2,4p long.dat)" = "$(sed -n 2,4p "$examples/quad8.dat")" ] ||
  { echo "long.dat lacks the mesh"; fail=1; }
exit $fail
