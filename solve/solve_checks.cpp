#include "solve_checks.h"

#include <array>
#include <cmath>
#include <functional>

#include "element_fields.h"

namespace vortan {

namespace {

using Found = std::vector<int>;

void add(std::vector<std::string>& out, const std::string& what, const char* noun,
         const Found& items) {
  if (!items.empty()) out.push_back(naming(what, noun, items));
}

// Elements of kinds the bridge does not translate, and elements it cannot use.
void check_elements(const SolveProblem& p, std::vector<std::string>& out) {
  const MeshModel& m = *p.mesh;
  const int cls = problem_class(m);
  Found broken, joints, bolts, bars, infinite, areas, sets, shapes, short_beams;
  for (int e = 1; e <= m.nelem; ++e) {
    const int type = type_of(m, e);
    if (!valid_element(m, e) || type == 0) {
      broken.push_back(e);
      continue;
    }
    if (type == 1 || type == 13) joints.push_back(e);
    else if (type == 2) bolts.push_back(e);
    else if (type >= 10) infinite.push_back(e);
    else if (is_beam_type(type) && cls != 3) bars.push_back(e);
    else if (is_area_type(type) && cls == 3) areas.push_back(e);
    else if (is_area_type(type) && !element_shape_sound(m, e)) shapes.push_back(e);
    if (m.matset(e) < 1 || m.matset(e) > m.npros) sets.push_back(e);
    if (is_beam_type(type) && cls == 3) {
      const int a = m.lnods(e, 1), b = m.lnods(e, m.nnode(e));
      if (m.coord(a, 1) == m.coord(b, 1) && m.coord(a, 2) == m.coord(b, 2)) short_beams.push_back(e);
    }
  }
  if (m.nelem < 1) out.push_back("the mesh has no elements");
  add(out, "elements whose nodes or type the mesh does not define", "elements", broken);
  add(out, "joint elements are not supported", "elements", joints);
  add(out, "rockbolt elements are not supported", "elements", bolts);
  add(out, "infinite elements are not supported", "elements", infinite);
  add(out, "bars are supported only in frames", "elements", bars);
  add(out, "a frame takes beams only, no area elements", "elements", areas);
  add(out, "elements turned clockwise, folded or collapsed", "elements", shapes);
  add(out, "beams whose ends coincide", "elements", short_beams);
  add(out, "elements without a property set of the mesh", "elements", sets);
}

// Property sets the analysis cannot use, and plate thicknesses taken as 1.
void check_properties(const SolveProblem& p, std::vector<std::string>& out,
                      std::vector<std::string>& notes) {
  const MeshModel& m = *p.mesh;
  const int cls = problem_class(m);
  Found bad, thin;
  for (int s = 1; s <= m.npros; ++s) {
    const double a = m.props(s, 1), b = m.props(s, 2), c = m.props(s, 3);
    bool good = a > 0.0;
    if (cls == 1) good = good && b > 0.0;
    if (cls == 2) good = good && b > -1.0 && b < 0.5 && (m.ndofn < 0 || c >= 0.0);
    if (cls == 3) good = good && b > 0.0 && c > 0.0;
    if (!good) bad.push_back(s);
    if (cls == 2 && m.ndofn > 0 && c == 0.0) thin.push_back(s);
  }
  const char* rule = cls == 1   ? "coefficients AX and AY above 0"
                     : cls == 2 ? "Young's modulus above 0, Poisson's ratio from -1 to below 0.5, "
                                  "a thickness not below 0"
                                : "Young's modulus, moment of inertia and area above 0";
  add(out, std::string("property sets outside what the analysis takes (") + rule + ")", "sets", bad);
  if (!thin.empty()) notes.push_back(naming("thickness 0 taken as 1", "property sets", thin));
  if (cls == 2 && m.ndofn < 0) notes.push_back("Advanced level: the plate is taken as 1 thick");
}

// The fixed d.o.f. of each used node as rows of its rigid-body motions:
// x fixed blocks (1, 0, -y), y fixed (0, 1, x), a fixed rotation (0, 0, 1);
// coordinates about the part's first node, in units of the mesh's extent.
struct Holds {
  double basis[3][3];
  int rank = 0;
  void add(const double (&r)[3]) {
    double v[3] = {r[0], r[1], r[2]};
    for (int b = 0; b < rank; ++b) {
      const double d = v[0] * basis[b][0] + v[1] * basis[b][1] + v[2] * basis[b][2];
      for (int k = 0; k < 3; ++k) v[k] -= d * basis[b][k];
    }
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (rank < 3 && len > 1e-9)
      for (int k = 0; k < 3; ++k) basis[rank][k] = v[k] / len;
    if (rank < 3 && len > 1e-9) ++rank;
  }
};

int root(std::vector<int>& up, int n) {
  while (up[n] != n) n = up[n] = up[up[n]];
  return n;
}

// Parts of the mesh (nodes joined by elements) that their fixities do not
// hold: a Poisson part with no fixed node, an elastic part free to slide
// or turn, a frame's part free to move as a whole. Specified displacements
// hold both translations.
void check_held(const SolveProblem& p, std::vector<std::string>& out) {
  const MeshModel& m = *p.mesh;
  const int cls = problem_class(m), needed = cls == 1 ? 1 : 3;
  std::vector<int> up(m.npoin + 1);
  for (int n = 0; n <= m.npoin; ++n) up[n] = n;
  for (int e = 1; e <= m.nelem; ++e)
    if (valid_element(m, e))
      for (int k = 2; k <= m.nnode(e); ++k) up[root(up, m.lnods(e, k))] = root(up, m.lnods(e, 1));
  std::vector<char> prescribed(m.npoin + 1, 0);
  for (int i = 1; i <= p.partb->nload; ++i)
    if (p.partb->ltype(i) == 2 && valid_node(m, p.partb->lnode(i))) prescribed[p.partb->lnode(i)] = 1;
  const auto used = used_nodes(m);
  std::vector<Holds> holds(m.npoin + 1);
  const double unit = p.extent > 0.0 ? p.extent : 1.0;
  bool any = false;
  for (int n = 1; n <= m.npoin; ++n) {
    if (!used[n]) continue;
    const int r = root(up, n);
    const double x = (m.coord(n, 1) - m.coord(r, 1)) / unit, y = (m.coord(n, 2) - m.coord(r, 2)) / unit;
    const bool fx = prescribed[n] || fixed_dof(m, n, 1);
    if (cls == 1 && fx) holds[r].add({1, 0, 0});
    if (cls == 1) continue;
    const bool fy = prescribed[n] || fixed_dof(m, n, 2), fr = cls == 3 && fixed_dof(m, n, 3);
    if (fx) holds[r].add({1, 0, -y});
    if (fy) holds[r].add({0, 1, x});
    if (fr) holds[r].add({0, 0, 1});
    any = any || fx || fy || fr;
  }
  Found loose;
  for (int n = 1; n <= m.npoin; ++n)
    if (used[n] && root(up, n) == n && holds[n].rank < needed) loose.push_back(n);
  any = any || (cls == 1 && loose.empty());
  if (!any && m.nelem > 0 && cls != 1) {
    out.push_back("no degree of freedom is fixed: the mesh is free to move as a whole");
    return;
  }
  add(out, cls == 1 ? "parts of the mesh with no fixed (Dirichlet) node, named by a node of each"
                    : "parts of the mesh that their fixed d.o.f. leave free to slide or turn as "
                      "a whole, named by a node of each",
      "nodes", loose);
}

// Nodes: extra d.o.f. and Poisson's Dirichlet values.
void check_nodes(const SolveProblem& p, std::vector<std::string>& out) {
  const MeshModel& m = *p.mesh;
  const int cls = problem_class(m);
  const auto used = used_nodes(m);
  Found extra, unset;
  for (int n = 1; n <= m.npoin; ++n) {
    if (m.ndof(n) != cls) extra.push_back(n);
    double v;
    if (cls == 1 && used[n] && m.ndof(n) == 1 && fixed_dof(m, n, 1) && !dirichlet_value(p, n, 1, v))
      unset.push_back(n);
  }
  add(out, "extra degrees of freedom (Advanced level) are not supported", "nodes", extra);
  add(out, "fixed (Dirichlet) nodes on no Dirichlet plane", "nodes", unset);
  if (extra.empty()) check_held(p, out);
}

// Part B: loads, boundary sets, Dirichlet planes, timestepping.
void check_part_b(const SolveProblem& p, std::vector<std::string>& out) {
  const MeshModel& m = *p.mesh;
  const OldPartB& b = *p.partb;
  const int cls = problem_class(m);
  const auto used = used_nodes(m);
  Found loads, bodies, edges, edge_sets, beam_edges, planes;
  for (int i = 1; i <= b.nload; ++i)
    if (!valid_node(m, b.lnode(i)) || !used[b.lnode(i)]) loads.push_back(b.lnode(i));
  for (int e = 1; e <= MELEM; ++e)
    if (b.ibody(e) != 0 && (e > m.nelem || !is_area_type(type_of(m, e)) || cls == 3))
      bodies.push_back(e);
  for (int i = 1; i <= b.nedge; ++i) {
    const int e = b.edges(i, 2), s1 = b.edges(i, 4), s2 = b.edges(i, 6);
    int nodes[3];
    if (e < 1 || e > m.nelem || !valid_element(m, e)) edges.push_back(e);
    else if (cls == 3) beam_edges.push_back(e);
    else if (!is_area_type(type_of(m, e)) || side_nodes(m, e, b.edges(i, 3), b.edges(i, 5), nodes) == 0)
      edges.push_back(e);
    else if (s1 < 1 || s1 > b.npset || s2 < 1 || s2 > b.npset) edge_sets.push_back(e);
  }
  for (int i = 1; i <= b.ndval; ++i)
    if (b.dirv[i].dof > cls) planes.push_back(b.dirv[i].dof);
  add(out, "loads on nodes that no element uses", "nodes", loads);
  add(out, "body forces on elements that are not area elements of the mesh", "elements", bodies);
  add(out, "edge tractions along two nodes that are not a side of their element", "elements", edges);
  add(out, "edge tractions naming a traction set that is not given", "elements", edge_sets);
  add(out, "edge tractions along beams are not supported", "elements", beam_edges);
  add(out, "Dirichlet planes for a degree of freedom the nodes do not have", "d.o.f.", planes);
  if (b.unusable > 0)
    out.push_back(std::to_string(b.unusable) + " load or Dirichlet line" + (b.unusable > 1 ? "s" : "") +
                  " of Part B naming no node, load type or axis that can be used, or past the "
                  "eighth Dirichlet value set");
  if (cls == 1 && (b.nload > 0 || b.nbset > 0 || b.npset > 0))
    out.push_back("loads (nodal, body or traction) are not taken in a Poisson problem");
  if (b.nbdry > 0)
    out.push_back(m.ndofn == -2 ? "excavation boundary sets are not supported"
                                : "radiating boundary sets are not supported");
  if (b.dtint != 0.0 || b.ftime != 0.0 || b.allow != 0.0 || b.theta != 0.0 || b.ttend != 0.0)
    out.push_back("timestepping is not supported: the analysis is static");
}

}  // namespace

std::string naming(const std::string& what, const char* noun, const std::vector<int>& items) {
  std::string s = what + ": " + noun;
  const size_t shown = std::min<size_t>(items.size(), 10);
  for (size_t i = 0; i < shown; ++i) {
    if (i > 0) s += i + 1 == shown && items.size() == shown ? " and" : ",";
    s += " " + std::to_string(items[i]);
  }
  if (items.size() > shown) s += " and " + std::to_string(items.size() - shown) + " more";
  return s;
}

std::vector<std::string> refusals(const SolveProblem& p, std::vector<std::string>& notes) {
  std::vector<std::string> out;
  check_elements(p, out);
  check_properties(p, out, notes);
  if (!p.has_part_b) {
    out.push_back("the file has no Part B: nothing loads or holds the mesh");
    return out;
  }
  check_nodes(p, out);
  check_part_b(p, out);
  return out;
}

}  // namespace vortan
