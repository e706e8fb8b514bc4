// The problem vortan-solve works on: the mesh of Part A, the loads and
// analysis control of Part B, and the text of Part A as the file holds it,
// which heads the .out.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mesh_model.h"
#include "part_b_modify.h"

namespace vortan {

struct SolveProblem {
  std::unique_ptr<MeshModel> mesh = std::make_unique<MeshModel>();
  std::unique_ptr<OldPartB> partb = std::make_unique<OldPartB>();
  bool has_part_b = false;
  std::string part_a;         // Part A, line for line as the .dat holds it
  bool plane_strain = false;  // elasticity: plane strain instead of plane stress
  double extent = 0.0;        // the larger side of the box around the nodes
};

// Reads the whole .dat: Part A with the package's reader, Part B with the
// reader GRIDOR copies a Part B with. False, with the reason, when the file
// cannot be read, its Part A does not read, or its Part B is damaged.
bool read_problem(const std::string& path, SolveProblem& p, std::string& error);

// The problem's class: 1 Poisson, 2 elasticity, 3 frame.
inline int problem_class(const MeshModel& m) { return m.ndofn < 0 ? -m.ndofn : m.ndofn; }

// Element type code of element e (Part of the catalogue), 0 when unknown.
inline int type_of(const MeshModel& m, int e) {
  return element_type_code(element_key(m.nnode(e), m.nside(e)));
}
inline bool is_area_type(int type) { return type >= 5 && type <= 9; }
inline bool is_beam_type(int type) { return type == 3 || type == 4; }

// The load factor of each result set: the cumulative increment sizes, one
// set at full load when no increments are given. Returns the count.
int load_factors(const OldPartB& b, double (&factor)[10]);

// The plate's thickness of property set s (plane stress): Basic component 3,
// 1 where it is 0 and at the Advanced level.
double thickness(const MeshModel& m, int s);

// Digit d (1 first) of node n's fixity code: true when that d.o.f. is fixed.
bool fixed_dof(const MeshModel& m, int n, int d);

// The value of the first Dirichlet plane for d.o.f. d on which node n
// lies; false when it lies on none. A node lies on a plane within 1e-5 of
// the larger of the mesh's extent and the plane's coordinate (the file
// keeps three significant digits of the coordinate).
bool dirichlet_value(const SolveProblem& p, int n, int d, double& value);

// Nodes used by at least one element, 1..npoin (index 0 unused).
std::vector<char> used_nodes(const MeshModel& m);

}  // namespace vortan
