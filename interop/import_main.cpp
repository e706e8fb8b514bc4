// vortan-import: a mesh read through the Gmsh library becomes Part A of a
// .dat file that GRIDOR opens.
#include "import_command.h"

#include <cstring>

#include "version.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
    return vortan::print_version("vortan-import");
  return vortan::run_import(argc, argv);
}
