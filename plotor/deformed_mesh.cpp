#include "deformed_mesh.h"

#include <algorithm>
#include <cmath>

#include "crosses.h"
#include "help_screens.h"
#include "platform/platform.h"
#include "plot.h"
#include "mesh_picture.h"
#include "plots.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {


// The width of the mesh box, taken as at least 1, that the factors of the
// deformed mesh and the vectors are measured against.
double mesh_width(const MeshModel& m) {
  double x1, x2, y1, y2;
  BOUNDS(m.npoin, m.coord, x1, x2, y1, y2);
  return std::max(1.0, x2 - x1);
}

// The box of the undeformed nodes (`mesh`, as BOUNDS gives it) and the
// displaced ones.
void box_with_displaced(const double mesh[4], const MeshModel& m, const PlotWork& w,
                        double box[4]) {
  double b[4];
  BOUNDS(m.npoin, w.cdef, b[0], b[1], b[2], b[3]);
  box[0] = std::min(mesh[0], b[0]);
  box[1] = std::max(mesh[1], b[1]);
  box[2] = std::min(mesh[2], b[2]);
  box[3] = std::max(mesh[3], b[3]);
}

}  // namespace

// --- factors -------------------------------------------------------------------

double largest_displacement(const MeshModel& m, const ResultSet& r) {
  double big = 1.0e-6;
  for (int n = 1; n <= m.npoin; ++n) {
    const double* d = r.disp.row(n);
    for (int k = 1; k <= 2; ++k)
      if (std::isfinite(d[k])) big = std::max(big, std::fabs(d[k]));
  }
  return big;
}

double initial_factor(double size, double largest) {
  return std::min(100.0, 0.1 * size / largest);
}

double factor_limit(double size, double largest) {
  return 1.0e6 * std::max(1.0, size) / largest;
}

double accepted_factor(double typed, double initial, double limit) {
  if (!(typed > 0)) return initial;
  if (typed > limit) {
    OUTGR("Exaggeration factor held to ", limit);
    return limit;
  }
  return typed;
}

double magnified(double factor, double value) {
  const double v = factor * value;
  return std::isfinite(v) ? v : 0.0;
}

// --- positions and windows ---------------------------------------------------

namespace {

// w.cdef := coord + factor x disp at every node. Every node is moved, in
// an element or not, so no position is left over from an earlier plot.
void move_nodes(const MeshModel& m, const ResultSet& r, PlotWork& w, double factor) {
  for (int n = 1; n <= m.npoin; ++n) {
    const double* c = m.coord.row(n);
    const double* d = r.disp.row(n);
    double* to = w.cdef.row_to_fill(n);
    for (int k = 1; k <= 2; ++k) to[k] = c[k] + magnified(factor, d[k]);
  }
}

}  // namespace

void displace(MeshModel& m, const ResultSet& r, PlotWork& w, double factor) {
  move_nodes(m, r, w, factor);
  const Positions& at = w.cdef;
  for (int e = 1; e <= m.nelem; ++e) {
    if (!valid_element(m, e)) continue;
    const int nn = m.nnode(e);
    const int* nodes = m.lnods.row(e);
    double sx = 0, sy = 0;
    for (int k = 1; k <= nn; ++k) {
      const double* p = at.row(nodes[k]);
      sx += p[1];
      sy += p[2];
    }
    m.xycen(e, 1) = sx / nn;
    m.xycen(e, 2) = sy / nn;
  }
}

void displaced_box(const MeshModel& m, const PlotWork& w, double box[4]) {
  double a[4];
  BOUNDS(m.npoin, m.coord, a[0], a[1], a[2], a[3]);
  box_with_displaced(a, m, w, box);
}

bool is_one_dimensional(const MeshModel& m, int e) {
  return m.nside(e) <= 2 && element_key(m.nnode(e), m.nside(e)) != 32;
}

bool element_inside(const MeshModel& m, int e, const Positions& at, const MeshWindow& frame) {
  if (!valid_element(m, e)) return false;
  const int nn = m.nnode(e);
  const int* nodes = m.lnods.row(e);
  for (int k = 1; k <= nn; ++k) {
    const double* p = at.row(nodes[k]);
    if (!frame.holds(p[1], p[2])) return false;
  }
  return true;
}

void fill_frame(const MeshWindow& frame, int colour) {
  if (ps_mode()) return;
  int x1, y1, x2, y2;
  MAPPXL(frame.xmin, frame.ymax, x1, y1);
  MAPPXL(frame.xmax, frame.ymin, x2, y2);
  // Inside the frame's lines, so the frame stays drawn.
  x1 = std::max(x1 + 1, AREA_X1);
  y1 = std::max(y1 + 1, AREA_Y1);
  x2 = std::min(x2 - 1, AREA_X2);
  y2 = std::min(y2 - 1, AREA_Y2);
  if (x1 <= x2 && y1 <= y2) plat().fb().fill_rect(x1, y1, x2, y2, colour);
  plat().graphics_update();
}

// --- drawing -----------------------------------------------------------------

