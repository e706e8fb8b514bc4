#include "element_diagrams.h"

#include <algorithm>
#include <cmath>

#include "deformed_mesh.h"
#include "mesh_boundary.h"
#include "platform/platform.h"
#include "plot.h"
#include "plots.h"

namespace vortan {

// --- beam curves -------------------------------------------------------------

namespace {

// The chord of a beam side from its first node to node `last`: length and
// direction.
struct Chord {
  double length, c, s;
};

Chord chord_of(const BeamSide& b, int last) {
  const double dx = b.x[last] - b.x[0], dy = b.y[last] - b.y[0];
  const double phi = std::atan2(dy, dx);  // 0 for a beam of no length
  return Chord{std::hypot(dx, dy), std::cos(phi), std::sin(phi)};
}

// The point and tangent from the base curve, the axial displacement p and
// the transverse displacement w with their derivatives along s.
CurvePoint beam_point(const Chord& ch, double bx, double by, double dbx, double dby, double p,
                      double dp, double w, double dw) {
  return CurvePoint{bx + p * ch.c - w * ch.s, by + p * ch.s + w * ch.c,
                    dbx + dp * ch.c - dw * ch.s, dby + dp * ch.s + dw * ch.c};
}

}  // namespace

CurvePoint CUBIC(double s, const BeamSide& b) {
  const Chord ch = chord_of(b, 1);
  double p[2], w[2];
  for (int k = 0; k < 2; ++k) {
    p[k] = b.a[k] * ch.c + b.b[k] * ch.s;
    w[k] = b.b[k] * ch.c - b.a[k] * ch.s;
  }
  const double s2 = s * s, s3 = s2 * s;
  const double n1 = (1 - s) / 2, n2 = (1 + s) / 2;
  const double h1 = (2 - 3 * s + s3) / 4, h2 = (2 + 3 * s - s3) / 4;
  const double h3 = (1 - s - s2 + s3) / 8, h4 = (-1 - s + s2 + s3) / 8;
  const double dh1 = (-3 + 3 * s2) / 4, dh2 = (3 - 3 * s2) / 4;
  const double dh3 = (-1 - 2 * s + 3 * s2) / 8, dh4 = (-1 + 2 * s + 3 * s2) / 8;
  const double L = ch.length;
  return beam_point(ch, n1 * b.x[0] + n2 * b.x[1], n1 * b.y[0] + n2 * b.y[1],
                    (b.x[1] - b.x[0]) / 2, (b.y[1] - b.y[0]) / 2, n1 * p[0] + n2 * p[1],
                    (p[1] - p[0]) / 2,
                    h1 * w[0] + h2 * w[1] + L * (h3 * b.theta1 + h4 * b.theta2),
                    dh1 * w[0] + dh2 * w[1] + L * (dh3 * b.theta1 + dh4 * b.theta2));
}

CurvePoint QUART(double s, const BeamSide& b) {
  const Chord ch = chord_of(b, 2);
  double p[3], w[3];
  for (int k = 0; k < 3; ++k) {
    p[k] = b.a[k] * ch.c + b.b[k] * ch.s;
    w[k] = b.b[k] * ch.c - b.a[k] * ch.s;
  }
  const double s2 = s * s, s3 = s2 * s, s4 = s3 * s;
  const double l[3] = {s * (s - 1) / 2, 1 - s2, s * (s + 1) / 2};
  const double dl[3] = {s - 0.5, -2 * s, s + 0.5};
  const double q[3] = {(-2 * s4 + s3 + 4 * s2 - 3 * s) / 4, (1 - s2) * (1 - s2),
                       (-2 * s4 - s3 + 4 * s2 + 3 * s) / 4};
  const double dq[3] = {(-8 * s3 + 3 * s2 + 8 * s - 3) / 4, -4 * s * (1 - s2),
                        (-8 * s3 - 3 * s2 + 8 * s + 3) / 4};
  const double r1 = (-s4 + s3 + s2 - s) / 4, r3 = (s4 + s3 - s2 - s) / 4;
  const double dr1 = (-4 * s3 + 3 * s2 + 2 * s - 1) / 4, dr3 = (4 * s3 + 3 * s2 - 2 * s - 1) / 4;
  double bx = 0, by = 0, dbx = 0, dby = 0, pp = 0, dp = 0, ww = 0, dw = 0;
  for (int k = 0; k < 3; ++k) {
    bx += l[k] * b.x[k];
    by += l[k] * b.y[k];
    dbx += dl[k] * b.x[k];
    dby += dl[k] * b.y[k];
    pp += l[k] * p[k];
    dp += dl[k] * p[k];
    ww += q[k] * w[k];
    dw += dq[k] * w[k];
  }
  // r1 and r3 have unit slope in s at their ends; s runs over the whole
  // chord, so a rotation theta needs the slope theta L / 2 in s.
  const double half = ch.length / 2;
  ww += half * (r1 * b.theta1 + r3 * b.theta2);
  dw += half * (dr1 * b.theta1 + dr3 * b.theta2);
  return beam_point(ch, bx, by, dbx, dby, pp, dp, ww, dw);
}

// --- drawing -----------------------------------------------------------------

namespace {

CurvePoint cubic_curve(double s, const void* data) {
  return CUBIC(s, *static_cast<const BeamSide*>(data));
}

CurvePoint quart_curve(double s, const void* data) {
  return QUART(s, *static_cast<const BeamSide*>(data));
}

// The one-dimensional element kinds by their key 10 x nnode + nside.
struct Kind {
  int key;
  int chord_node;  // the undeformed chord runs from node 1 to this node
  int step;        // 1: two-node sides, 2: three-node sides
  int sides;
  int next;        // nodes from the start of one side to the start of the next
  int colour;      // of the displaced shape
};

const Kind KINDS[] = {
    {21, 2, 1, 1, 1, 5},  // linear bar
    {31, 3, 2, 1, 2, 5},  // quadratic bar
    {61, 3, 2, 1, 3, 4},  // rockbolt
    {62, 3, 2, 2, 3, 6},  // quadratic joint: faces 1-2-3 and 4-5-6
    {42, 2, 1, 2, 2, 6},  // infinite joint: faces 1-2 and 3-4
};

const Kind* kind_of(const MeshModel& m, int e) {
  const int key = element_key(m.nnode(e), m.nside(e));
  for (const Kind& k : KINDS)
    if (k.key == key) return &k;
  return nullptr;
}

// Draws one element of a known kind.
void draw_element(const MeshModel& m, const ResultSet& r, int e, const Kind& kind, double factor,
                  bool beams) {
  const int nn = m.nnode(e);
  double x[MNODE + 1] = {}, y[MNODE + 1] = {};
  for (int j = 1; j <= nn; ++j) {
    x[j] = m.coord(m.lnods(e, j), 1);
    y[j] = m.coord(m.lnods(e, j), 2);
  }
  SETCOL(2);
  JOINP1(x[1], y[1], x[kind.chord_node], y[kind.chord_node]);
  SETCOL(kind.colour);
  const bool beam = beams && m.nside(e) == 1;
  if (!beam) {
    for (int j = 1; j <= nn; ++j) {
      x[j] += magnified(factor, r.disp(m.lnods(e, j), 1));
      y[j] += magnified(factor, r.disp(m.lnods(e, j), 2));
    }
  }
  for (int side = 0, start = 1; side < kind.sides; ++side, start += kind.next) {
    int at[3] = {1, 1, 1};
    for (int k = 0; k <= kind.step; ++k) at[k] = (start - 1 + k) % nn + 1;
    const int count = kind.step + 1;
    if (beam) {
      BeamSide b;
      for (int k = 0; k < count; ++k) {
        const int n = m.lnods(e, at[k]);
        b.x[k] = x[at[k]];
        b.y[k] = y[at[k]];
        b.a[k] = magnified(factor, r.disp(n, 1));
        b.b[k] = magnified(factor, r.disp(n, 2));
      }
      // The rotations of the side's own end nodes.
      b.theta1 = magnified(factor, r.disp(m.lnods(e, at[0]), 3));
      b.theta2 = magnified(factor, r.disp(m.lnods(e, at[count - 1]), 3));
      LCURV(count == 2 ? cubic_curve : quart_curve, &b);
      continue;
    }
    const int p1 = at[0], p2 = at[1], p3 = at[count - 1];
    if (count == 2) {
      JOINP1(x[p1], y[p1], x[p2], y[p2]);
    } else if (std::fabs((y[p2] - y[p1]) * (x[p3] - x[p1]) - (y[p3] - y[p1]) * (x[p2] - x[p1])) <
               1.0e-4) {
      JOINP1(x[p1], y[p1], x[p3], y[p3]);
    } else {
      const double xs[3] = {x[p1], x[p2], x[p3]}, ys[3] = {y[p1], y[p2], y[p3]};
      LCURV(xs, ys);
    }
  }
}

}  // namespace

void PLT1DO(const MeshModel& m, const ResultSet& r, const MeshWindow& frame, bool zoomed,
            double factor, bool beams) {
  const int nelem = m.nelem;
  for (int e = 1; e <= nelem; ++e) {
    if (!is_one_dimensional(m, e)) continue;
    const Kind* kind = kind_of(m, e);
    if (!kind || !valid_element(m, e)) continue;
    if (zoomed && !CHECKEL(e, m, frame.xmin, frame.xmax, frame.ymin, frame.ymax)) continue;
    draw_element(m, r, e, *kind, factor, beams);
  }
  SETCOL(15);
}

void draw_outline(const MeshModel& m, PlotWork& w, const Positions& at, const MeshWindow& frame,
                  bool zoomed, bool clear) {
  const bool screen = !ps_mode();
  if (screen) {
    plat().mouse_show(false);
    if (clear) fill_frame(frame, 7);
  }
  const int count = boundary_edges(m, w);
  SETCOL(8);
  for (int k = 1; k <= count; ++k) {
    if (w.edge_flags(k) != 1) continue;
    const int nodes = w.edges(k, 3) != 0 ? 3 : 2;
    double xs[3], ys[3];
    bool inside = true;
    for (int j = 0; j < nodes; ++j) {
      xs[j] = at(w.edges(k, j + 1), 1);
      ys[j] = at(w.edges(k, j + 1), 2);
      inside = inside && frame.holds(xs[j], ys[j]);
    }
    if (zoomed && !inside) continue;
    if (nodes == 2 ||
        std::fabs((ys[1] - ys[0]) * (xs[2] - xs[0]) - (ys[2] - ys[0]) * (xs[1] - xs[0])) < 1.0e-4)
      JOINP1(xs[0], ys[0], xs[nodes - 1], ys[nodes - 1]);
    else
      LCURV(xs, ys);
  }
  SETCOL(15);
  if (screen) plat().mouse_show(true);
}

// --- the interactive plot ------------------------------------------------------

namespace {

void diagram_picture(DisplacementPlot& p) {
  draw_outline(p.m, p.w, p.w.cdef, p.frame, p.zoomed, true);
  PLT1DO(p.m, p.r, p.frame, p.zoomed, p.factor, p.beams);
}

}  // namespace

void SPLY1D(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState&, bool beams) {
  DisplacementPlot p{m, r, w};
  p.beams = beams;
  p.picture = diagram_picture;
  p.errors_in_text = true;
  // The factor is measured against the larger side of the node box; a mesh
  // without extent counts as 1 wide.
  double x1, x2, y1, y2;
  BOUNDS(m.npoin, m.coord, x1, x2, y1, y2);
  double size = std::max(x2 - x1, y2 - y1);
  if (!(size > 0)) size = 1;
  const double largest = largest_displacement(m, r);
  p.factor = initial_factor(size, largest);
  p.limit = factor_limit(size, largest);
  run_displacement_plot(p);
}

}  // namespace vortan
