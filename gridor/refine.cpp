#include "refine.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "help_screens.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {

bool is_quad(int type) { return type == 6 || type == 8 || type == 9; }
bool is_strip(int type) { return type == 1 || is_quad(type); }
int sides_used(int type, int nside) { return type == 2 ? 2 : nside; }
int sign(int v) { return v < 0 ? -1 : 1; }
bool quadratic_edge(const EdgeTables& t, int ed) { return t.ledge(ed, 3) != 0; }
int last_node(const EdgeTables& t, int ed) {
  return quadratic_edge(t, ed) ? t.ledge(ed, 3) : t.ledge(ed, 2);
}
int chain_length(const EdgeTables& t, int ed) {
  return (quadratic_edge(t, ed) ? 2 : 1) * std::max(t.ndivs(ed), 1) + 1;
}

// The side of element e that lies on edge ed, 0 when none.
int side_on(const MeshModel& m, const EdgeTables& t, int e, int ed) {
  const int type = refine_type(m, e);
  for (int s = 1; s <= sides_used(type, m.nside(e)) && s <= 4; ++s)
    if (std::abs(t.lelsid(e, s)) == ed) return s;
  return 0;
}

// Node `pos` (1-based) of a side's chain, read in the element's direction.
int chain_at(const EdgeTables& t, int e, int side, int pos) {
  const int ref = t.lelsid(e, side), ed = std::abs(ref);
  return ref > 0 ? t.lchain(ed, pos) : t.lchain(ed, chain_length(t, ed) + 1 - pos);
}

// Division lengths of a side in the element's direction; an undivided side
// has the single length 2. Returns the count.
int side_weights(const EdgeTables& t, int e, int side, double* w) {
  const int ref = t.lelsid(e, side), ed = std::abs(ref);
  const int n = std::max(t.ndivs(ed), 1);
  if (n == 1) {
    w[1] = 2.0;
    return 1;
  }
  for (int j = 1; j <= n; ++j) w[j] = ref > 0 ? t.wdivs(ed, j) : t.wdivs(ed, n + 1 - j);
  return n;
}

// A point of an edge at natural coordinate s, from the starting positions.
void edge_point(const EdgeTables& t, int ed, double s, double& x, double& y) {
  double v[3];
  const int nn = quadratic_edge(t, ed) ? 3 : 2;
  SHAPE(s, 0.0, nn == 3 ? 31 : 21, v);
  x = y = 0.0;
  for (int k = 0; k < nn; ++k) {
    const int n = t.ledge(ed, k + 1);
    x += v[k] * t.coord0(n, 1);
    y += v[k] * t.coord0(n, 2);
  }
}

// A point of a quadrilateral at (s, t), from the starting positions. The
// thin quadrilateral is quadratic along s and linear along t.
void quad_point(const EdgeTables& tb, int e, int type, double s, double t, double& x,
                double& y) {
  double v[MNODE];
  int nn;
  if (type == 8) {
    double q[3], l[2];
    SHAPE(s, 0.0, 31, q);
    SHAPE(t, 0.0, 21, l);
    const double prod[6] = {q[0] * l[0], q[1] * l[0], q[2] * l[0],
                            q[2] * l[1], q[1] * l[1], q[0] * l[1]};
    std::copy(prod, prod + 6, v);
    nn = 6;
  } else {
    nn = type == 9 ? 8 : 4;
    SHAPE(s, t, type == 9 ? 84 : 44, v);
  }
  x = y = 0.0;
  for (int k = 1; k <= nn; ++k) {
    const int n = tb.lnods0(e, k);
    x += v[k - 1] * tb.coord0(n, 1);
    y += v[k - 1] * tb.coord0(n, 2);
  }
}

// A new node with fixity 0; the room has been checked beforehand.
int new_node(MeshModel& m, double x, double y, int ndof) {
  if (m.npoin >= MPOIN) return 0;
  const int n = ++m.npoin;
  m.coord(n, 1) = x;
  m.coord(n, 2) = y;
  m.kode(n) = 0;
  m.ndof(n) = ndof;
  return n;
}

// Writes element number `f` (a new one, or e itself) with the given nodes,
// the type and material of e.
void put_element(MeshModel& m, EdgeTables& t, int e, int f, const int* nodes, int count) {
  for (int k = 1; k <= MNODE; ++k) m.lnods(f, k) = k <= count ? nodes[k - 1] : 0;
  if (f != e) {
    m.nnode(f) = m.nnode(e);
    m.nside(f) = m.nside(e);
    m.mattyp(f) = m.mattyp(e);
    m.matset(f) = m.matset(e);
    t.lparnt(f) = e;
  }
}

