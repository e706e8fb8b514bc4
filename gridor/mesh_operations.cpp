#include "mesh_operations.h"

#include "mesh_display.h"
#include "mesh_picture.h"
#include "plot.h"
#include "prompts.h"

namespace vortan {

void show_mesh(MeshModel& m, const std::string& heading) { DISPL(m, heading); }
void write_mesh_picture(MeshModel& m, const std::string& path) {
  if (mesh_picture_fits(m, path)) write_ps_picture(path, [&] { PSPSPS(m); });
}

}  // namespace vortan
