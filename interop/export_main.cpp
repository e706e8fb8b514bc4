// vortan-export: results and meshes to VTK XML for ParaView and to Gmsh's
// post-processing views.
#include "export_command.h"

int main(int argc, char** argv) { return vortan::run_export(argc, argv); }
