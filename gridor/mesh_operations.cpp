#include "mesh_operations.h"

#include "mesh_display.h"
#include "mesh_picture.h"
#include "plot.h"
#include "prompts.h"

namespace vortan {

// Operations still to come say so in one line and leave the mesh unchanged.
static void not_available(const char* what) { WRLINE(std::string(what) + " is not available yet."); }

void show_mesh(MeshModel& m, const std::string& heading) { DISPL(m, heading); }
void MODIFY(MeshModel&, Table1<int, MPOIN>&) { not_available("Mesh modification"); }
int REDUCE(MeshModel&, std::fstream&, Table1<int, MPOIN>&, Table1<int, MELEM>&) {
  not_available("Renumbering");
  return 1;
}
void write_mesh_picture(MeshModel& m, const std::string& path) {
  if (!PSOPEN(path)) {
    WRLINE("Cannot open " + path + " for output - no PostScript file written.");
    return;
  }
  PSPSPS(m);
  if (PSCLOS())
    WRLINE("PostScript file " + path + " written.");
  else
    WRLINE("Error writing " + path + " - the PostScript file is incomplete.");
}

}  // namespace vortan
