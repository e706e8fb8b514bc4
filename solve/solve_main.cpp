// vortan-solve: a mesh and its Part B solved by CalculiX, the results
// written as the .out PLOTOR reads.
#include "solve_command.h"

int main(int argc, char** argv) { return vortan::run_solve(argc, argv); }
