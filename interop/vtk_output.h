// VTK XML files, which ParaView opens: the mesh as an unstructured grid
// (.vtu) with its nodal values, the Gauss points of a result set as a grid
// of vertices of their own, and a collection (.pvd) of result sets.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "export_data.h"

namespace vortan {

// The mesh, with cell data "element", "property_set", "material_type" and
// point data "node", "fixity_code", "ndof"; with a result set, also its four
// nodal values by their names and, for elasticity and beams, the
// "displacement" vector of the first two.
void write_mesh_vtu(std::ostream& out, const MeshModel& m, const ExportSet* set);

// The Gauss points of a result set as vertices, with point data "element",
// "gauss_point", "yield_code" and the values (for Poisson problems also the
// "flow" vector).
void write_gauss_vtu(std::ostream& out, const MeshModel& m, const ExportSet& set);

struct PvdEntry {
  int timestep = 0;  // the result set's number
  int part = 0;      // 0 the mesh and nodal values, 1 the Gauss points
  std::string file;  // relative to the .pvd file
};

void write_pvd(std::ostream& out, const std::vector<PvdEntry>& entries);

}  // namespace vortan
