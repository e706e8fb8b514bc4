// The node orders of the VORTAN element types in the VTK and Gmsh files.
// VORTAN goes round an element corner and mid-side node in turn; VTK and
// Gmsh list the corners first and the mid-side nodes after them.
#pragma once

#include <vector>

#include "mesh_model.h"

namespace vortan {

// A list with the corners first and the mid-side nodes after them, in the
// same turn (the middle of a line last), put in VORTAN's order: corner,
// mid-side node, corner ... A list of corners alone is returned as it is.
template <class T>
std::vector<T> around_element(const std::vector<T>& corners_first, int nside) {
  const size_t corners = nside == 1 ? 2 : nside;
  if (corners_first.size() <= corners) return corners_first;
  std::vector<T> out;
  for (size_t k = 0; k < corners; ++k) {
    out.push_back(corners_first[k]);
    if (corners + k < corners_first.size()) out.push_back(corners_first[corners + k]);
  }
  return out;
}

// The inverse for element e: its node numbers with its corners first, for the types with a
// quadratic counterpart (3-node bars, 6-node triangles, 8-node
// quadrilaterals); every other type keeps its own order.
std::vector<int> corners_first(const MeshModel& m, int e);

// VTK cell type of element e: line, triangle, quadrilateral and their
// quadratic forms; a polygon (or poly-line, for one-sided elements) through
// the nodes in their order for the joint and infinite elements.
int vtk_cell_type(const MeshModel& m, int e);

// Gmsh element type of element e; 0 for the types Gmsh has no element for.
int gmsh_element_type(const MeshModel& m, int e);

}  // namespace vortan