int take_element(MeshModel& m) { return m.nelem < MELEM ? ++m.nelem : 0; }

// --- step 2b: carrying divisions across the mesh -----------------------------

// True when the two faces of a rockbolt are stored running opposite ways
// along the bolt, so that weights copied between them must be reversed to
// divide both faces at the same places.
bool bolt_faces_opposed(const EdgeTables& t, int e) {
  return sign(t.lelsid(e, 1)) * sign(t.lelsid(e, 2)) < 0;
}

void copy_weights(EdgeTables& t, int from, int to, bool reversed) {
  const int n = t.ndivs(from);
  t.ndivs(to) = n;
  for (int j = 1; j <= MDIV; ++j) t.wdivs(to, j) = 0.0;
  for (int j = 1; j <= n; ++j) t.wdivs(to, j) = reversed ? t.wdivs(from, n + 1 - j) : t.wdivs(from, j);
}

// Walks a strip of quadrilaterals and joints from element p across edge e.
bool walk_strip(const MeshModel& m, EdgeTables& t, int p, int e) {
  for (int steps = 0; steps <= t.nedge; ++steps) {
    const int type = refine_type(m, p);
    const int side = side_on(m, t, p, e);
    if (side == 0) {
      OUTGI("Error: element ", p);
      return false;
    }
    const int opp = type == 1 ? 3 - side : (side + 1) % 4 + 1;
    const int g = std::abs(t.lelsid(p, opp));
    if (g == 0 || t.ndivs(g) > 1) return true;
    const int factor = (type == 1 ? 1 : -1) * sign(t.lelsid(p, side)) * sign(t.lelsid(p, opp));
    copy_weights(t, e, g, factor < 0);
    int next = 0;
    for (int k = 1; k <= 3 && next == 0; ++k) {
      const int q = t.leledg(g, k);
      if (q != 0 && q != p && is_strip(refine_type(m, q))) next = q;
    }
    if (next == 0) return true;
    p = next;
    e = g;
  }
  return true;
}

bool propagate(const MeshModel& m, EdgeTables& t, int e) {
  for (int k = 1; k <= 3; ++k) {
    const int p = t.leledg(e, k);
    if (p == 0) continue;
    const int type = refine_type(m, p);
    if (type == 2 && std::abs(t.lelsid(p, 1)) == e) {
      const int f = std::abs(t.lelsid(p, 2));
      if (t.ndivs(f) != 0) {
        PUTERR("The rockbolt is already subdivided!");
        return false;
      }
      copy_weights(t, e, f, bolt_faces_opposed(t, p));
      if (!propagate(m, t, f)) return false;
    } else if (is_strip(type)) {
      if (!walk_strip(m, t, p, e)) return false;
    }
  }
  return true;
}

// --- step 2b: the dialogue -----------------------------------------------------

// "How many divisions?"; 0 on Cancel.
int ask_divisions() {
  for (;;) {
    DialogSpec d;
    d.lines = {DialogLine{"How many divisions?"}};
    d.fields = {integer_field("", 1, 1, MDIV, 5)};
    d.buttons = {"OK", "Cancel"};
    if (plat().dialog(d) != 1) return 0;
    const long n = d.fields[0].ivalue;
    if (n >= 1 && n <= MDIV) return static_cast<int>(n);
  }
}

// The weights dialog; false on Cancel.
bool ask_weights(const EdgeTables& t, int ed, int count, double* w) {
  for (;;) {
    DialogSpec d;
    d.lines = {DialogLine{"Now fill in weights along edge", true},
               DialogLine{"from node " + fmt_I(t.ledge(ed, 1), 5) + " to node " +
                          fmt_I(last_node(t, ed), 5) + ":"}};
    for (int j = 1; j <= count; ++j) {
      d.fields.push_back(real_field("Weight" + std::to_string(j) + " =", 1.0, 5));
    }
    d.buttons = {"OK", "Cancel"};
    if (plat().dialog(d) != 1) return false;
    int bad = 0;
    for (int j = 1; j <= count && bad == 0; ++j)
      if (!(d.fields[j - 1].rvalue > 0.0)) bad = j;
    if (bad == 0) {
      for (int j = 1; j <= count; ++j) w[j] = d.fields[j - 1].rvalue;
      return true;
    }
    OUTGI("Error: Non-positive weight", bad);
    SLEEPZ(0.4);
  }
}

