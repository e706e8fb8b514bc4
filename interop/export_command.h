// The command line of vortan-export:
//   vortan-export [--quiet] INPUT.out|INPUT.dat [OUTPUT-BASE]
// A .out file gives BASE_k.vtu for each result set k (and BASE_k_gauss.vtu
// for its Gauss points), the collection BASE.pvd, BASE.msh with the nodal
// values as Gmsh views and BASE_gauss.pos with the Gauss-point values. A
// .dat file gives BASE.vtu and BASE.msh. BASE is the input's name without
// its extension unless given.
#pragma once

namespace vortan {

// The whole tool; returns its exit status (0 written, 1 refused or not
// written, 2 usage).
int run_export(int argc, char** argv);

}  // namespace vortan
