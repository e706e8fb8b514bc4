# cut.dat is Part A as saved: the Part A of the complete run of this file.
head -n 20 "$1/../advanced_increments/expected/incs.dat" | cmp -s - cut.dat ||
  { echo "cut.dat is not Part A as saved"; exit 1; }
