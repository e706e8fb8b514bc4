// vortan-export: results and meshes to VTK XML for ParaView and to Gmsh's
// post-processing views.
#include "export_command.h"

#include <cstring>

#include "version.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
    return vortan::print_version("vortan-export");
  return vortan::run_export(argc, argv);
}
