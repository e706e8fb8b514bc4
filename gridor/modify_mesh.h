// Mesh modification: the "Modify mesh" button of the main menu.
#pragma once

#include "mesh_model.h"

namespace vortan {

// Changes the mesh in place; newnod follows the node numbers it changes.
void MODIFY(MeshModel& m, Table1<int, MPOIN>& newnod);

}  // namespace vortan
