#include "triangulate.h"

#include <algorithm>

#include "help_screens.h"
#include "mesh_display.h"
#include "prompts.h"

namespace vortan {

namespace {

// Cuts along the shorter diagonal; on a tie (within the tolerance) the cut
// runs from the first corner.
constexpr double TOLERANCE = 0.0001;

double distance2(const MeshModel& m, int a, int b) {
  const double dx = m.coord(a, 1) - m.coord(b, 1), dy = m.coord(a, 2) - m.coord(b, 2);
  return dx * dx + dy * dy;
}

void set_nodes(MeshModel& m, int e, std::initializer_list<int> nodes) {
  for (int k = 1; k <= MNODE; ++k) m.lnods(e, k) = 0;
  int k = 0;
  for (int n : nodes) m.lnods(e, ++k) = n;
  m.nnode(e) = k;
  m.nside(e) = 3;
}

void unmark_all(MeshModel& m) {
  for (int e = 1; e <= m.nelem; ++e) m.nside(e) = std::abs(m.nside(e));
}

}  // namespace

void cut_marked(MeshModel& m) {
  const int nelem0 = m.nelem;
  for (int e = 1; e <= nelem0; ++e) {
    if (m.nside(e) >= 0) continue;
    m.nside(e) = -m.nside(e);
    const int type = element_type_code(element_key(m.nnode(e), m.nside(e)));
    if (type == 0) {
      OUTGI("Error: unknown element ", e);
      continue;
    }
    if (type != 6 && type != 9) continue;
    if (m.nelem >= MELEM) {
      PUTERR("Reached max. no. of elements!");
      SLEEPZ(0.2);
      unmark_all(m);
      return;
    }
    // The centre node of an 8-noded quadrilateral needs room too; it is
    // tested before the new triangle is counted, so that a stop never
    // leaves an element without nodes.
    if (type == 9 && m.npoin >= MPOIN) {
      PUTERR("Reached max. no. of nodes!");
      OUTGI("Processing element ", e);
      unmark_all(m);
      return;
    }
    const int f = ++m.nelem;
    m.matset(f) = m.matset(e);
    m.mattyp(f) = m.mattyp(e);
    int n[MNODE + 1];
    for (int k = 1; k <= MNODE; ++k) n[k] = m.lnods(e, k);
    if (type == 6) {
      if (distance2(m, n[2], n[4]) + TOLERANCE >= distance2(m, n[1], n[3])) {
        set_nodes(m, e, {n[1], n[2], n[3]});
        set_nodes(m, f, {n[3], n[4], n[1]});
      } else {
        set_nodes(m, e, {n[1], n[2], n[4]});
        set_nodes(m, f, {n[2], n[3], n[4]});
      }
      continue;
    }
    // 8-noded quadrilateral: a new node at s = t = 0.
    double v[MNODE];
    SHAPE(0.0, 0.0, 84, v);
    const int c = ++m.npoin;
    m.coord(c, 1) = m.coord(c, 2) = 0.0;
    for (int k = 1; k <= 8; ++k) {
      m.coord(c, 1) += v[k - 1] * m.coord(n[k], 1);
      m.coord(c, 2) += v[k - 1] * m.coord(n[k], 2);
    }
    m.kode(c) = 0;
    m.ndof(c) = m.ndof(n[2]);
    if (distance2(m, n[3], n[7]) + TOLERANCE >= distance2(m, n[1], n[5])) {
      set_nodes(m, e, {n[1], n[2], n[3], n[4], n[5], c});
      set_nodes(m, f, {n[1], c, n[5], n[6], n[7], n[8]});
    } else {
      set_nodes(m, e, {n[1], n[2], n[3], c, n[7], n[8]});
      set_nodes(m, f, {n[7], c, n[3], n[4], n[5], n[6]});
    }
  }
}

void TRIANG(MeshModel& m, Table1<int, MELEM>& marks) {
  const int nelem = m.nelem;
  bool whole = true;
  if (m.ndofn < 1) {
    char answer;
    while ((answer = YESNOH("Do you want to triangulate the whole mesh?")) == 'h') HPTRIR();
    whole = answer == 'y';
  }
  if (whole) {
    for (int e = 1; e <= nelem; ++e) m.nside(e) = -std::abs(m.nside(e));
  } else {
    // The picker keeps its selection in a table of its own; the chosen
    // elements are then marked for cutting.
    marks.fill(0);
    CENTRD(m);
    if (PICKLL(m, marks, WHOLE_PLANE) == 0) {
      PUTERR("No elements selected.");
      SLEEPZ(0.1);
      return;
    }
    for (int e = 1; e <= nelem; ++e)
      if (marks(e) < 0) m.nside(e) = -std::abs(m.nside(e));
  }
  cut_marked(m);
}

}  // namespace vortan
