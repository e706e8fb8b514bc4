#include "double_mesh.h"

#include <algorithm>

#include "mesh_display.h"
#include "platform/platform.h"
#include "prompts.h"

namespace vortan {

namespace {

bool key_less(const DoublingWork::Key& a, const DoublingWork::Key& b) {
  if (a.x != b.x) return a.x < b.x;
  if (a.y != b.y) return a.y < b.y;
  return a.node < b.node;
}

// The first old node (lowest number) whose truncated coordinates are
// (tx, ty); 0 when there is none.
int first_at(const DoublingWork& w, int count, long tx, long ty) {
  const DoublingWork::Key probe{tx, ty, 0};
  auto it = std::lower_bound(w.sorted.begin(), w.sorted.begin() + count, probe, key_less);
  if (it == w.sorted.begin() + count || it->x != tx || it->y != ty) return 0;
  return it->node;
}

// Position in the old element of the copy's node k, so that a mirrored copy
// runs anticlockwise again and starts at a corner.
int mirrored_position(int nnode, int nside, int k) {
  if (nside == 1) return k;
  if (nside == 2 && nnode == 6) return k <= 3 ? k + 3 : k - 3;
  if (nside == 2 && nnode == 3) {
    static const int p[] = {0, 1, 3, 2};
    return p[k];
  }
  if (nside == 3 && nnode == 4) {
    static const int p[] = {0, 2, 1, 4, 3};
    return p[k];
  }
  if (nside == 2 && nnode == 4) {
    static const int p[] = {0, 3, 4, 1, 2};
    return p[k];
  }
  if (k <= 3) return 4 - k;
  return nnode + 4 - k;
}

// What one doubling does: the axis it runs along (1 x, 2 y), the mesh's
// extreme on the side of the copy (e1) and on the other side (e0), and the
// truncated coordinate of the seam.
struct Doubling {
  int npoin, nelem;
  int axis;
  double e1, e0;
  bool reflect;
  long seam;
  double image(double q) const { return reflect ? 2.0 * e1 - q : q + (e1 - e0); }
};

Doubling plan(const MeshModel& m, DoublingType type, DoublingDirection direction) {
  Doubling d{m.npoin, m.nelem, 1, 0, 0, type == DoublingType::Reflection, 0};
  double xmin, xmax, ymin, ymax;
  BOUNDS(d.npoin, m.coord, xmin, xmax, ymin, ymax);
  switch (direction) {
    case DoublingDirection::Down: d.axis = 2, d.e1 = ymin, d.e0 = ymax; break;
    case DoublingDirection::Up: d.axis = 2, d.e1 = ymax, d.e0 = ymin; break;
    case DoublingDirection::Left: d.axis = 1, d.e1 = xmin, d.e0 = xmax; break;
    default: d.axis = 1, d.e1 = xmax, d.e0 = xmin; break;
  }
  d.seam = TRUNC(d.reflect ? d.e1 : d.e0);
  return d;
}

// A translated seam copy can only meet an old node whose truncated
// coordinate along the axis is that of the copy: those old nodes, sorted
// by their truncated coordinates, are all the search needs. Returns how
// many were sorted.
int seam_candidates(const MeshModel& m, const Doubling& d, DoublingWork& w) {
  if (d.reflect) return 0;
  long lo = 0, hi = -1;
  for (int i = 1; i <= d.npoin; ++i) {
    if (TRUNC(m.coord(i, d.axis)) != d.seam) continue;
    const long c = TRUNC(d.image(m.coord(i, d.axis)));
    if (hi < lo) lo = hi = c;
    lo = std::min(lo, c);
    hi = std::max(hi, c);
  }
  int candidates = 0;
  for (int i = 1; i <= d.npoin; ++i) {
    const long c = TRUNC(m.coord(i, d.axis));
    if (c >= lo && c <= hi)
      w.sorted[candidates++] = {TRUNC(m.coord(i, 1)), TRUNC(m.coord(i, 2)), i};
  }
  std::sort(w.sorted.begin(), w.sorted.begin() + candidates,
            [](const DoublingWork::Key& a, const DoublingWork::Key& b) { return key_less(a, b); });
  return candidates;
}

// The copies, numbered npoin + 1 ... in the order of their old nodes.
void copy_nodes(MeshModel& m, const Doubling& d, DoublingWork& w) {
  for (int i = 1; i <= d.npoin; ++i) {
    const int c = d.npoin + i;
    w.map(i) = c;
    w.owner(i) = i;
    m.coord(c, 1) = m.coord(i, 1);
    m.coord(c, 2) = m.coord(i, 2);
    m.coord(c, d.axis) = d.image(m.coord(i, d.axis));
  }
}

// The seam: a copy that lands on an old node is removed and the highest
// number in use moves into its place, so the numbers stay dense. The
// copied elements are connected through the map afterwards, so each
// removal costs the same whatever the size of the mesh. Returns the
// highest node number left.
int merge_seam(MeshModel& m, const Doubling& d, DoublingWork& w, int candidates) {
  const int npoin = d.npoin;
  int highest = 2 * npoin;
  for (int i = 1; i <= npoin; ++i) {
    if (TRUNC(m.coord(i, d.axis)) != d.seam) continue;
    const int c = w.map(i);
    const int partner =
        d.reflect ? i : first_at(w, candidates, TRUNC(m.coord(c, 1)), TRUNC(m.coord(c, 2)));
    if (partner == 0) continue;
    w.map(i) = partner;
    if (highest > c) {
      const int moved = w.owner(highest - npoin);
      m.coord(c, 1) = m.coord(highest, 1);
      m.coord(c, 2) = m.coord(highest, 2);
      w.map(moved) = c;
      w.owner(c - npoin) = moved;
    }
    m.coord(highest, 1) = m.coord(highest, 2) = 0.0;
    --highest;
  }
  return highest;
}

void copy_elements(MeshModel& m, const Doubling& d, const DoublingWork& w) {
  for (int e = 1; e <= d.nelem; ++e) {
    const int f = d.nelem + e;
    const int nn = m.nnode(e);
    m.nnode(f) = m.nnode(e);
    m.nside(f) = m.nside(e);
    m.mattyp(f) = m.mattyp(e);
    m.matset(f) = m.matset(e);
    for (int k = 1; k <= MNODE; ++k) m.lnods(f, k) = 0;
    for (int k = 1; k <= nn; ++k) {
      int p = d.reflect ? mirrored_position(nn, m.nside(e), k) : k;
      if (p < 1 || p > nn) p = k;
      const int old = m.lnods(e, p);
      m.lnods(f, k) = old >= 1 && old <= d.npoin ? w.map(old) : 0;
    }
  }
}

// Node data: a merged seam node takes the code and count of the old node
// whose copy it absorbed. The values are taken as they were before the
// call, so that a seam node that is overwritten still hands its own code
// to its copy.
void copy_node_data(MeshModel& m, const Doubling& d, DoublingWork& w, int highest) {
  for (int i = 1; i <= d.npoin; ++i) {
    w.kode0(i) = m.kode(i);
    w.ndof0(i) = m.ndof(i);
  }
  for (int i = 1; i <= d.npoin; ++i) {
    m.kode(w.map(i)) = w.kode0(i);
    m.ndof(w.map(i)) = w.ndof0(i);
  }
  for (int k = highest + 1; k <= 2 * d.npoin; ++k) m.kode(k) = 0;
}

}  // namespace

bool doubling_fits(const MeshModel& m) {
  bool fits = true;
  if (MPOIN < 2 * m.npoin) {
    PUTERR("Too many nodes to allow duplication of mesh");
    fits = false;
  }
  if (MELEM < 2 * m.nelem) {
    PUTERR("Too many elements to allow duplication of mesh");
    fits = false;
  }
  return fits;
}

void double_mesh(MeshModel& m, DoublingType type, DoublingDirection direction, DoublingWork& w) {
  const int npoin = m.npoin, nelem = m.nelem;
  if (npoin < 1 || 2 * npoin > MPOIN || nelem < 0 || 2 * nelem > MELEM) return;
  const Doubling d = plan(m, type, direction);
  const int candidates = seam_candidates(m, d, w);
  copy_nodes(m, d, w);
  const int highest = merge_seam(m, d, w, candidates);
  copy_elements(m, d, w);
  copy_node_data(m, d, w, highest);
  m.npoin = highest;
  m.nelem = 2 * nelem;
}

void DOUBLE(MeshModel& m, DoublingWork& w) {
  if (!doubling_fits(m) || m.npoin < 1) return;
  DialogSpec d;
  d.caption = "Doubling options";
  d.lines = {DialogLine{.text = "Type\tDirection", .red = true, .heads = true}};
  DialogField type;
  type.kind = DialogField::List;
  type.ivalue = 1;
  type.width = 12;
  type.column = 1;
  type.items = {"Translation", "Reflection"};
  DialogField dir = type;
  dir.column = 2;
  dir.items = {"Down", "Up", "Left", "Right"};
  d.fields = {type, dir};
  d.buttons = {"OK", "Cancel"};
  if (plat().dialog(d) != 1) return;
  const int t = std::clamp<long>(d.fields[0].ivalue, 1, 2);
  const int r = std::clamp<long>(d.fields[1].ivalue, 1, 4);
  double_mesh(m, static_cast<DoublingType>(t), static_cast<DoublingDirection>(r), w);
  SLEEPZ(2.0);
}

}  // namespace vortan
