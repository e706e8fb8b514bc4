// vortan-import: a mesh read through the Gmsh library becomes Part A of a
// .dat file that GRIDOR opens.
#include "import_command.h"

int main(int argc, char** argv) { return vortan::run_import(argc, argv); }
