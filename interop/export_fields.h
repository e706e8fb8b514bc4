// The values a viewer contours, worked out from a result set's Gauss
// points: each element's average, and at each node the average over the
// elements around it of their corner values extrapolated from their Gauss
// points as PLOTOR's contour plots do; principal stresses, their angle and
// von Mises from stress components, the magnitude of a flow. Also the
// names of the exported arrays.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "export_data.h"

namespace vortan {

// The Gauss-point values of one set over the mesh. Rows are 0-based
// (element e in row e-1, node n in row n-1); a row no element fills holds
// zeros and a count of 0.
struct SmoothedValues {
  std::vector<std::array<double, 4>> cell, point;
  std::vector<int> cell_count, point_count;  // Gauss points / elements averaged
};

SmoothedValues smooth_gauss_values(const MeshModel& m, const ExportSet& set);

// Derived from sigma-x, sigma-y, tau-xy, sigma-z: the major and minor
// principal stresses in the plane, the angle of the major from the x axis
// in degrees, and von Mises' equivalent stress (sigma-z included).
struct Principal {
  double major = 0, minor = 0, angle = 0, von_mises = 0;
};
Principal principal_stresses(const std::array<double, 4>& s);

// Part B of a .dat file as data: nodal loads and specified displacements
// as vectors (x, y, 0 per node), the boundary set of each node, the
// d.o.f. and value of the last Dirichlet plane through it (0 none); the
// body force set and vector of each element, its loaded edges and the
// traction set at the first of them.
struct PartBData {
  std::vector<double> load, fixed, dirichlet_value, body_force;
  std::vector<int> boundary_set, dirichlet_dof, body_force_set, loaded_edges, traction_set;
};
struct OldPartB;
PartBData part_b_data(const MeshModel& m, const OldPartB& b);

// The columns of a set's nodal values that are used (a label that is blank
// or "(none)" marks a column the analysis left empty), with their names:
// the labels without surrounding blanks, made unique by the column number.
struct NamedColumn {
  int column = 0;  // 0..3
  std::string name;
};
std::vector<NamedColumn> used_nodal_columns(const std::array<std::string, 4>& labels);

// The names of the flags, one per d.o.f., of the fixities: "fixed" for a
// Poisson problem, "fixed_x", "fixed_y" (and "fixed_rotation" for beams)
// otherwise, "fixed_dof_k" for the further d.o.f. of Advanced nodes.
std::vector<std::string> fixity_flag_names(const MeshModel& m);
// Flag k (0-based) of node n: 1 when its k-th d.o.f. is fixed.
int fixity_flag(const MeshModel& m, int n, int k);

}  // namespace vortan
