// Triangulation: quadrilaterals cut into triangles along the shorter
// diagonal, in place in the mesh model.
#pragma once

#include "mesh_model.h"

namespace vortan {

// Asks which elements to cut (Advanced level: the whole mesh or a picked
// selection, kept in `marks`; Basic level: every element) and cuts them.
void TRIANG(MeshModel& m, Table1<int, MELEM>& marks);

// Cuts every element marked by a negative nside, removing the marks as it
// goes (and all marks left when it stops at a limit). Linear quadrilaterals
// give two linear triangles, 8-noded quadrilaterals two 6-noded triangles
// sharing a new centre node; other types are left as they are.
void cut_marked(MeshModel& m);

}  // namespace vortan