// A cross at every division point of every divided edge.
void mark_divisions(const EdgeTables& t) {
  SETCOL(14);
  const double half = 0.005 * std::max(plot_state().width, plot_state().height);
  for (int ed = 1; ed <= t.nedge; ++ed) {
    double s = -1.0;
    for (int k = 1; k < t.ndivs(ed); ++k) {
      s += t.wdivs(ed, k);
      double x, y;
      edge_point(t, ed, s, x, y);
      MARPT(x, y, half);
    }
  }
  SETCOL(15);
  plat().graphics_update();
}

void pick_edges(const MeshModel& m, EdgeTables& t, const MeshWindow& view) {
  for (;;) {
    const int a = PICKNZ(m, "Click on one end-node of an edge to subdivide, or End:", view);
    if (a == 0) return;
    const int b = PICKNZ(m, "Now click on other end-node of edge:", view);
    if (b == 0) {
      TELL("Click End again to end ...");
      continue;
    }
    const int ed = find_edge(t, a, b);
    if (ed == 0 || t.ndivs(ed) > 1) {
      BEEPZ();
      PUTERR(ed == 0 ? "This is not an edge - try again!"
                     : "This edge has already been subdivided - try again!");
      SLEEPZ(0.4);
      continue;
    }
    // Colour 1 is the drawing background here, so the picked nodes are
    // labelled in the highlight colour.
    LABNDE(m, a, 14);
    LABNDE(m, b, 14);
    const int count = ask_divisions();
    if (count == 0) continue;
    double w[MDIV + 1];
    if (YESNOG("Do you want equal divisions?") == 'y') {
      for (int j = 1; j <= count; ++j) w[j] = 1.0;
    } else if (count == 1 || !ask_weights(t, ed, count, w)) {
      continue;
    }
    if (!divide_edge(m, t, ed, count, w)) continue;
    mark_divisions(t);
  }
}

// --- steps 3 to 7 -------------------------------------------------------------

int ndof_inside(const MeshModel& m, const EdgeTables& t, int e, bool corner) {
  const int mt = m.mattyp(e);
  if (mt >= 1 && mt <= 9) return corner ? t.ndofc[mt] : t.ndofm[mt];
  return std::abs(m.ndofn);
}

// Whether a quadrilateral's opposite sides carry the same divisions, and a
// triangle's sides are all halved: otherwise the element cannot be rebuilt
// from its chains and is left as it is.
bool sides_agree(const EdgeTables& t, int e, int type) {
  auto n = [&](int s) { return std::max(t.ndivs(std::abs(t.lelsid(e, s))), 1); };
  if (is_quad(type)) return n(1) == n(3) && n(2) == n(4);
  if (type == 1 || type == 2) return n(1) == n(2);
  if (type == 5 || type == 7) return n(1) == 2 && n(2) == 2 && n(3) == 2;
  return true;
}

// Nodes made inside element e and elements added for it.
void element_growth(const MeshModel& m, const EdgeTables& t, int e, int mode, int& nodes,
                    int& elems) {
  nodes = elems = 0;
  const int type = refine_type(m, e);
  auto n = [&](int s) { return std::max(t.ndivs(std::abs(t.lelsid(e, s))), 1); };
  if (type == 11 || type == 13 || !sides_agree(t, e, type)) return;
  if (type >= 1 && type <= 4) {
    elems = n(1) - 1;
  } else if (type == 10 || type == 12) {
    elems = nodes = n(1) - 1;
  } else if (is_quad(type)) {
    const int nc = n(1), nr = n(2);
    if (nc <= 1 && nr <= 1) return;
    elems = nc * nr - 1;
    nodes = (nc - 1) * (nr - 1);
    if (type == 8 || type == 9) nodes += nc * (nr - 1);
    if (type == 9) nodes += (nc - 1) * nr;
  } else if ((type == 5 || type == 7) && mode == AUTOMATIC) {
    elems = 3;
    nodes = type == 7 ? 3 : 0;
  }
}

// Step 3: the chain of nodes along every edge.
void subdivide_edges(MeshModel& m, EdgeTables& t) {
  for (int ed = 1; ed <= t.nedge; ++ed) {
    for (int k = 1; k <= 2 * MDIV + 1; ++k) t.lchain(ed, k) = 0;
    const bool quad = quadratic_edge(t, ed);
    const int a = t.ledge(ed, 1), b = last_node(t, ed), mid = quad ? t.ledge(ed, 2) : 0;
    const int n = t.ndivs(ed);
    if (n <= 1) {
      t.ndivs(ed) = 1;
      t.lchain(ed, 1) = a;
      if (quad) t.lchain(ed, 2) = mid;
      t.lchain(ed, quad ? 3 : 2) = b;
      continue;
    }
    const int corner_dof = std::min(m.ndof(a), m.ndof(b));
    const int mid_dof = quad ? m.ndof(mid) : corner_dof;
    int pos = 1;
    t.lchain(ed, pos) = a;
    double s = -1.0, x, y;
    for (int k = 1; k < n; ++k) {
      const double w = t.wdivs(ed, k);
      if (quad) {
        edge_point(t, ed, s + w / 2, x, y);
        t.lchain(ed, ++pos) = new_node(m, x, y, mid_dof);
      }
      edge_point(t, ed, s + w, x, y);
      t.lchain(ed, ++pos) = new_node(m, x, y, corner_dof);
      s += w;
    }
    if (quad) {
      // The old midside node becomes the midside node of the last division.
      edge_point(t, ed, (s + 1.0) / 2, x, y);
      m.coord(mid, 1) = x;
      m.coord(mid, 2) = y;
      t.lchain(ed, ++pos) = mid;
    }
    t.lchain(ed, ++pos) = b;
  }
}

