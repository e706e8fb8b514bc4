// vortan-solve: a mesh and its Part B solved by CalculiX, the results
// written as the .out PLOTOR reads.
#include "solve_command.h"

#include <cstring>

#include "version.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
    return vortan::print_version("vortan-solve");
  return vortan::run_solve(argc, argv);
}
