// The mesh operations behind the main-menu buttons and the end of a run.
#pragma once

#include <fstream>
#include <string>

#include "mesh_model.h"

namespace vortan {

// The inspection screen: the mesh with its heading, left with Continue.
void show_mesh(MeshModel& m, const std::string& heading);
void MODIFY(MeshModel& m, Table1<int, MPOIN>& newnod);
// Reorders elements and nodes, writing the renumbered Part A; 1 when refused.
int REDUCE(MeshModel& m, std::fstream& out, Table1<int, MPOIN>& newnod,
           Table1<int, MELEM>& newelt);
// Writes the Encapsulated PostScript picture of the mesh.
void write_mesh_picture(MeshModel& m, const std::string& path);

}  // namespace vortan