void rebuild_line(MeshModel& m, EdgeTables& t, int e, int type) {
  const int n = t.ndivs(std::abs(t.lelsid(e, 1)));
  if (n < 2) return;
  const int k = type == 3 ? 1 : 2;
  for (int j = 1; j <= n; ++j) {
    int nodes[MNODE], c = 0;
    for (int i = 0; i <= k; ++i) nodes[c++] = chain_at(t, e, 1, k * (j - 1) + 1 + i);
    if (type <= 2)
      for (int i = 0; i <= k; ++i) nodes[c++] = chain_at(t, e, 2, k * (j - 1) + 1 + i);
    const int f = j == n ? e : take_element(m);
    put_element(m, t, e, f, nodes, c);
  }
}

void rebuild_infinite(MeshModel& m, EdgeTables& t, int e, int type) {
  double w[MDIV + 1];
  const int n = side_weights(t, e, 1, w);
  if (n < 2) return;
  const int k = type == 10 ? 2 : 1;
  auto x0 = [&](int local, int c) { return t.coord0(t.lnods0(e, local), c); };
  int previous = t.lnods0(e, k + 3);
  double s = -1.0;
  for (int j = 1; j <= n; ++j) {
    s += w[j];
    int outer = t.lnods0(e, k + 2);
    if (j < n) {
      double p[3];
      for (int c = 1; c <= 2; ++c) {
        p[c] = 0.5 * (1 - s) * x0(k + 3, c) + 0.5 * (1 + s) * x0(k + 2, c);
        if (type == 10) p[c] += (1 - s * s) * (2 * x0(2, c) - x0(1, c) - x0(3, c));
      }
      outer = new_node(m, p[1], p[2], ndof_inside(m, t, e, true));
    }
    int nodes[MNODE], c = 0;
    for (int i = 0; i <= k; ++i) nodes[c++] = chain_at(t, e, 1, k * (j - 1) + 1 + i);
    nodes[c++] = outer;
    nodes[c++] = previous;
    const int f = j == n ? e : take_element(m);
    put_element(m, t, e, f, nodes, c);
    previous = outer;
  }
}

void rebuild_quad(MeshModel& m, EdgeTables& t, int e, int type) {
  double ws[MDIV + 1], wt[MDIV + 1];
  const int nc = side_weights(t, e, 1, ws), nr = side_weights(t, e, 2, wt);
  if (nc <= 1 && nr <= 1) return;
  const int k1 = type == 6 ? 1 : 2, k2 = type == 9 ? 2 : 1;
  const int ni = k1 * nc, nj = k2 * nr;
  int g[2 * MDIV + 1][2 * MDIV + 1] = {};
  for (int i = 0; i <= ni; ++i) {
    g[i][0] = chain_at(t, e, 1, i + 1);
    g[i][nj] = chain_at(t, e, 3, ni - i + 1);
  }
  for (int j = 0; j <= nj; ++j) {
    g[ni][j] = chain_at(t, e, 2, j + 1);
    g[0][j] = chain_at(t, e, 4, nj - j + 1);
  }
  const int corner = ndof_inside(m, t, e, true), midside = ndof_inside(m, t, e, false);
  double x, y, tt = -1.0;
  for (int r = 1; r <= nr; ++r) {
    double s = -1.0;
    for (int c = 1; c <= nc; ++c) {
      const double a = ws[c], b = wt[r];
      if (type == 9 && c < nc) {
        quad_point(t, e, type, s + a, r == nr ? (tt + 1) / 2 : tt + b / 2, x, y);
        g[2 * c][2 * r - 1] = new_node(m, x, y, midside);
      }
      if (c < nc && r < nr) {
        quad_point(t, e, type, s + a, tt + b, x, y);
        g[k1 * c][k2 * r] = new_node(m, x, y, corner);
      }
      if (type != 6 && r < nr) {
        quad_point(t, e, type, c == nc ? (s + 1) / 2 : s + a / 2, tt + b, x, y);
        g[2 * c - 1][k2 * r] = new_node(m, x, y, midside);
      }
      s += a;
    }
    tt += wt[r];
  }
  for (int r = 1; r <= nr; ++r)
    for (int c = 1; c <= nc; ++c) {
      const int i0 = k1 * (c - 1), i1 = k1 * c, j0 = k2 * (r - 1), j1 = k2 * r;
      int nodes[MNODE], n = 0;
      if (type == 6) {
        for (int v : {g[i0][j0], g[i1][j0], g[i1][j1], g[i0][j1]}) nodes[n++] = v;
      } else if (type == 8) {
        for (int v : {g[i0][j0], g[i0 + 1][j0], g[i1][j0], g[i1][j1], g[i0 + 1][j1], g[i0][j1]})
          nodes[n++] = v;
      } else {
        for (int v : {g[i0][j0], g[i0 + 1][j0], g[i1][j0], g[i1][j0 + 1], g[i1][j1],
                      g[i0 + 1][j1], g[i0][j1], g[i0][j0 + 1]})
          nodes[n++] = v;
      }
      const int f = r == nr && c == nc ? e : take_element(m);
      put_element(m, t, e, f, nodes, n);
    }
}

