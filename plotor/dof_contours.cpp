#include "dof_contours.h"

#include "crosses.h"
#include "mesh_boundary.h"

#include <algorithm>
#include <cmath>

#include "contour_engine.h"
#include "help_screens.h"
#include "platform/platform.h"
#include "plot.h"
#include "plots.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {

struct Nat {
  double s, t;
};

bool inside(const MeshModel& m, int e, const MeshWindow& frame) {
  for (int k = 1; k <= m.nnode(e); ++k) {
    const int n = m.lnods(e, k);
    if (!frame.holds(m.coord(n, 1), m.coord(n, 2))) return false;
  }
  return true;
}

// Geometry of a sub-primitive with natural corners c (in the element of
// `type`): its corners and the images of the midpoints of its sides.
Geometry sub_geometry(const Geometry& el, int type, const Nat* c, int n) {
  Geometry g{};
  for (int i = 0; i < n; ++i) {
    const Nat a = c[i], b = c[(i + 1) % n];
    double x, y;
    ST2XY(a.s, a.t, type, el, x, y);
    set_point(g, 2 * i + 1, x, y);
    ST2XY(0.5 * (a.s + b.s), 0.5 * (a.t + b.t), type, el, x, y);
    set_point(g, 2 * i + 2, x, y);
  }
  return g;
}

// The same for the quarter of an 8-noded quadrilateral whose first corner
// is (i, j) on the element's half grid: its corners anticlockwise, each
// followed by the midpoint of the side after it.
template <int i, int j>
Geometry quarter_geometry(const QuadGrid& q) {
  constexpr int gi[8] = {i, i + 1, i + 2, i + 2, i + 2, i + 1, i, i};
  constexpr int gj[8] = {j, j, j, j + 1, j + 2, j + 2, j + 2, j + 1};
  Geometry g{};
#pragma GCC unroll 8
  for (int k = 0; k < 8; ++k) set_point(g, k + 1, q.x[gi[k]][gj[k]], q.y[gi[k]][gj[k]]);
  return g;
}

void tri1(const Levels& lv, const Geometry& g, int fill, double a, double b, double c,
          PolyWork& w) {
  CTRIA1(lv, g, fill, a, b, c, std::max({a, b, c}), std::min({a, b, c}), w);
}
void tri2(const Levels& lv, const Geometry& g, int fill, double a, double b, double c,
          PolyWork& w) {
  CTRIA2(lv, g, fill, a, b, c, std::max({a, b, c}), std::min({a, b, c}), w);
}
void quad2(const Levels& lv, const Geometry& g, int fill, double a, double b, double c, double d,
           PolyWork& w) {
  CQUAD2(lv, g, fill, a, b, c, d, std::max({a, b, c, d}), std::min({a, b, c, d}), w);
}

