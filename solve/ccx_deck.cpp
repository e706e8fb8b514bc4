#include "ccx_deck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "element_fields.h"

namespace vortan {

namespace {

std::string num(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.12g", v);
  return b;
}

// CalculiX's element name of an area element of type 5 to 9.
const char* ccx_type(const SolveProblem& p, int type) {
  static const char* stress[] = {"CPS3", "CPS4", "CPS6", "CPS8", "CPS8"};
  static const char* strain[] = {"CPE3", "CPE4", "CPE6", "CPE8", "CPE8"};
  return (p.plane_strain && problem_class(*p.mesh) == 2 ? strain : stress)[type - 5];
}

// Thin quadrilaterals' added midside nodes, one per short side, shared by
// the elements on either side of it.
struct AddedNodes {
  std::map<std::pair<int, int>, int> id;
  int next;
  int at(int a, int b) {
    const auto key = std::minmax(a, b);
    auto it = id.find(key);
    if (it != id.end()) return it->second;
    return id[key] = next++;
  }
};

void area_elements(const SolveProblem& p, AddedNodes& added, std::string& d) {
  const MeshModel& m = *p.mesh;
  for (int s = 1; s <= m.npros; ++s)
    for (int type = 5; type <= 9; ++type) {
      std::string lines;
      for (int e = 1; e <= m.nelem; ++e) {
        if (type_of(m, e) != type || m.matset(e) != s) continue;
        auto n = [&](int k) { return std::to_string(m.lnods(e, k)); };
        lines += std::to_string(e) + ",";
        if (type == 5 || type == 6) {
          for (int k = 1; k <= m.nnode(e); ++k) lines += (k > 1 ? "," : "") + n(k);
        } else if (type == 7) {
          lines += n(1) + "," + n(3) + "," + n(5) + "," + n(2) + "," + n(4) + "," + n(6);
        } else if (type == 9) {
          lines += n(1) + "," + n(3) + "," + n(5) + "," + n(7) + "," + n(2) + "," + n(4) + "," +
                   n(6) + "," + n(8);
        } else {  // thin: corners 1, 3, 4, 6; midsides 2, (3-4), 5, (6-1)
          const int a = added.at(m.lnods(e, 3), m.lnods(e, 4));
          const int b = added.at(m.lnods(e, 6), m.lnods(e, 1));
          lines += n(1) + "," + n(3) + "," + n(4) + "," + n(6) + "," + n(2) + "," +
                   std::to_string(a) + "," + n(5) + "," + std::to_string(b);
        }
        lines += "\n";
      }
      if (!lines.empty())
        d += std::string("*ELEMENT,TYPE=") + ccx_type(p, type) + ",ELSET=P" +
             std::to_string(s) + "\n" + lines;
    }
}

// Beams as CalculiX's U1 element: translations and rotations at its two
// nodes, its first section axis in the plane and normal to the member, so
// each beam is a set of its own. A 3-noded beam is two of them, the second
// numbered past nelem.
void beam_elements(const MeshModel& m, std::string& d, std::string& sections) {
  int extra = m.nelem;
  auto beam = [&](int id, int a, int b, int s) {
    const std::string name = "B" + std::to_string(id);
    d += "*ELEMENT,TYPE=U1,ELSET=" + name + "\n" + std::to_string(id) + "," + std::to_string(a) +
         "," + std::to_string(b) + "\n";
    const double dx = m.coord(b, 1) - m.coord(a, 1), dy = m.coord(b, 2) - m.coord(a, 2);
    const double len = std::hypot(dx, dy);
    // The same inertia about both axes; a large shear factor leaves the
    // beams of beam theory.
    const std::string inertia = num(m.props(s, 2));
    sections += "*BEAM SECTION,ELSET=" + name + ",MATERIAL=M" + std::to_string(s) +
                ",SECTION=GENERAL\n" + num(m.props(s, 3)) + "," + inertia + ",0," + inertia +
                ",1e10\n" + num(-dy / len) + "," + num(dx / len) + ",0\n";
  };
  for (int e = 1; e <= m.nelem; ++e) {
    beam(e, m.lnods(e, 1), m.lnods(e, 2), m.matset(e));
    if (m.nnode(e) == 3) beam(++extra, m.lnods(e, 2), m.lnods(e, 3), m.matset(e));
  }
}

void materials(const SolveProblem& p, std::string& d) {
  const MeshModel& m = *p.mesh;
  const int cls = problem_class(m);
  for (int s = 1; s <= m.npros; ++s) {
    bool used = false;
    for (int e = 1; e <= m.nelem && !used; ++e) used = m.matset(e) == s;
    if (!used) continue;
    const std::string set = std::to_string(s);
    d += "*MATERIAL,NAME=M" + set + "\n";
    if (cls == 1) {
      d += "*CONDUCTIVITY,TYPE=ORTHO\n" + num(m.props(s, 1)) + "," + num(m.props(s, 2)) + ",1\n";
      d += "*SOLID SECTION,ELSET=P" + set + ",MATERIAL=M" + set + "\n1\n";
    } else if (cls == 2) {
      d += "*ELASTIC\n" + num(m.props(s, 1)) + "," + num(m.props(s, 2)) + "\n";
      d += "*SOLID SECTION,ELSET=P" + set + ",MATERIAL=M" + set + "\n" + num(thickness(m, s)) + "\n";
    } else {
      d += "*ELASTIC\n" + num(m.props(s, 1)) + ",0.3\n";
    }
  }
}

void thin_ties(const MeshModel& m, const AddedNodes& added, std::string& d) {
  if (added.id.empty()) return;
  d += "*EQUATION\n";
  const int dofs[2] = {problem_class(m) == 1 ? 11 : 1, 2};
  for (const auto& [ends, id] : added.id)
    for (int k = 0; k < (problem_class(m) == 1 ? 1 : 2); ++k) {
      const std::string f = "," + std::to_string(dofs[k]) + ",";
      d += "3\n" + std::to_string(id) + f + "1," + std::to_string(ends.first) + f + "-0.5," +
           std::to_string(ends.second) + f + "-0.5\n";
    }
}

// Fixed and prescribed d.o.f. of the used nodes: a specified displacement
// prescribes both translations; a fixed d.o.f. takes the value of its
// Dirichlet plane, or 0.
void boundary(const SolveProblem& p, const std::vector<char>& used, std::string& d) {
  const MeshModel& m = *p.mesh;
  const OldPartB& b = *p.partb;
  const int cls = problem_class(m);
  std::vector<int> prescribed(m.npoin + 1, 0);
  for (int i = 1; i <= b.nload; ++i)
    if (b.ltype(i) == 2) prescribed[b.lnode(i)] = i;
  d += "*BOUNDARY\n";
  if (cls == 3) d += std::string(OUTPUT_SET) + ",3,5\n";
  for (int n = 1; n <= m.npoin; ++n) {
    if (!used[n]) continue;
    for (int k = 1; k <= cls; ++k) {
      const int dof = cls == 1 ? 11 : k == 3 ? 6 : k;
      double v = 0.0;
      if (prescribed[n] && k <= 2) v = b.lval(prescribed[n], k);
      else if (!fixed_dof(m, n, k)) continue;
      else dirichlet_value(p, n, k, v);
      const std::string f = std::to_string(dof);
      d += std::to_string(n) + "," + f + "," + f + "," + num(v) + "\n";
    }
  }
}

// Nodal forces, body forces and edge tractions as forces at the nodes.
void loads(const SolveProblem& p, std::string& d) {
  const MeshModel& m = *p.mesh;
  const OldPartB& b = *p.partb;
  NodeValues f(m.npoin + 1, {0.0, 0.0, 0.0});
  for (int i = 1; i <= b.nload; ++i)
    if (b.ltype(i) == 1)
      for (int k = 0; k < 2; ++k) f[b.lnode(i)][k] += b.lval(i, k + 1);
  for (int e = 1; e <= m.nelem; ++e) {
    const int s = b.ibody(e);
    if (s >= 1 && s <= b.nbset)
      add_body_force(m, e, b.bodyf[s][1], b.bodyf[s][2], thickness(m, m.matset(e)), f);
  }
  for (int i = 1; i <= b.nedge; ++i) {
    const int e = b.edges(i, 2), n1 = b.edges(i, 3), s1 = b.edges(i, 4), s2 = b.edges(i, 6);
    int nodes[3];
    const int count = side_nodes(m, e, n1, b.edges(i, 5), nodes);
    const int first = nodes[0] == n1 ? s1 : s2, last = nodes[0] == n1 ? s2 : s1;
    double fx[3], fy[3];
    side_traction(m, nodes, count, b.trac[first][1], b.trac[first][2], b.trac[last][1],
                  b.trac[last][2], thickness(m, m.matset(e)), fx, fy);
    for (int k = 0; k < count; ++k) f[nodes[k]][0] += fx[k], f[nodes[k]][1] += fy[k];
  }
  std::string lines;
  for (int n = 1; n <= m.npoin; ++n)
    for (int k = 0; k < 2; ++k)
      if (f[n][k] != 0.0) lines += std::to_string(n) + "," + std::to_string(k + 1) + "," + num(f[n][k]) + "\n";
  if (!lines.empty()) d += "*CLOAD\n" + lines;
}

}  // namespace

std::string ccx_deck(const SolveProblem& p) {
  const MeshModel& m = *p.mesh;
  const int cls = problem_class(m);
  const auto used = used_nodes(m);
  std::string d = "** " + title_shown(m) + "\n*NODE\n";
  std::string nset;
  int in_line = 0;
  for (int n = 1; n <= m.npoin; ++n) {
    if (!used[n]) continue;
    d += std::to_string(n) + "," + num(m.coord(n, 1)) + "," + num(m.coord(n, 2)) + "\n";
    if (in_line > 0) nset += in_line % 12 == 0 ? ",\n" : ",";
    nset += std::to_string(n);
    ++in_line;
  }
  AddedNodes added{{}, m.npoin + 1};
  std::string elements, sections;
  if (cls == 3) beam_elements(m, elements, sections);
  else area_elements(p, added, elements);
  for (const auto& [ends, id] : added.id) {  // midpoints of the thin elements' short sides
    d += std::to_string(id) + "," + num(0.5 * (m.coord(ends.first, 1) + m.coord(ends.second, 1))) +
         "," + num(0.5 * (m.coord(ends.first, 2) + m.coord(ends.second, 2))) + "\n";
  }
  if (cls == 3) d += "*USER ELEMENT,TYPE=U1,INTEGRATION POINTS=2,MAXDOF=6,NODES=2\n";
  d += elements;
  d += std::string("*NSET,NSET=") + OUTPUT_SET + "\n" + nset + "\n";
  materials(p, d);
  d += sections;
  thin_ties(m, added, d);
  boundary(p, used, d);
  d += cls == 1 ? "*STEP\n*HEAT TRANSFER,STEADY STATE\n1.,1.\n" : "*STEP\n*STATIC\n";
  if (cls != 1) loads(p, d);
  d += std::string("*NODE PRINT,NSET=") + OUTPUT_SET + "\n" + (cls == 1 ? "NT" : "U") + "\n";
  d += "*END STEP\n";
  return d;
}

}  // namespace vortan