void rebuild_triangle(MeshModel& m, EdgeTables& t, int e, int type) {
  if (type == 5) {
    const int n1 = t.lnods0(e, 1), n2 = t.lnods0(e, 2), n3 = t.lnods0(e, 3);
    const int m1 = chain_at(t, e, 1, 2), m2 = chain_at(t, e, 2, 2), m3 = chain_at(t, e, 3, 2);
    const int corners[3][3] = {{n1, m1, m3}, {n2, m2, m1}, {n3, m3, m2}};
    for (const auto& c : corners) put_element(m, t, e, take_element(m), c, 3);
    const int middle[3] = {m1, m2, m3};
    put_element(m, t, e, e, middle, 3);
    return;
  }
  const int n1 = t.lnods0(e, 1), n3 = t.lnods0(e, 3), n5 = t.lnods0(e, 5);
  auto q = [&](int side, int pos) { return chain_at(t, e, side, pos); };
  const int m1 = q(1, 3), m2 = q(2, 3), m3 = q(3, 3);
  auto inner = [&](int la, int lb) {
    const int a = t.lnods0(e, la), b = t.lnods0(e, lb);
    return new_node(m, 0.5 * (t.coord0(a, 1) + t.coord0(b, 1)),
                    0.5 * (t.coord0(a, 2) + t.coord0(b, 2)), ndof_inside(m, t, e, false));
  };
  const int a = inner(2, 4), b = inner(4, 6), c = inner(2, 6);
  const int corners[3][6] = {{n1, q(1, 2), m1, c, m3, q(3, 4)},
                             {n3, q(2, 2), m2, a, m1, q(1, 4)},
                             {n5, q(3, 2), m3, b, m2, q(2, 4)}};
  for (const auto& k : corners) put_element(m, t, e, take_element(m), k, 6);
  const int middle[6] = {m1, a, m2, b, m3, c};
  put_element(m, t, e, e, middle, 6);
}

// Step 5: a d.o.f. fixed at both ends of an edge is fixed along it.
void edge_fixities(MeshModel& m, const EdgeTables& t) {
  for (int ed = 1; ed <= t.nedge; ++ed) {
    const int len = chain_length(t, ed);
    const int a = t.lchain(ed, 1), b = t.lchain(ed, len);
    int sum = m.kode(a) + m.kode(b), common = 0;
    for (int place = 1; sum > 0; sum /= 10, place *= 10)
      if (sum % 10 == 2) common += place;
    if (common == 0) continue;
    for (int pos = 2; pos < len; ++pos) {
      const int n = t.lchain(ed, pos);
      int code = common;
      for (int d = m.ndof(n); d < m.ndof(a); ++d) code /= 10;
      m.kode(n) = code;
    }
  }
}