// Element e reduced to contouring primitives, every node carrying a value.
void all_nodes(const Levels& lv, const MeshModel& m, int e, int type, const double* u, int fill,
               PolyWork& w) {
  const Geometry el = element_geometry(m, e);
  Geometry g{};
  switch (type) {
    case 5:
      tri1(lv, el, fill, u[1], u[2], u[3], w);
      break;
    case 6:  // cut along the diagonal 2-4
      set_point(g, 1, el[1], el[11]);
      set_point(g, 2, el[2], el[12]);
      set_point(g, 3, el[4], el[14]);
      tri1(lv, g, fill, u[1], u[2], u[4], w);
      set_point(g, 1, el[4], el[14]);
      set_point(g, 2, el[2], el[12]);
      set_point(g, 3, el[3], el[13]);
      tri1(lv, g, fill, u[4], u[2], u[3], w);
      break;
    case 7: {
      const Nat c1[3] = {{0, 0}, {0.5, 0}, {0, 0.5}}, c3[3] = {{0.5, 0}, {1, 0}, {0.5, 0.5}},
                c5[3] = {{0, 0.5}, {0.5, 0.5}, {0, 1}}, cm[3] = {{0.5, 0}, {0.5, 0.5}, {0, 0.5}};
      tri2(lv, sub_geometry(el, 7, c1, 3), fill, u[1], u[2], u[6], w);
      tri2(lv, sub_geometry(el, 7, c3, 3), fill, u[2], u[3], u[4], w);
      tri2(lv, sub_geometry(el, 7, c5, 3), fill, u[6], u[4], u[5], w);
      tri2(lv, sub_geometry(el, 7, cm, 3), fill, u[2], u[4], u[6], w);
      break;
    }
    case 8: {
      const Nat left[4] = {{-1, -1}, {0, -1}, {0, 1}, {-1, 1}},
                right[4] = {{0, -1}, {1, -1}, {1, 1}, {0, 1}};
      quad2(lv, sub_geometry(el, 8, left, 4), fill, u[1], u[2], u[5], u[6], w);
      quad2(lv, sub_geometry(el, 8, right, 4), fill, u[2], u[3], u[4], u[5], w);
      break;
    }
    case 9: {
      // The element's own interpolation at its centre.
      const double uc = 0.5 * (u[2] + u[4] + u[6] + u[8]) - 0.25 * (u[1] + u[3] + u[5] + u[7]);
      // The quarters, by their first corners on the half grid (natural
      // coordinates -1, -0.5, 0, 0.5, 1 as indices 0..4).
      QuadGrid q;
      quad_half_grid(el, q);
      // Filled quarters on the screen that no level crosses take the short
      // way, their corners mapped once.
      QuadGrid pixels;
      const bool screen_fill = fill && !ps_mode();
      if (screen_fill) map_quad_corners(q, pixels);
      if (!screen_fill || !fill_plain_quarter<0, 0>(lv, q, pixels, u[1], u[2], uc, u[8], w))
        quad2(lv, quarter_geometry<0, 0>(q), fill, u[1], u[2], uc, u[8], w);
      if (!screen_fill || !fill_plain_quarter<2, 0>(lv, q, pixels, u[2], u[3], u[4], uc, w))
        quad2(lv, quarter_geometry<2, 0>(q), fill, u[2], u[3], u[4], uc, w);
      if (!screen_fill || !fill_plain_quarter<2, 2>(lv, q, pixels, uc, u[4], u[5], u[6], w))
        quad2(lv, quarter_geometry<2, 2>(q), fill, uc, u[4], u[5], u[6], w);
      if (!screen_fill || !fill_plain_quarter<0, 2>(lv, q, pixels, u[8], uc, u[6], u[7], w))
        quad2(lv, quarter_geometry<0, 2>(q), fill, u[8], uc, u[6], u[7], w);
      break;
    }
    default:
      break;
  }
}

// Element e with values at its corner nodes only; midside values unread.
void corner_nodes(const Levels& lv, const MeshModel& m, int e, int type, const double* u,
                  int fill, PolyWork& w) {
  const Geometry el = element_geometry(m, e);
  switch (type) {
    case 7:
      tri2(lv, el, fill, u[1], u[3], u[5], w);
      break;
    case 8: {  // straight ends get their midpoints
      Geometry g = el;
      set_point(g, 8, 0.5 * (el[6] + el[1]), 0.5 * (el[16] + el[11]));
      set_point(g, 7, el[6], el[16]);
      set_point(g, 6, el[5], el[15]);
      set_point(g, 5, el[4], el[14]);
      set_point(g, 4, 0.5 * (el[3] + el[4]), 0.5 * (el[13] + el[14]));
      quad2(lv, g, fill, u[1], u[3], u[4], u[6], w);
      break;
    }
    case 9:
      quad2(lv, el, fill, u[1], u[3], u[5], u[7], w);
      break;
    default:
      all_nodes(lv, m, e, type, u, fill, w);
      break;
  }
}

// Nodes whose values a corner-node plot reads: every node of a linear
// element, the corners of a quadratic one.
void mark_corner_nodes(const MeshModel& m, Table1<unsigned char, MPOIN>& used) {
  used.fill(0);
  static const int corners7[] = {1, 3, 5}, corners8[] = {1, 3, 4, 6}, corners9[] = {1, 3, 5, 7};
  for (int e = 1; e <= m.nelem; ++e) {
    const int type = type_of(m, e);
    if (type < 5 || type > 9 || !valid_element(m, e)) continue;
    if (type <= 6) {
      for (int k = 1; k <= m.nnode(e); ++k) used(m.lnods(e, k)) = 1;
    } else {
      const int* c = type == 7 ? corners7 : type == 8 ? corners8 : corners9;
      const int n = type == 8 || type == 9 ? 4 : 3;
      for (int k = 0; k < n; ++k) used(m.lnods(e, c[k])) = 1;
    }
  }
}

