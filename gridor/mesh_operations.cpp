#include "mesh_operations.h"

#include "mesh_display.h"
#include "mesh_picture.h"
#include "plot.h"
#include "prompts.h"

namespace vortan {

void show_mesh(MeshModel& m, const std::string& heading) { DISPL(m, heading); }
void write_mesh_picture(MeshModel& m, const std::string& path) {
  if (!PSOPEN(path)) {
    WRLINE("Cannot open " + path + " for output - no PostScript file written.");
    return;
  }
  UnfinishedPicture unfinished{path};
  PSPSPS(m);
  if (PSCLOS())
    WRLINE("PostScript file " + path + " written.");
  else
    WRLINE("Error writing " + path + " - the PostScript file is incomplete.");
}

}  // namespace vortan
