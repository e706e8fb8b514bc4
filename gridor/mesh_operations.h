// The mesh shown for inspection and written as a PostScript picture.
#pragma once

#include <fstream>
#include <string>

#include "mesh_model.h"
#include "modify_mesh.h"
#include "renumber.h"

namespace vortan {

// The inspection screen: the mesh with its heading, left with Continue.
void show_mesh(MeshModel& m, const std::string& heading);
// Writes the Encapsulated PostScript picture of the mesh.
void write_mesh_picture(MeshModel& m, const std::string& path);

}  // namespace vortan