void nodal_contours(const MeshModel& m, PlotWork& pw, int nlev, int fill, const ContourView& view,
                    int matsel, bool corner_only) {
  const Table1<double, MPOIN>& vnode = pw.vnode;
  Table1<unsigned char, MPOIN>& used = pw.corner;
  if (corner_only) mark_corner_nodes(m, used);
  const int npoin = m.npoin;
  double vmin = 0, vmax = 0;
  bool any = false;
  for (int n = 1; n <= npoin; ++n) {
    const double v = vnode(n);
    if (!std::isfinite(v) || (corner_only && !used(n))) continue;
    if (view.zoomed && !view.frame.holds(m.coord(n, 1), m.coord(n, 2))) continue;
    vmin = any ? std::min(vmin, v) : v;
    vmax = any ? std::max(vmax, v) : v;
    any = true;
  }
  const Levels lv = contour_levels(vmin, vmax, nlev, DOF_THRESHOLD, DOF_UNIT);
  if (!ps_mode()) plat().mouse_show(false);
  draw_key(lv, fill);
  PolyWork& w = pw.poly;
  w.count = 0;
  int drawn = 0;
  for (int e = 1; e <= m.nelem; ++e) {
    if (matsel >= 1 && m.mattyp(e) != matsel) continue;
    const int type = type_of(m, e);
    if (type == 0) {
      WRLINE("Error: element " + std::to_string(e) + " has no recognized type!");
      break;
    }
    if (type < 5 || type > 9 || !valid_element(m, e)) continue;
    if (view.zoomed && !inside(m, e, view.frame)) continue;
    double u[MNODE + 1] = {};
    for (int k = 1; k <= m.nnode(e); ++k) u[k] = vnode(m.lnods(e, k));
    if (corner_only)
      corner_nodes(lv, m, e, type, u, fill, w);
    else
      all_nodes(lv, m, e, type, u, fill, w);
    ++drawn;
  }
  if (!ps_mode()) plat().mouse_show(true);
  if (view.zoomed && drawn == 0) PUTERR("No elt inside zoom area - try a larger area!");
}

// One press of a mouse button, taken once. The key strip lies under the
// cursor read-out's box, so the contour plots show no read-out.
MouseState contour_press() { return next_press(false); }

void redraw_window(const MeshModel& m, ContourView& view, double x1, double x2, double y1,
                   double y2, int row) {
  STZOOM(x1, x2, y1, y2, view.frame);
  plat().fb().line(0, row, 639, row, 15);
  FAXES(view.frame.xmin, view.frame.xmax, view.frame.ymin, view.frame.ymax,
        plot_state().charsize, -1);
  (void)m;
}

void nodal_plot(MeshModel& m, PlotWork& w, const ViewState& v, bool corner_only) {
  ContourView view;
  view.fourth = "Pick nodal point";
  contour_setup(m, view);
  char answer;
  while ((answer = YESNOH("Do you want colour fill-in?")) == 'h') HPCONT();
  const int fill = answer == 'y' ? 1 : 0;
  contour_toolbar(view);
  set_contour_palette();
  auto picture = [&] {
    contour_outline(m, w, view, true);
    nodal_contours(m, w, NLEV, fill, view, v.matsel, corner_only);
  };
  picture();
  for (;;) {
    const int b = contour_button(view);
    if (b == 1 || b == 2) {
      contour_restore(m, view);
      picture();
      SLEEPZ(1.0);
      if (b == 1) return;
    } else if (b == 3) {
      contour_zoom(m, view);
      picture();
    } else if (b == 4) {
      SLEEPZ(0.5);
      const int n = PICKNZ(m, "Click on chosen nodal point:", view.frame);
      if (valid_node(m, n)) {
        OUTNOD("Coordinates: ", n, m.coord(n, 1), m.coord(n, 2));
        OUTGR("Value of U at node: ", w.vnode(n));
      }
    }
  }
}

}  // namespace

// --- shared by the contour plots ---------------------------------------------

int type_of(const MeshModel& m, int e) {
  if (m.nnode(e) < 1) return 0;
  return element_type_code(element_key(m.nnode(e), m.nside(e)));
}

Geometry element_geometry(const MeshModel& m, int e) {
  Geometry g{};
  for (int k = 1; k <= std::min(m.nnode(e), 10); ++k)
    set_point(g, k, m.coord(m.lnods(e, k), 1), m.coord(m.lnods(e, k), 2));
  return g;
}