int PLMSHO(const MeshModel& m, int matsel, const Positions& at, const MeshWindow& frame,
           bool zoomed, bool highlight, bool clear) {
  const bool screen = !ps_mode();
  if (screen) {
    plat().mouse_show(false);
    if (clear) fill_frame(frame, 7);
  }
  int drawn = 0;
  for (int e = 1; e <= m.nelem; ++e) {
    if (matsel > 0 && m.mattyp(e) != matsel) continue;
    if (is_one_dimensional(m, e)) continue;
    // PLOTEL checks the element and says whether it drew it; zoomed, the
    // check comes first so that only valid nodes are looked up.
    if (zoomed && !element_inside(m, e, at, frame)) continue;
    if (PLOTEL(m, e, highlight, &at)) ++drawn;
  }
  SETCOL(15);
  if (zoomed && drawn == 0) PUTERR("No elt lies inside zoom area! Try again with larger area.");
  if (screen) plat().mouse_show(true);
  return drawn;
}

void draw_vectors(const MeshModel& m, const PlotWork& w, const MeshWindow& frame) {
  SETCOL(2);
  for (int n = 1; n <= m.npoin; ++n) {
    const double* c = m.coord.row(n);
    if (!frame.holds(c[1], c[2])) continue;
    const double* d = w.cdef.row(n);
    JOINP1(c[1], c[2], d[1], d[2]);
  }
  SETCOL(15);
}

// --- the interactive plot ------------------------------------------------------