// Step 6: the boundary, edge by edge.
void boundary_chains(const MeshModel& m, EdgeTables& t) {
  const int npoin = m.npoin;
  for (int n = 1; n <= MPOIN; ++n) t.nextbd(n) = 0;
  for (int ed = 1; ed <= t.nedge; ++ed) {
    if (t.leledg(ed, 2) != 0) continue;
    const int len = chain_length(t, ed);
    for (int pos = 1; pos < len; ++pos) t.nextbd(t.lchain(ed, pos)) = t.lchain(ed, pos + 1);
  }
  // The first boundary edge starting at each node is rewritten as (first
  // node, nodes on its chain, 1 linear or 2 quadratic).
  for (int n = 1; n <= npoin; ++n) t.keyed(n) = 0;
  for (int ed = 1; ed <= t.nedge; ++ed) {
    if (t.leledg(ed, 2) != 0) continue;
    const int start = t.lchain(ed, 1);
    if (start < 1 || start > npoin || t.keyed(start) != 0) continue;
    t.keyed(start) = ed;
    const int len = chain_length(t, ed), kind = quadratic_edge(t, ed) ? 2 : 1;
    t.ledge(ed, 1) = start;
    t.ledge(ed, 2) = len;
    t.ledge(ed, 3) = kind;
  }
}

}  // namespace

int refine_type(const MeshModel& m, int e) {
  return element_type_code(element_key(m.nnode(e), m.nside(e)));
}

int side_steps(int type, int side) {
  if (type == 3 || type == 5 || type == 6 || type >= 11) return 1;
  if (type == 10 && (side == 2 || side == 3)) return 1;
  if (type == 8 && (side == 2 || side == 4)) return 1;
  return 2;
}

int side_start(int type, int side) {
  int start = 1;
  for (int k = 2; k <= side; ++k) {
    start += side_steps(type, k - 1);
    if (type == 1 || type == 2) ++start;
    if (k == 3 && type >= 10) ++start;
    if (type == 11 || type == 13) ++start;
  }
  return start;
}

namespace {

// Enters side s of element e (first node index `first`, `steps` steps) in
// the edge table: on the edge it shares with an element met before, or on
// a new edge. False (with its message) when the edge table is full.
bool enter_side(const MeshModel& m, EdgeTables& t, int e, int s, int first, int steps) {
  const int nn = m.nnode(e);
  int nodes[3] = {0, 0, 0};
  for (int i = 0; i <= steps; ++i) nodes[i] = m.lnods(e, (first - 1 + i) % nn + 1);
  const int a = nodes[0], mid = steps == 2 ? nodes[1] : 0, b = nodes[steps];
  const int key = steps == 2 ? mid : std::min(a, b);
  int found = 0, sgn = 1;
  for (int ed = t.keyed(key); ed != 0 && found == 0; ed = t.next_keyed(ed)) {
    if (steps == 2) {
      if (quadratic_edge(t, ed) && t.ledge(ed, 2) == mid)
        found = ed, sgn = t.ledge(ed, 1) == a ? 1 : -1;
    } else if (!quadratic_edge(t, ed)) {
      if (t.ledge(ed, 1) == a && t.ledge(ed, 2) == b) found = ed, sgn = 1;
      else if (t.ledge(ed, 1) == b && t.ledge(ed, 2) == a) found = ed, sgn = -1;
    }
  }
  if (found != 0) {
    t.lelsid(e, s) = sgn * found;
    // A fourth element on one edge is not listed: three slots are kept.
    for (int k = 1; k <= 3; ++k)
      if (t.leledg(found, k) == 0) {
        t.leledg(found, k) = e;
        break;
      }
    return true;
  }
  if (t.nedge >= MEDGE) {
    PUTERR("Mesh has too many edges!");
    return false;
  }
  const int ed = ++t.nedge;
  t.ledge(ed, 1) = a;
  t.ledge(ed, 2) = steps == 2 ? mid : b;
  t.ledge(ed, 3) = steps == 2 ? b : 0;
  t.leledg(ed, 1) = e;
  t.leledg(ed, 2) = t.leledg(ed, 3) = 0;
  t.ndivs(ed) = 0;
  for (int j = 1; j <= MDIV; ++j) t.wdivs(ed, j) = 0.0;
  t.next_keyed(ed) = t.keyed(key);
  t.keyed(key) = ed;
  t.lelsid(e, s) = ed;
  return true;
}

}  // namespace

