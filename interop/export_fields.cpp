#include "export_fields.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "crosses.h"
#include "part_b_modify.h"
#include "stress_contours.h"

namespace vortan {

namespace {

constexpr int NO_TYPE = 0;

int contoured_type(const MeshModel& m, int e) {
  const int code = element_type_code(element_key(m.nnode(e), m.nside(e)));
  return code >= 5 && code <= 9 ? code : NO_TYPE;
}

// The values at every node of element e (0-based rows by local node) from
// its corner values c[1..]: corners as extrapolated, mid-side nodes the mean
// of the corners beside them, as the contours interpolate along a side.
std::vector<std::array<double, 4>> node_values(int type, int nnode,
                                               const std::array<double, 4>* c) {
  std::vector<std::array<double, 4>> v(nnode);
  auto mean = [&](int a, int b) {
    std::array<double, 4> r;
    for (int k = 0; k < 4; ++k) r[k] = 0.5 * (c[a][k] + c[b][k]);
    return r;
  };
  switch (type) {
    case 7:  // corners 1, 3, 5
    case 9:  // corners 1, 3, 5, 7
      for (int i = 0; i < nnode; ++i) {
        const int corner = i / 2 + 1, corners = nnode / 2;
        v[i] = i % 2 == 0 ? c[corner] : mean(corner, corner % corners + 1);
      }
      break;
    case 8:  // nodes 1, 6 at s = -1; 3, 4 at s = +1; 2, 5 between
      v = {c[1], mean(1, 2), c[2], c[2], mean(1, 2), c[1]};
      break;
    default:
      for (auto& row : v) row = c[1];
  }
  return v;
}

}  // namespace

SmoothedValues smooth_gauss_values(const MeshModel& m, const ExportSet& set) {
  SmoothedValues s;
  s.cell.assign(m.nelem, {});
  s.point.assign(m.npoin, {});
  s.cell_count.assign(m.nelem, 0);
  s.point_count.assign(m.npoin, 0);
  // The records of each element by their point number, 1..MGPEL.
  std::vector<std::array<const GaussRecord*, MGPEL + 1>> by_point(m.nelem);
  for (const GaussRecord& g : set.gauss) {
    if (g.element < 1 || g.element > m.nelem) continue;
    for (int k = 0; k < 4; ++k) s.cell[g.element - 1][k] += g.values[k];
    ++s.cell_count[g.element - 1];
    if (g.point >= 1 && g.point <= MGPEL) by_point[g.element - 1][g.point] = &g;
  }
  for (int e = 1; e <= m.nelem; ++e) {
    if (const int c = s.cell_count[e - 1])
      for (double& v : s.cell[e - 1]) v /= c;
    const int type = contoured_type(m, e);
    if (type == NO_TYPE) continue;
    const int needed = gauss_needed(type);
    bool whole = true;
    for (int p = 1; p <= needed; ++p) whole = whole && by_point[e - 1][p];
    if (!whole) continue;
    // Component by component: the extrapolation is linear.
    std::array<double, 4> corner[5] = {};
    for (int k = 0; k < 4; ++k) {
      double g[MGPEL + 1], c[5];
      for (int p = 1; p <= needed; ++p) g[p] = by_point[e - 1][p]->values[k];
      const int n = extrapolate_gauss_values(type, g, c);
      for (int i = 1; i <= n; ++i) corner[i][k] = c[i];
    }
    const auto values = node_values(type, m.nnode(e), corner);
    for (int i = 0; i < m.nnode(e); ++i) {
      const int n = m.lnods(e, i + 1);
      for (int k = 0; k < 4; ++k) s.point[n - 1][k] += values[i][k];
      ++s.point_count[n - 1];
    }
  }
  for (int n = 0; n < m.npoin; ++n)
    if (const int c = s.point_count[n])
      for (double& v : s.point[n]) v /= c;
  return s;
}

Principal principal_stresses(const std::array<double, 4>& s) {
  Principal p;
  double theta;
  PRST(s[0], s[1], s[2], p.major, p.minor, theta);
  p.angle = theta * 45.0 / std::atan(1.0);
  const double dxy = s[0] - s[1], dyz = s[1] - s[3], dzx = s[3] - s[0];
  p.von_mises = std::sqrt(0.5 * (dxy * dxy + dyz * dyz + dzx * dzx) + 3 * s[2] * s[2]);
  return p;
}

PartBData part_b_data(const MeshModel& m, const OldPartB& b) {
  PartBData d;
  d.load.assign(3 * m.npoin, 0);
  d.fixed.assign(3 * m.npoin, 0);
  d.dirichlet_value.assign(m.npoin, 0);
  d.boundary_set.assign(m.npoin, 0);
  d.dirichlet_dof.assign(m.npoin, 0);
  for (int i = 1; i <= b.nload; ++i) {
    const int n = b.lnode(i);
    if (n < 1 || n > m.npoin) continue;
    auto& v = b.ltype(i) == 2 ? d.fixed : d.load;
    v[3 * (n - 1)] = b.lval(i, 1);
    v[3 * (n - 1) + 1] = b.lval(i, 2);
  }
  // A node on a Dirichlet plane: within a millionth of the mesh's size.
  double lo[2] = {m.coord(1, 1), m.coord(1, 2)}, hi[2] = {lo[0], lo[1]};
  for (int n = 1; n <= m.npoin; ++n)
    for (int k = 0; k < 2; ++k) {
      lo[k] = std::min(lo[k], m.coord(n, k + 1));
      hi[k] = std::max(hi[k], m.coord(n, k + 1));
    }
  const double tol = 1e-6 * std::max({hi[0] - lo[0], hi[1] - lo[1], 1e-30});
  for (int n = 1; n <= m.npoin; ++n) {
    d.boundary_set[n - 1] = b.lbset(n);
    for (int i = 1; i <= b.ndval; ++i) {
      const OldDirichlet& p = b.dirv[i];
      if (std::abs(m.coord(n, p.axis == 'y' ? 2 : 1) - p.coord) > tol) continue;
      d.dirichlet_value[n - 1] = p.value;
      d.dirichlet_dof[n - 1] = p.dof;
    }
  }
  d.body_force_set.assign(m.nelem, 0);
  d.body_force.assign(3 * m.nelem, 0);
  d.loaded_edges.assign(m.nelem, 0);
  d.traction_set.assign(m.nelem, 0);
  for (int e = 1; e <= m.nelem; ++e) {
    const int s = b.ibody(e);
    d.body_force_set[e - 1] = s;
    if (s < 1 || s > MSETS) continue;
    d.body_force[3 * (e - 1)] = b.bodyf[s][1];
    d.body_force[3 * (e - 1) + 1] = b.bodyf[s][2];
  }
  for (int i = 1; i <= b.nedge; ++i) {
    const int e = b.edges(i, 2);
    if (e < 1 || e > m.nelem) continue;
    if (d.loaded_edges[e - 1]++ == 0) d.traction_set[e - 1] = b.edges(i, 4);
  }
  return d;
}

std::vector<NamedColumn> used_nodal_columns(const std::array<std::string, 4>& labels) {
  std::vector<NamedColumn> used;
  for (int k = 0; k < 4; ++k) {
    const auto first = labels[k].find_first_not_of(' ');
    if (first == std::string::npos) continue;
    std::string name = labels[k].substr(first, labels[k].find_last_not_of(' ') - first + 1);
    if (name == "(none)") continue;
    for (const auto& u : used)
      if (u.name == name) name += " " + std::to_string(k + 1);
    used.push_back({k, name});
  }
  return used;
}

std::vector<std::string> fixity_flag_names(const MeshModel& m) {
  const int problem = std::abs(m.ndofn);
  std::vector<std::string> names;
  if (problem == 1)
    names = {"fixed"};
  else if (problem == 2)
    names = {"fixed_x", "fixed_y"};
  else
    names = {"fixed_x", "fixed_y", "fixed_rotation"};
  int most = 0;
  for (int n = 1; n <= m.npoin; ++n) most = std::max(most, m.ndof(n));
  while (static_cast<int>(names.size()) < std::min(most, 4))
    names.push_back("fixed_dof_" + std::to_string(names.size() + 1));
  return names;
}

int fixity_flag(const MeshModel& m, int n, int k) {
  const int ndof = m.ndof(n);
  if (k >= ndof || m.kode(n) < 0) return 0;
  // The code has one digit per d.o.f., the first the most significant.
  long code = m.kode(n);
  for (int i = k + 1; i < ndof; ++i) code /= 10;
  return code % 10 == 1 ? 1 : 0;
}

}  // namespace vortan
