cmp -s poisson.dat "$1/../../../examples/poisson.dat" || { echo "poisson.dat was changed"; exit 1; }
