// The printed listing of a mesh (.prt file, or the text window on request):
// control values, element connections, node coordinates, fixities and
// material properties.
#pragma once

#include <ostream>

#include "mesh_model.h"

namespace vortan {

// Writes the listing to `unit`, or to the text window when `unit` is null.
// In the text window the listing pauses ("Press any key to continue!")
// before the 25th, 50th, ... element line, before the 25th, 50th, ... node
// line, and before each of the sections: element connections, nodal
// coordinates, fixities, material properties, non-zero property values.
void PRINT(std::ostream* unit, const MeshModel& m);

}  // namespace vortan