bool build_edges(const MeshModel& m, EdgeTables& t) {
  const int nelem = m.nelem, npoin = m.npoin;
  t.ndofc.fill(1);
  t.ndofm.fill(1);
  t.nedge = 0;
  for (int n = 1; n <= npoin; ++n) {
    t.coord0(n, 1) = m.coord(n, 1);
    t.coord0(n, 2) = m.coord(n, 2);
    t.keyed(n) = 0;
  }
  for (int e = 1; e <= nelem; ++e) {
    const int type = refine_type(m, e);
    if (type == 0) {
      PUTERR("Element has no recognized type!");
      OUTGI("Problem occurred in element ", e);
      return false;
    }
    for (int k = 1; k <= m.nnode(e); ++k) {
      const int n = m.lnods(e, k);
      if (n < 1 || n > npoin) {
        PUTERR("Element has no recognized type!");
        OUTGI("Problem occurred in element ", e);
        return false;
      }
    }
  }
  for (int e = 1; e <= nelem; ++e) {
    const int type = refine_type(m, e), nn = m.nnode(e);
    for (int k = 1; k <= MNODE; ++k) t.lnods0(e, k) = m.lnods(e, k);
    const int mt = m.mattyp(e);
    if (mt >= 1 && mt <= 9) {
      t.ndofc[mt] = m.ndof(m.lnods(e, 1));
      t.ndofm[mt] = m.ndof(m.lnods(e, std::min(2, nn)));
    }
    t.lparnt(e) = e;
    for (int s = 1; s <= 4; ++s) t.lelsid(e, s) = 0;
    for (int s = 1; s <= sides_used(type, m.nside(e)); ++s) {
      const int first = side_start(type, s), steps = side_steps(type, s);
      if (first > nn) {
        PUTERR("Error: nnode exceeded!");
        OUTGI("Problem occurred in element ", e);
        continue;
      }
      if (!enter_side(m, t, e, s, first, steps)) return false;
    }
  }
  return true;
}

void divide_all(const MeshModel& m, EdgeTables& t) {
  for (int ed = 1; ed <= t.nedge; ++ed) {
    t.ndivs(ed) = 2;
    for (int j = 1; j <= MDIV; ++j) t.wdivs(ed, j) = j <= 2 ? 1.0 : 0.0;
  }
  for (int e = 1; e <= m.nelem; ++e) {
    const int type = refine_type(m, e);
    if (type != 10 && type != 12 && type != 13) continue;
    for (int s = type == 13 ? 1 : 2; s <= m.nside(e); ++s) {
      const int ed = std::abs(t.lelsid(e, s));
      if (ed == 0) continue;
      t.ndivs(ed) = 0;
      for (int j = 1; j <= MDIV; ++j) t.wdivs(ed, j) = 0.0;
    }
  }
}

int find_edge(const EdgeTables& t, int a, int b) {
  for (int ed = 1; ed <= t.nedge; ++ed) {
    const int f = t.ledge(ed, 1), l = last_node(t, ed);
    if ((f == a && l == b) || (f == b && l == a)) return ed;
  }
  return 0;
}

bool divide_edge(const MeshModel& m, EdgeTables& t, int edge, int count, const double* w) {
  if (edge < 1 || edge > t.nedge || count < 1 || count > MDIV) return false;
  double sum = 0.0;
  for (int j = 1; j <= count; ++j) sum += w[j];
  if (!(sum > 0.0)) return false;
  for (int j = 1; j <= MDIV; ++j) t.wdivs(edge, j) = j <= count ? 2.0 * w[j] / sum : 0.0;
  t.ndivs(edge) = count;
  // One division is no division: nothing to carry (and a closed ring of
  // quadrilaterals would otherwise be walked for ever).
  if (count < 2) return true;
  return propagate(m, t, edge);
}

void finish_rockbolts(const MeshModel& m, EdgeTables& t) {
  for (int e = 1; e <= m.nelem; ++e) {
    if (refine_type(m, e) != 2) continue;
    const int f = std::abs(t.lelsid(e, 2)), g = std::abs(t.lelsid(e, 1));
    if (f == 0 || g == 0 || t.ndivs(f) < 2) continue;
    // A face already divided keeps its divisions (they came from this face
    // 2 or went to it); an undivided face 1 takes face 2's and carries them
    // on through its own strips, so the elements beside it match.
    if (t.ndivs(g) >= 2) continue;
    copy_weights(t, f, g, bolt_faces_opposed(t, e));
    for (int k = 1; k <= 3; ++k) {
      const int p = t.leledg(g, k);
      if (p != 0 && p != e && is_strip(refine_type(m, p))) walk_strip(m, t, p, g);
    }
  }
}