namespace {

const Positions& node_positions(const DisplacementPlot& p) {
  return p.nodes_displaced ? p.w.cdef : p.m.coord;
}

// Sets the window for the rectangle and draws the whole screen: the line
// under the heading, the frame, the picture, the counts and the toolbar.
void draw_screen(DisplacementPlot& p, double x1, double x2, double y1, double y2) {
  STZOOM(x1, x2, y1, y2, p.frame);
  Framebuffer& fb = plat().fb();
  fb.line(0, 34, 639, 34, 15);
  FAXES(p.frame.xmin, p.frame.xmax, p.frame.ymin, p.frame.ymax, plot_state().charsize, -1);
  p.picture(p);
  fb.text(16, 463, fmt_I(p.m.nelem, 8) + " elements," + fmt_I(p.m.npoin, 8) + " nodes.", 15);
  result_toolbar(9, DISPL_BUTTONS, p.ybar);
  plat().graphics_update();
}

void draw_full(DisplacementPlot& p) {
  p.zoomed = false;
  draw_screen(p, p.box[0], p.box[1], p.box[2], p.box[3]);
}

// Asks for a number in 1..top until one is given; 0 when there is none to
// give.
int ask_number(const DisplacementPlot& p, const std::string& prompt, int top,
               const std::string& error) {
  const std::string text = p.errors_in_text ? "Error: no such " + error + "!"
                                            : "No such " + error + "!";
  for (;;) {
    const int k = top >= 1 ? PUTGI(prompt) : 0;
    if (k >= 1 && k <= top) return k;
    if (p.errors_in_text) {
      WRLINE(text);
      SLEEPZ(1.0);
    } else {
      PUTERR(text);
      if (error == "node") SLEEPZ(0.2);
    }
    if (top < 1) return 0;
  }
}

void show_element(const DisplacementPlot& p, int e) {
  LABELT(p.m, e, 14);
  if (!valid_element(p.m, e)) return;
  for (int k = 1; k <= p.m.nnode(e); ++k) LABNDE(p.m, p.m.lnods(e, k), 14, &node_positions(p));
}

void show_node(const DisplacementPlot& p, int n) {
  LABNDE(p.m, n, 14, &node_positions(p));
  const int count = std::clamp(p.m.ndof(n), 0, 4);
  double values[4];
  for (int k = 1; k <= count; ++k) values[k - 1] = p.r.disp(n, k);
  RESNOD(n, count, &p.r.dofnam[1], values);
}

// The toolbar dialogue of one pass; returns on Continue.
void mouse_loop(DisplacementPlot& p) {
  MeshModel& m = p.m;
  for (;;) {
    const MouseState s = next_press();
    if (!on_toolbar(s)) continue;
    const int b = bar_button(9, p.ybar, s.y);
    if (!(s.buttons & MOUSE_LEFT)) {
      if (b == B_ZOOM) HPZOOM();
      continue;
    }
    switch (b) {
      case B_CONTINUE:
      case B_RESTORE:
        draw_full(p);
        SLEEPZ(1.0);
        if (b == B_CONTINUE) return;
        break;
      case B_NUMBER_ELEMENTS:
        LABELM(m, 1, m.nelem, p.frame);
        break;
      case B_NUMBER_NODES:
        LABNOD(m, 1, m.npoin, p.frame, &node_positions(p));
        break;
      case B_ZOOM: {
        double x1, x2, y1, y2;
        zoom_box(p.frame, x1, x2, y1, y2);
        p.zoomed = true;
        draw_screen(p, x1, x2, y1, y2);
        break;
      }
      case B_ELT_BY_NO: {
        const int e = ask_number(p, "Enter element number: ", m.nelem, "element");
        if (e) show_element(p, e);
        break;
      }
      case B_ELT_BY_MOUSE: {
        SLEEPZ(0.5);
        const int e = PICKLZ(m, "Click mouse on chosen element in mesh:", p.frame);
        if (e) {
          show_element(p, e);
          SLEEPZ(0.1);
        }
        break;
      }
      case B_NODE_BY_NO: {
        const int n = ask_number(p, "Enter node number: ", m.npoin, "node");
        if (n) show_node(p, n);
        break;
      }
      case B_NODE_BY_MOUSE: {
        SLEEPZ(0.5);
        const int n = PICKNZ("Click on chosen node: ", m.npoin, node_positions(p), p.frame);
        if (n) show_node(p, n);
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace

void run_displacement_plot(DisplacementPlot& p) {
  OUTGR("Initial exaggeration factor = ", p.factor);
  p.initial = p.factor;
  for (;;) {
    displace(p.m, p.r, p.w, p.factor);
    displaced_box(p.m, p.w, p.box);
    draw_full(p);
    SMOUSE();
    mouse_loop(p);
    char answer;
    while ((answer = YESNOH("Try another exaggeration factor?")) == 'h') HPDEFM();
    if (answer != 'y') break;
    double typed = p.factor;
    PUTGR2("Enter an exaggeration factor: ", typed);
    p.factor = accepted_factor(typed, p.initial, p.limit);
  }
  // Later plots number elements at their undeformed centroids.
  CENTRD(p.m);
}

namespace {

void deformed_picture(DisplacementPlot& p) {
  PLMSHO(p.m, p.matsel, p.m.coord, p.frame, p.zoomed, true, true);
  PLMSHO(p.m, p.matsel, p.w.cdef, p.frame, p.zoomed, false, false);
}

void vector_picture(DisplacementPlot& p) {
  PLMSHO(p.m, p.matsel, p.m.coord, p.frame, p.zoomed, true, true);
  draw_vectors(p.m, p.w, p.frame);
}

void run_plot(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v,
              void (*picture)(DisplacementPlot&), bool nodes_displaced) {
  DisplacementPlot p{m, r, w};
  p.matsel = v.matsel;
  p.picture = picture;
  p.nodes_displaced = nodes_displaced;
  const double largest = largest_displacement(m, r);
  p.factor = initial_factor(mesh_width(m), largest);
  p.limit = factor_limit(mesh_width(m), largest);
  run_displacement_plot(p);
}

}  // namespace

void SPLAY(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v) {
  run_plot(m, r, w, v, deformed_picture, true);
}

void VSPLAY(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v) {
  run_plot(m, r, w, v, vector_picture, false);
}

// --- PostScript pictures -------------------------------------------------------

namespace {

// The deformed mesh (vectors false) or the nodal vectors, written to the
// open PostScript unit.
void ps_displacements(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v,
                      bool vectors) {
  double factor;
  ask_reals("Enter an exaggeration factor: ", 1, &factor);
  // Any factor is drawn (zero shows the undeformed mesh); only one too large
  // for the picture's numbers is held.
  const double largest = largest_displacement(m, r);
  double mesh[4];  // the undeformed box, for the limit and the picture's box
  BOUNDS(m.npoin, m.coord, mesh[0], mesh[1], mesh[2], mesh[3]);
  const double limit = factor_limit(std::max(1.0, mesh[1] - mesh[0]), largest);
  if (std::fabs(factor) > limit) {
    factor = std::copysign(limit, factor);
    WRLINE("Exaggeration factor held to " + free_real_text(factor));
  }
  // The displaced centroids are not drawn here, and CENTRD puts the
  // undeformed ones back at the end: the nodes alone are moved.
  move_nodes(m, r, w, factor);

  double box[4];
  box_with_displaced(mesh, m, w, box);
  MeshWindow frame;
  const bool zoomed = begin_picture(
      vectors ? "VORTAN plots - nodal vectors" : "VORTAN plots - deformed mesh", box[0], box[1],
      box[2], box[3], frame);

  if (YESNO("Do you want to plot original mesh?") == 'y') {
    PSREC("% original mesh");
    PLMSHO(m, v.matsel, m.coord, frame, zoomed, true, false);
  }
  if (!vectors && YESNO("Do you want to plot deformed mesh?") == 'y') {
    PSREC("% deformed mesh next");
    PLMSHO(m, v.matsel, w.cdef, frame, zoomed, false, false);
  }
  if (vectors && YESNO("Do you want to plot nodal vectors?") == 'y') {
    PSREC("% nodal vectors next");
    draw_vectors(m, w, frame);
  }
  PSEND();
  set_ps_mode(false);
  CENTRD(m);
}

}  // namespace

void PSMESH(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v) {
  ps_displacements(m, r, w, v, false);
}

void PSVMSH(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v) {
  ps_displacements(m, r, w, v, true);
}

}  // namespace vortan