// --- the plot routines ---------------------------------------------------------

void PLCSPL(const MeshModel& m, PlotWork& w, int nlev, int fill, const ContourView& view,
            int matsel) {
  nodal_contours(m, w, nlev, fill, view, matsel, false);
}

void PLCSP2(const MeshModel& m, PlotWork& w, int nlev, int fill, const ContourView& view,
            int matsel) {
  nodal_contours(m, w, nlev, fill, view, matsel, true);
}

void CSPLAY(MeshModel& m, ResultSet&, PlotWork& w, const ViewState& v) {
  nodal_plot(m, w, v, false);
}

void CSPLY2(MeshModel& m, ResultSet&, PlotWork& w, const ViewState& v) {
  nodal_plot(m, w, v, true);
}

void PSCSPL(MeshModel& m, ResultSet&, PlotWork& w, const ViewState& v, int corner_flag) {
  ContourView view;
  ps_result_setup(m, "VORTAN plots - Poisson contours", view);
  PSREC("% mesh boundary");
  contour_outline(m, w, view, false);
  PSREC("% d.o.f. contours");
  nodal_contours(m, w, NLEV, 0, view, v.matsel, corner_flag == 2);
  PSEND();
  set_ps_mode(false);
}

// --- shared by the contour plots ---------------------------------------------

void contour_setup(const MeshModel& m, ContourView& view) {
  double xmin, xmax, ymin, ymax;
  BOUNDS(m.npoin, m.coord, xmin, xmax, ymin, ymax);
  redraw_window(m, view, xmin, xmax, ymin, ymax, 35);
  view.zoomed = false;
  SMOUSE();
}

void contour_toolbar(ContourView& view) {
  RIGBAR(4, 4, view.ybar);
  const char* labels[4] = {"Continue", "Restore full mesh", "Zoom", view.fourth.c_str()};
  for (int i = 1; i <= 4; ++i) BARLAB(i, view.ybar, labels[i - 1]);
}

int contour_button(ContourView& view) {
  for (;;) {
    const MouseState s = contour_press();
    if (!on_toolbar(s)) continue;
    const int b = bar_button(4, view.ybar, s.y);
    if (b == 0) continue;
    if (!(s.buttons & MOUSE_LEFT)) {
      if (b == 3)
        HPZOOM();
      else
        HPCONT();
      continue;
    }
    return b;
  }
}

void contour_zoom(const MeshModel& m, ContourView& view) {
  TELL("Click on opposite corners defining zoom area:");
  SETCOL(15);
  double x[2], y[2];
  int got = 0;
  while (got < 2) {
    const MouseState s = contour_press();
    if (!(s.buttons & MOUSE_LEFT) || !in_drawing_area(s)) continue;
    PXLMAP(s.x, s.y, x[got], y[got]);
    if (!view.frame.holds(x[got], y[got])) continue;
    if (got == 1 && (std::fabs(x[1] - x[0]) < 1.0e-6 || std::fabs(y[1] - y[0]) < 1.0e-6))
      continue;
    SETCOL(15);
    MARPT(x[got], y[got], 0.01 * (view.frame.xmax - view.frame.xmin));
    if (++got == 1) SLEEPZ(0.5);
  }
  end_tell();
  SETCOL(15);
  GGBOX(x[0], x[1], y[0], y[1]);
  SLEEPZ(1.0);
  view.zoomed = true;
  plat().fb().fill_rect(0, 35, 500, 450, BACKGROUND);
  redraw_window(m, view, x[0], x[1], y[0], y[1], 34);
  contour_toolbar(view);
}

void contour_restore(const MeshModel& m, ContourView& view) {
  if (view.zoomed) {
    plat().fb().fill_rect(0, 35, 500, 450, BACKGROUND);
    double xmin, xmax, ymin, ymax;
    BOUNDS(m.npoin, m.coord, xmin, xmax, ymin, ymax);
    redraw_window(m, view, xmin, xmax, ymin, ymax, 34);
    contour_toolbar(view);
  }
  view.zoomed = false;
}

void contour_outline(const MeshModel& m, PlotWork& w, const ContourView& view, bool clear) {
  PLBDRY(m, w, view.frame, view.zoomed, clear);
}

void ps_result_setup(const MeshModel& m, const std::string& title, ContourView& view) {
  view.zoomed = begin_result_picture(m, title, view.frame);
}

}  // namespace vortan