bool apply_divisions(MeshModel& m, EdgeTables& t, int mode) {
  const int nelem0 = m.nelem;
  // The room is tested before anything changes, so that a refusal leaves
  // the mesh whole rather than half refined.
  long edge_nodes = 0, inner_nodes = 0, new_elems = 0;
  for (int ed = 1; ed <= t.nedge; ++ed)
    if (t.ndivs(ed) >= 2) edge_nodes += (quadratic_edge(t, ed) ? 2 : 1) * (t.ndivs(ed) - 1);
  for (int e = 1; e <= nelem0; ++e) {
    int nodes, elems;
    element_growth(m, t, e, mode, nodes, elems);
    inner_nodes += nodes;
    new_elems += elems;
  }
  if (m.npoin + edge_nodes > MPOIN) {
    PUTERR("Max no. of nodes exceeded.");
    return false;
  }
  if (m.npoin + edge_nodes + inner_nodes > MPOIN) {
    PUTERR("Max. no. of nodes exceeded.");
    return false;
  }
  if (m.nelem + new_elems > MELEM) {
    PUTERR("Max. no. of elements exceeded.");
    return false;
  }

  subdivide_edges(m, t);
  for (int e = 1; e <= nelem0; ++e) {
    const int type = refine_type(m, e);
    if (type == 11 || type == 13) continue;
    if (!sides_agree(t, e, type)) {
      if ((type != 5 && type != 7) || mode == AUTOMATIC) OUTGI("Error: element ", e);
      continue;
    }
    if (type >= 1 && type <= 4) rebuild_line(m, t, e, type);
    else if (type == 10 || type == 12) rebuild_infinite(m, t, e, type);
    else if (is_quad(type)) rebuild_quad(m, t, e, type);
    else if (mode == AUTOMATIC) rebuild_triangle(m, t, e, type);
  }
  edge_fixities(m, t);
  boundary_chains(m, t);
  for (int e = 1; e <= m.nelem; ++e) {
    const int p = t.lparnt(e);
    if (p >= 1 && p <= MELEM && m.matset(p) != 0) m.matset(e) = m.matset(p);
    if (m.matset(e) == 0) m.matset(e) = 1;
  }
  return true;
}

void REFINE(MeshModel& m, int mode, const MeshWindow& view, EdgeTables& t) {
  if (!build_edges(m, t)) return;
  if (mode == AUTOMATIC) {
    divide_all(m, t);
  } else {
    pick_edges(m, t, view);
    finish_rockbolts(m, t);
  }
  apply_divisions(m, t, mode);
}

// --- the main-menu button ------------------------------------------------------

namespace {



// Two corners clicked in the drawing area set a zoom window; the mesh is
// drawn again inside it.
void zoom_for_refine(const MeshModel& m, MeshWindow& view) {
  double xmin, xmax, ymin, ymax;
  BOUNDS(m.npoin, m.coord, xmin, xmax, ymin, ymax);
  const double w = std::max(xmax - xmin, ymax - ymin);
  const MeshWindow square{xmin - 0.3 * w, xmin + 1.3 * w, ymin - 0.3 * w, ymin + 1.3 * w};
  TELL("Click on opposite corners defining zoom area:");
  double x[2], y[2];
  for (int got = 0; got < 2;) {
    const MouseState s = next_press();
    if (!in_drawing_area(s)) continue;
    PXLMAP(s.x, s.y, x[got], y[got]);
    if (!square.holds(x[got], y[got])) continue;
    if (got == 1 && (std::fabs(x[1] - x[0]) < 0.000001 || std::fabs(y[1] - y[0]) < 0.000001))
      continue;
    if (got == 0) {
      SETCOL(15);
      MARPT(x[0], y[0], 0.01 * (square.xmax - square.xmin));
    }
    ++got;
  }
  end_tell();
  SETCOL(15);
  JOINP1(x[0], y[0], x[1], y[0]);
  JOINP1(x[1], y[0], x[1], y[1]);
  JOINP1(x[1], y[1], x[0], y[1]);
  JOINP1(x[0], y[1], x[0], y[0]);
  SLEEPZ(0.5);
  STZOOM(x[0], x[1], y[0], y[1], view);
  FAXES(view.xmin, view.xmax, view.ymin, view.ymax, plot_state().charsize, -1);
  PLMESH(m, view, true, false, false);
  plat().graphics_update();
}

}  // namespace

void refine_from_menu(MeshModel& m, EdgeTables& t) {
  DialogSpec d;
  d.lines = {DialogLine{"Choose Automatic or Manual refinement"},
             DialogLine{"(You must use Automatic to refine triangles)"}};
  d.buttons = {"Automatic", "Manual"};
  const int mode = plat().dialog(d) == 2 ? MANUAL : AUTOMATIC;
  int ybar[2];
  RIGBAR(1, 1, ybar);
  BARLAB(1, ybar, " End ");
  MeshWindow view = WHOLE_PLANE;
  if (mode == MANUAL) {
    char answer;
    while ((answer = YESNOH("Do you want to zoom?")) == 'h') HPZOOM();
    if (answer == 'y') zoom_for_refine(m, view);
  }
  REFINE(m, mode, view, t);
}

}  // namespace vortan
