#include "mesh_boundary.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "deformed_mesh.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"

namespace vortan {

namespace {

// Node step along side `side` of an element of type `type`: 2 for a
// quadratic side (corner, midside, corner), 1 for a straight side.
int node_step(int type, int side) {
  switch (type) {
    case 3:
    case 5:
    case 6:
    case 11:
    case 12:
      return 1;
    case 10:  // 5-node infinite element: only its first side is quadratic
      return side >= 2 ? 1 : 2;
    case 8:  // 6-node thin element: straight ends on sides 2 and 4
      return side == 2 || side == 4 ? 1 : 2;
    default:
      return 2;
  }
}

// Local position p counted on cyclically round an element of nn nodes.
int cyclic(int p, int nn) { return (p - 1) % nn + 1; }

// The node whose list holds the side (a, mid, b): its midside node when it
// has one, else its lower end.
int edge_key_node(int a, int mid, int b) { return mid != 0 ? mid : std::min(a, b); }

// The stored edge matching the side (a, mid, b), 0 when there is none.
// Straight sides match by their two ends in either order, quadratic sides
// by their midside node. Only the edges of the side's key node are looked at.
int find_edge(const PlotWork& w, int a, int mid, int b) {
  for (int k = w.edge_head(edge_key_node(a, mid, b)); k != 0; k = w.edge_next(k)) {
    const int* e = w.edges.row(k);
    if (mid == 0) {
      if (e[3] != 0) continue;
      const int p = e[1], q = e[2];
      if ((p == a && q == b) || (p == b && q == a)) return k;
    } else if (e[3] != 0 && e[2] == mid) {
      return k;
    }
  }
  return 0;
}

// Stores the side (a, mid, b) as edge k, a boundary edge until a second
// element shares it.
void store_edge(PlotWork& w, int k, int a, int mid, int b) {
  int* e = w.edges.row_to_fill(k);
  e[1] = a;
  e[2] = mid != 0 ? mid : b;
  e[3] = mid != 0 ? b : 0;
  w.edge_flags(k) = 1;
  const int key = edge_key_node(a, mid, b);
  w.edge_next(k) = w.edge_head(key);
  w.edge_head(key) = k;
}

bool edge_inside(const MeshModel& m, const PlotWork& w, int k, const MeshWindow& frame) {
  const int* e = w.edges.row(k);
  const int count = e[3] != 0 ? 3 : 2;
  for (int j = 1; j <= count; ++j) {
    const double* p = m.coord.row(e[j]);
    if (!frame.holds(p[1], p[2])) return false;
  }
  return true;
}

void draw_edge(const MeshModel& m, const PlotWork& w, int k) {
  const int* e = w.edges.row(k);
  const double* pa = m.coord.row(e[1]);
  if (e[3] == 0) {
    const double* pb = m.coord.row(e[2]);
    JOINP1(pa[1], pa[2], pb[1], pb[2]);
    return;
  }
  const double* pm = m.coord.row(e[2]);
  const double* pb = m.coord.row(e[3]);
  const double xs[3] = {pa[1], pm[1], pb[1]};
  const double ys[3] = {pa[2], pm[2], pb[2]};
  // Three nodes nearly in line make a straight edge from end to end.
  if (std::fabs((ys[1] - ys[0]) * (xs[2] - xs[0]) - (ys[2] - ys[0]) * (xs[1] - xs[0])) < 1.0e-4)
    JOINP1(xs[0], ys[0], xs[2], ys[2]);
  else
    LCURV(xs, ys);
}

}  // namespace

int boundary_edges(const MeshModel& m, PlotWork& w) {
  w.edge_flags.fill(1);
  w.edges.fill(0);
  w.edge_head.fill(0);
  int count = 0;
  const int nelem = m.nelem;
  int key = -1, type = 0;  // the last element's type, most often the next one's too
  for (int e = 1; e <= nelem; ++e) {
    const int nn = m.nnode(e), ns = std::abs(m.nside(e));
    if (element_key(nn, ns) != key) {
      key = element_key(nn, ns);
      type = element_type_code(key);
    }
    if (type == 0) {
      PUTERR("Element has no recognized type!");
      return -1;
    }
    if (type < 5 || type > 12) continue;  // bars, joints and rockbolts
    const int* nodes = m.lnods.row(e);
    int start = 1, step = 0;
    for (int side = 1; side <= ns; ++side) {
      if (side > 1) {
        start += step;
        if (side == 3 && type >= 10) ++start;
        if (type == 11) ++start;
      }
      step = node_step(type, side);
      if (start > nn) {
        PUTERR("Nnode exceeded!");
        continue;
      }
      const int a = nodes[start];
      const int mid = step == 2 ? nodes[cyclic(start + 1, nn)] : 0;
      const int b = nodes[cyclic(start + step, nn)];
      // A side through a node the mesh does not have cannot be drawn.
      if (!valid_node(m, a) || !valid_node(m, b) || (step == 2 && !valid_node(m, mid))) continue;
      const int k = find_edge(w, a, mid, b);
      if (k != 0) {
        w.edge_flags(k) = 0;
        continue;
      }
      if (count == MEDGE) {
        WRLINE("Error: mesh has too many edges - max = " + std::to_string(MEDGE));
        WRLINE("Increase parameter medge and recompile.");
        return -1;
      }
      store_edge(w, ++count, a, mid, b);
    }
  }
  return count;
}

int PLBDRY(const MeshModel& m, PlotWork& w, const MeshWindow& frame, bool zoomed, bool clear) {
  const bool screen = !ps_mode();
  if (screen) {
    plat().mouse_show(false);
    if (clear) fill_frame(frame, 7);
  }
  const int count = boundary_edges(m, w);
  if (count > 0) {
    SETCOL(8);
    for (int k = 1; k <= count; ++k) {
      if (w.edge_flags(k) != 1) continue;
      if (zoomed && !edge_inside(m, w, k, frame)) continue;
      draw_edge(m, w, k);
    }
  }
  if (screen) plat().mouse_show(true);
  return count;
}

}  // namespace vortan
