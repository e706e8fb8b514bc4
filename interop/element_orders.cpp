#include "element_orders.h"

namespace vortan {

namespace {

int key(const MeshModel& m, int e) { return element_key(m.nnode(e), m.nside(e)); }

bool quadratic_standard(int k) { return k == 31 || k == 63 || k == 84; }

}  // namespace

std::vector<int> corners_first(const MeshModel& m, int e) {
  std::vector<int> nodes;
  const int nn = m.nnode(e);
  if (!quadratic_standard(key(m, e))) {
    for (int k = 1; k <= nn; ++k) nodes.push_back(m.lnods(e, k));
    return nodes;
  }
  if (nn == 3) return {m.lnods(e, 1), m.lnods(e, 3), m.lnods(e, 2)};  // end, end, middle
  for (int k = 1; k <= nn; k += 2) nodes.push_back(m.lnods(e, k));
  for (int k = 2; k <= nn; k += 2) nodes.push_back(m.lnods(e, k));
  return nodes;
}

int vtk_cell_type(const MeshModel& m, int e) {
  switch (key(m, e)) {
    case 21:
      return 3;  // VTK_LINE
    case 31:
      return 21;  // VTK_QUADRATIC_EDGE
    case 33:
      return 5;  // VTK_TRIANGLE
    case 63:
      return 22;  // VTK_QUADRATIC_TRIANGLE
    case 44:
      return 9;  // VTK_QUAD
    case 84:
      return 23;  // VTK_QUADRATIC_QUAD
    default:
      return m.nside(e) == 1 ? 4 : 7;  // VTK_POLY_LINE, VTK_POLYGON
  }
}

int gmsh_element_type(const MeshModel& m, int e) {
  switch (key(m, e)) {
    case 21:
      return 1;
    case 31:
      return 8;
    case 33:
      return 2;
    case 63:
      return 9;
    case 44:
      return 3;
    case 84:
      return 16;
    default:
      return 0;
  }
}

}  // namespace vortan
