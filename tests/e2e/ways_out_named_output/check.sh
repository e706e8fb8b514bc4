# The first file is complete: Part A as written by the completed creation.
head -n 15 "$1/../new_poisson_keyboard/expected/square.dat" | cmp -s - square.dat ||
  { echo "square.dat is not its Part A"; exit 1; }
