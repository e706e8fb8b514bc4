#include "mesh_display.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "help_screens.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {

constexpr double PI = 3.14159265358979323846;

bool element_in(const MeshModel& m, int e, const MeshWindow& w) {
  const int nn = m.nnode(e);
  const int* nodes = m.lnods.row(e);
  for (int k = 1; k <= nn; ++k) {
    const double* p = m.coord.row(nodes[k]);
    if (!w.holds(p[1], p[2])) return false;
  }
  return true;
}

// One side of an element: end corners a and b (local node numbers) and the
// mid-side node between them, 0 for a straight side.
struct Side {
  int a, mid, b;
};

// The sides of an element type, walked anticlockwise; false for a pair of
// counts that is not a known type.
bool element_sides(int nnode, int nside, Side* sides, int& count) {
  static const Side tri3[] = {{1, 0, 2}, {2, 0, 3}, {3, 0, 1}};
  static const Side quad4[] = {{1, 0, 2}, {2, 0, 3}, {3, 0, 4}, {4, 0, 1}};
  static const Side inf4[] = {{1, 0, 2}, {2, 0, 3}, {3, 0, 4}};
  static const Side corner3[] = {{1, 0, 2}, {2, 0, 3}};
  static const Side tri6[] = {{1, 2, 3}, {3, 4, 5}, {5, 6, 1}};
  static const Side quad8[] = {{1, 2, 3}, {3, 4, 5}, {5, 6, 7}, {7, 8, 1}};
  static const Side inf5[] = {{1, 2, 3}, {3, 4, 5}, {5, 0, 1}};
  // Thin quadrilateral and the 6-node joint and rockbolt: two quadratic faces
  // 1-2-3 and 4-5-6 joined by straight ends.
  static const Side thin6[] = {{1, 2, 3}, {3, 0, 4}, {4, 5, 6}, {6, 0, 1}};
  static const Side open6[] = {{1, 2, 3}, {3, 0, 4}, {4, 5, 6}};
  static const Side bar2[] = {{1, 0, 2}};
  static const Side bar3[] = {{1, 2, 3}};
  const Side* t = nullptr;
  switch (element_key(nnode, nside)) {
    case 33: t = tri3; count = 3; break;
    case 44: t = quad4; count = 4; break;
    case 43: t = inf4; count = 3; break;
    case 32: t = corner3; count = 2; break;
    case 63: t = tri6; count = 3; break;
    case 84: t = quad8; count = 4; break;
    case 53: t = inf5; count = 3; break;
    case 64: t = thin6; count = 4; break;
    case 61:
    case 62: t = open6; count = 3; break;
    case 42: t = inf4; count = 3; break;
    case 21: t = bar2; count = 1; break;
    case 31: t = bar3; count = 1; break;
    default: count = 0; return false;
  }
  std::copy(t, t + count, sides);
  return true;
}

// Draws a side through its nodes: a curve when the three nodes are not in
// line, else a straight line.
void draw_side(const Positions& xy, int na, int nm, int nb) {
  const double* pa = xy.row(na);
  const double* pb = xy.row(nb);
  const double xa = pa[1], ya = pa[2];
  const double xb = pb[1], yb = pb[2];
  if (nm != 0) {
    const double* pm = xy.row(nm);
    const double xm = pm[1], ym = pm[2];
    const double area2 = (xm - xa) * (yb - ya) - (xb - xa) * (ym - ya);
    if (std::fabs(area2) >= 0.0001) {
      const double xs[3] = {xa, xm, xb}, ys[3] = {ya, ym, yb};
      LCURV(xs, ys);
      return;
    }
  }
  JOINP1(xa, ya, xb, yb);
}

bool is_area_element(const MeshModel& m, int e) {
  return std::abs(m.nside(e)) >= 3 || (std::abs(m.nside(e)) == 2 && m.nnode(e) == 3);
}

// The plain digits of v in buf wherever they fit the 8 columns of a
// number field; empty beyond.
std::string_view plain_digits(long v, char (&buf)[16]) {
  if (v <= -10000000 || v >= 100000000) return {};
  return std::string_view(buf, std::to_chars(buf, buf + sizeof buf, v).ptr - buf);
}

std::string number_text(long v) {
  // The field's own form (its stars) where the plain digits do not fit.
  char buf[16];
  const std::string_view digits = plain_digits(v, buf);
  if (!digits.empty()) return std::string(digits);
  std::string t = fmt_I(v, 8);
  return t.substr(std::min(t.find_first_not_of(' '), t.size()));
}

// A node or element number on the screen, centred left-right on the point
// with its baseline `up` pixels above it.
void screen_number(double x, double y, long v, int colour, int up) {
  int ix, iy;
  MAPPXL(x, y, ix, iy);
  if (ix < AREA_X1 || ix > AREA_X2 || iy < AREA_Y1 || iy > AREA_Y2) return;
  // Numbers of up to 8 digits, all the plain digits, drawn from the number
  // itself: a screen shows tens of thousands.
  if (v >= 0 && v < 100000000) {
    plat().fb().number_centred(ix, iy - up, v, colour);
  } else {
    const std::string text = number_text(v);
    plat().fb().text(ix - 4 * static_cast<int>(text.size()), iy - up, text, colour, 1,
                     TextAnchor::Baseline);
  }
  plat().graphics_update();
}

// MAPPXL's mapping for a loop over thousands of labels: the plot window's
// factors read once, the same arithmetic, so the same pixels. Only points
// that land in the drawing area are mapped here; any point the window
// cannot map to a number is left to screen_number.
struct LabelPixels {
  double sx, xmin, xoff, ymax, h, yoff;
  LabelPixels() {
    const PlotState& p = plot_state();
    sx = 480.0 / (p.width != 0 ? p.width : 1);
    h = p.height != 0 ? p.height : 1;
    xmin = p.xmin, xoff = p.xoff, ymax = p.ymax, yoff = p.yoff;
  }
  // Where (x, y) lands: IN_AREA with its pixel, OUTSIDE the drawing area,
  // or UNMAPPED when the window makes no number of it.
  enum Place { IN_AREA, OUTSIDE, UNMAPPED };
  Place place(double x, double y, int& ix, int& iy) const {
    const double fx = sx * (x - xmin) + xoff, fy = (ymax - y) * 480.0 / h + yoff;
    // Rounded half away from zero, fx lands on columns AREA_X1..AREA_X2 when
    // it lies within half a pixel of them (and the clamp to the screen
    // routines' range cannot move it there); likewise fy.
    if (!(fx > AREA_X1 - 0.5 && fx < AREA_X2 + 0.5 && fy > AREA_Y1 - 0.5 && fy < AREA_Y2 + 0.5))
      return std::isnan(fx) || std::isnan(fy) ? UNMAPPED : OUTSIDE;
    ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    ix += fx - ix >= 0.5, iy += fy - iy >= 0.5;
    return IN_AREA;
  }
};

// The numbers first..last of the points xy inside the frame, in their
// colours, on the screen.
template <class Points, class Colour>
void screen_numbers(const Points& xy, int first, int last, const MeshWindow& frame, int up,
                    Colour colour) {
  const LabelPixels map;
  Platform& pl = plat();
  Framebuffer& fb = pl.fb();
  // Drawn a few hundred at a time; the window follows the picture as it is
  // drawn, a few times a second.
  NumberLabel batch[256];
  int count = 0;
  auto draw_batch = [&] {
    fb.numbers_centred({batch, static_cast<size_t>(count)});
    count = 0;
    pl.graphics_update();
  };
  for (int i = first; i <= last; ++i) {
    const double x = xy(i, 1), y = xy(i, 2);
    if (!frame.holds(x, y)) continue;
    int ix, iy;
    const LabelPixels::Place at = map.place(x, y, ix, iy);
    if (at == LabelPixels::IN_AREA) {
      batch[count++] = NumberLabel{ix, iy - up, i, colour(i)};
      if (count == 256) draw_batch();
    } else if (at == LabelPixels::UNMAPPED) {
      draw_batch();  // kept in order
      screen_number(x, y, i, colour(i), up);
    }
  }
  draw_batch();
}

// A number in PostScript: a blank box behind it, then the label centred.
void ps_number(double x, double y, const std::string& text) {
  BLANKR(x, y, static_cast<int>(text.size()));
  PSLAB(x, y, text, AL_CENTRE + AL_MIDDLE);
}

}  // namespace

// --- windows -----------------------------------------------------------------

void BOUNDS(int npoin, const Table2<double, MPOIN, 2>& coord, double& xmin, double& xmax,
            double& ymin, double& ymax) {
  if (npoin == 0) {
    xmin = xmax = ymin = ymax = 0;
    return;
  }
  xmin = xmax = coord(1, 1);
  ymin = ymax = coord(1, 2);
  // Kept in locals so that the loop reads each row once and stores nothing.
  double x1 = xmin, x2 = xmax, y1 = ymin, y2 = ymax;
  for (int i = 2; i <= npoin; ++i) {
    const double* p = coord.row(i);
    x1 = std::min(x1, p[1]);
    x2 = std::max(x2, p[1]);
    y1 = std::min(y1, p[2]);
    y2 = std::max(y2, p[2]);
  }
  xmin = x1, xmax = x2, ymin = y1, ymax = y2;
}

void STZOOM(double x1, double x2, double y1, double y2, MeshWindow& frame) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  double w = std::max(x2 - x1, y2 - y1);
  // A single node, or nodes all at one point, still get a window to sit in.
  if (!(w > 0)) w = std::max(1.0, std::max(std::fabs(x1), std::fabs(y1)));
  const bool ps = ps_mode();
  double charsize;
  STPLOT(x1 - 0.3 * w, x1 + 1.3 * w, y1 - 0.3 * w, y1 + 1.3 * w, charsize, 15);
  set_ps_mode(ps);
  frame = MeshWindow{x1 - 0.1 * w, x1 + 1.1 * w, y1 - 0.1 * w, y1 + 1.1 * w};
}

void SMOUSE() {
  plat().mouse_move(250, 250);
  plat().mouse_show(true);
}

void CENTRD(MeshModel& m) {
  for (int e = 1; e <= m.nelem; ++e) {
    double sx = 0, sy = 0;
    int count = 0;
    const int nn = m.nnode(e);
    const int* nodes = m.lnods.row(e);
    for (int k = 1; k <= nn; ++k) {
      const int n = nodes[k];
      if (!valid_node(m, n)) continue;
      const double* p = m.coord.row(n);
      sx += p[1];
      sy += p[2];
      ++count;
    }
    m.xycen(e, 1) = count ? sx / count : 0.0;
    m.xycen(e, 2) = count ? sy / count : 0.0;
  }
}

// --- drawing -----------------------------------------------------------------

int side_colour(int ka, int kb, bool highlight) {
  if (highlight) return 14;
  const int lo = std::min(ka, kb);
  if (ka + kb == 11 || lo < 1) return 2;
  if (lo == 11) return 0;
  return 8;
}

int node_label_colour(int kode) {
  if (kode == 11) return 0;
  if (kode == 1 || kode == 10) return 8;
  return 4;
}

void LCURV(const double xs[3], const double ys[3]) {
  // Enough steps that each chord is about 3 device units (pixels on the
  // screen, points in PostScript): smooth at the resolution drawn.
  const PlotState& p = plot_state();
  double unit = ps_mode() ? std::fabs(p.psscale)
                          : 480.0 / std::max(1.0e-30, (double)std::min(p.width, p.height));
  double len = (std::hypot(xs[1] - xs[0], ys[1] - ys[0]) +
                std::hypot(xs[2] - xs[1], ys[2] - ys[1])) * unit;
  int steps = static_cast<int>(std::ceil(len / 3.0));
  steps = std::clamp(steps, 4, 200);
  double px = xs[0], py = ys[0];
  for (int i = 1; i <= steps; ++i) {
    const double s = -1.0 + 2.0 * i / steps;
    double f[3];
    SHAPE(s, 0.0, 31, f);
    const double qx = f[0] * xs[0] + f[1] * xs[1] + f[2] * xs[2];
    const double qy = f[0] * ys[0] + f[1] * ys[1] + f[2] * ys[2];
    JOINP1(px, py, qx, qy);
    px = qx;
    py = qy;
  }
}

void LCURV(CurveRoutine curve, const void* data) {
  // The length at the scale drawn, from the tangent at a few points, gives
  // the number of steps: each chord about 3 device units, as above.
  const PlotState& p = plot_state();
  const double unit = ps_mode() ? std::fabs(p.psscale)
                                : 480.0 / std::max(1.0e-30, (double)std::min(p.width, p.height));
  double len = 0;
  for (int i = 0; i < 8; ++i) {
    const CurvePoint c = curve(-1.0 + (2.0 * i + 1.0) / 8.0, data);
    len += std::hypot(c.dx, c.dy) * 0.25;
  }
  len *= unit;
  const int steps = std::isfinite(len) ? std::clamp(static_cast<int>(std::ceil(len / 3.0)), 4, 200)
                                       : 200;
  CurvePoint a = curve(-1.0, data);
  for (int i = 1; i <= steps; ++i) {
    const CurvePoint b = curve(-1.0 + 2.0 * i / steps, data);
    JOINP1(a.x, a.y, b.x, b.y);
    a = b;
  }
}

bool PLOTEL(const MeshModel& m, int e, bool highlight, const Positions* at) {
  if (!valid_element(m, e)) return false;
  const Positions& xy = at ? *at : m.coord;
  const int nn = m.nnode(e);
  const int* nodes = m.lnods.row(e);
  Side sides[4];
  int count = 0;
  if (!element_sides(nn, std::abs(m.nside(e)), sides, count) || count == 0) {
    // Not a known type: straight sides through its nodes, closed.
    for (int k = 1; k <= nn; ++k) {
      int a = nodes[k], b = nodes[k % nn + 1];
      SETCOL(side_colour(m.kode(a), m.kode(b), highlight));
      draw_side(xy, a, 0, b);
    }
    return true;
  }
  for (int i = 0; i < count; ++i) {
    const Side& s = sides[i];
    const int a = nodes[s.a], b = nodes[s.b], mid = s.mid ? nodes[s.mid] : 0;
    SETCOL(side_colour(m.kode(a), m.kode(b), highlight));
    draw_side(xy, a, mid, b);
  }
  return true;
}

void PLOT1D(const MeshModel& m, int e) {
  if (!valid_element(m, e)) return;
  const int nn = m.nnode(e), ns = std::abs(m.nside(e));
  if (ns == 1 && nn == 6)
    SETCOL(4);  // rockbolt
  else if (ns == 1)
    SETCOL(5);  // bar
  else
    SETCOL(6);  // joint
  Side sides[4];
  int count = 0;
  if (element_sides(nn, ns, sides, count)) {
    for (int i = 0; i < count; ++i) {
      const Side& s = sides[i];
      draw_side(m.coord, m.lnods(e, s.a), s.mid ? m.lnods(e, s.mid) : 0, m.lnods(e, s.b));
    }
  } else {
    for (int k = 1; k < nn; ++k) draw_side(m.coord, m.lnods(e, k), 0, m.lnods(e, k + 1));
  }
}

int PLMESH(const MeshModel& m, const MeshWindow& frame, bool zoomed, bool no1d, bool clear) {
  if (clear && !ps_mode()) ENPLO1();
  const int nelem = m.nelem;
  int drawn = 0;
  for (int e = 1; e <= nelem; ++e) {
    if (!valid_element(m, e) || !is_area_element(m, e) || !element_in(m, e, frame)) continue;
    PLOTEL(m, e);
    ++drawn;
  }
  if (!no1d) {
    for (int e = 1; e <= nelem; ++e) {
      if (!valid_element(m, e) || is_area_element(m, e) || !element_in(m, e, frame)) continue;
      PLOT1D(m, e);
      ++drawn;
    }
  }
  SETCOL(15);
  if (zoomed && drawn == 0) PUT("No elt lies inside zoom area! Try again with larger area.");
  return drawn;
}

void LABNOD(const MeshModel& m, int first, int last, const MeshWindow& frame,
            const Positions* at) {
  const Positions& xy = at ? *at : m.coord;
  first = std::max(first, 1);
  last = std::min(last, m.npoin);
  if (!ps_mode()) {
    screen_numbers(xy, first, last, frame, 4, [&m](int n) { return node_label_colour(m.kode(n)); });
    return;
  }
  for (int n = first; n <= last; ++n)
    if (frame.holds(xy(n, 1), xy(n, 2))) ps_number(xy(n, 1), xy(n, 2), number_text(n));
}

void LABELM(const MeshModel& m, int first, int last, const MeshWindow& frame) {
  first = std::max(first, 1);
  last = std::min(last, m.nelem);
  if (!ps_mode()) {
    screen_numbers(m.xycen, first, last, frame, -5, [](int) { return 15; });
    return;
  }
  for (int e = first; e <= last; ++e)
    if (frame.holds(m.xycen(e, 1), m.xycen(e, 2)))
      ps_number(m.xycen(e, 1), m.xycen(e, 2), number_text(e));
}

void LABELT(const MeshModel& m, int e, int colour) {
  if (e < 1 || e > m.nelem) return;
  const double x = m.xycen(e, 1), y = m.xycen(e, 2);
  if (ps_mode())
    ps_number(x, y, number_text(e));
  else
    screen_number(x, y, e, colour, -5);
}

void LABNDE(const MeshModel& m, int n, int colour, const Positions* at) {
  if (!valid_node(m, n)) return;
  const Positions& xy = at ? *at : m.coord;
  const double x = xy(n, 1), y = xy(n, 2);
  if (ps_mode()) {
    ps_number(x, y, number_text(n));
    return;
  }
  int ix, iy;
  MAPPXL(x, y, ix, iy);
  if (ix >= AREA_X1 + 1 && ix <= AREA_X2 - 1 && iy >= AREA_Y1 + 1 && iy <= AREA_Y2 - 1)
    plat().fb().fill_rect(ix - 1, iy - 1, ix + 1, iy + 1, colour);
  screen_number(x, y, n, colour, 4);
}

// --- picking -----------------------------------------------------------------

void mark_dot(double x, double y, int colour) {
  if (ps_mode()) return;
  int ix, iy;
  MAPPXL(x, y, ix, iy);
  if (ix < AREA_X1 || ix + 1 > AREA_X2 || iy < AREA_Y1 || iy + 1 > AREA_Y2) return;
  plat().fb().fill_rect(ix, iy, ix + 1, iy + 1, colour);
  plat().graphics_update();
}

void show_prompt(const std::string& prompt) { TELL(prompt); }

bool pick_click(double& xc, double& yc, bool* right) {
  MouseState s;
  do {
    s = next_press();
  } while (!below_heading(s));
  if (right) *right = (s.buttons & MOUSE_LEFT) == 0;
  if (on_toolbar(s)) return false;
  PXLMAP(s.x, s.y, xc, yc);
  return true;
}

int PICKNZ(const MeshModel& m, const std::string& prompt, const MeshWindow& frame) {
  return pick_marked(prompt, m.npoin, m.coord, frame, 2);
}

int PICKND(const MeshModel& m, const std::string& prompt) {
  return PICKNZ(m, prompt, WHOLE_PLANE);
}

int PICKLZ(const MeshModel& m, const std::string& prompt, const MeshWindow& frame) {
  return pick_marked(prompt, m.nelem, m.xycen, frame, 7);
}

int PICKEL(const MeshModel& m, const std::string& prompt) {
  return PICKLZ(m, prompt, WHOLE_PLANE);
}

bool inside_region(int nv, const double* vx, const double* vy, double x, double y) {
  if (nv < 2) return false;
  // A point on a vertex lies on the region's boundary, like one on an edge.
  for (int i = 0; i < nv; ++i)
    if (vx[i] == x && vy[i] == y) return true;
  double sum = 0;
  for (int i = 0; i < nv; ++i) {
    const int j = (i + 1) % nv;
    const double ax = vx[i] - x, ay = vy[i] - y, bx = vx[j] - x, by = vy[j] - y;
    const double cross = ax * by - ay * bx, dot = ax * bx + ay * by;
    // In line with the edge (the tolerance taken relative to the edge's
    // vectors, so the test works for meshes of any size): on the edge when
    // the ends lie on either side of the point.
    if (std::fabs(cross) < 0.01 * std::hypot(ax, ay) * std::hypot(bx, by))
      sum += dot <= 0 ? PI : 0.0;
    else
      sum += std::atan2(cross, dot);
  }
  return std::fabs(2 * PI - std::fabs(sum)) < 0.01;
}

namespace {

int count_selected(const MeshModel& m, const Table1<int, MELEM>& marks) {
  int c = 0;
  for (int e = 1; e <= m.nelem; ++e)
    if (marks(e) < 0) ++c;
  return c;
}

// Repaints the centroid marks of unselected elements and returns the count.
int end_selection(const MeshModel& m, const Table1<int, MELEM>& marks, const MeshWindow& frame) {
  end_tell();
  for (int e = 1; e <= m.nelem; ++e)
    if (marks(e) >= 0 && frame.holds(m.xycen(e, 1), m.xycen(e, 2)))
      mark_dot(m.xycen(e, 1), m.xycen(e, 2), 7);
  return count_selected(m, marks);
}

}  // namespace

int PICKLL(const MeshModel& m, Table1<int, MELEM>& marks, const MeshWindow& frame) {
  const int nelem = m.nelem;
  TELL("Click on elements, or click the right mouse button if you want to define a region");
  for (int e = 1; e <= nelem; ++e)
    if (frame.holds(m.xycen(e, 1), m.xycen(e, 2))) mark_dot(m.xycen(e, 1), m.xycen(e, 2), 15);
  for (;;) {
    double xc, yc;
    bool right = false;
    if (!pick_click(xc, yc, &right)) break;  // the toolbar ends the selection
    if (!right) {
      const int e = nearest_point(nelem, m.xycen, xc, yc, frame);
      if (e == 0) continue;
      LABELT(m, e, marks(e) >= 0 ? 0 : 7);
      marks(e) = -marks(e);
      if (marks(e) == 0) marks(e) = -1;  // a zero entry still needs a sign
      continue;
    }
    // Region mode: up to 9 vertices, ended by a right click.
    TELL("Click on (max. 9) vertices of region, then right-click to end");
    double vx[9], vy[9];
    int nv = 0;
    const short old = plot_state().colour;
    SETCOL(15);
    const double half = 0.005 * std::max(plot_state().width, plot_state().height);
    while (nv < 9) {
      MouseState s = next_press();
      if (!(s.buttons & MOUSE_LEFT)) break;
      if (!in_drawing_area(s)) continue;
      PXLMAP(s.x, s.y, vx[nv], vy[nv]);
      MARPT(vx[nv], vy[nv], half);
      if (nv > 0) JOINP1(vx[nv - 1], vy[nv - 1], vx[nv], vy[nv]);
      ++nv;
    }
    if (nv < 2) {
      SETCOL(old);
      PUT("No region selected!");
      if (count_selected(m, marks) > 0) break;
      return 0;
    }
    JOINP1(vx[nv - 1], vy[nv - 1], vx[0], vy[0]);
    SETCOL(old);
    for (int e = 1; e <= nelem; ++e)
      if (inside_region(nv, vx, vy, m.xycen(e, 1), m.xycen(e, 2)) && marks(e) >= 0) {
        marks(e) = marks(e) == 0 ? -1 : -marks(e);
        LABELT(m, e, 0);
      }
    return end_selection(m, marks, frame);
  }
  if (count_selected(m, marks) == 0) {
    PUT("No elements selected!");
    return 0;
  }
  return end_selection(m, marks, frame);
}

// --- the inspection screen ---------------------------------------------------

namespace {

struct DisplayState {
  MeshWindow frame;
  bool zoomed = false;
  int ybar[10] = {};
};

// Sets the window for the rectangle and draws the whole screen: frame,
// mesh, counts and toolbar.
void draw_screen(const MeshModel& m, DisplayState& d, double x1, double x2, double y1,
                 double y2) {
  STZOOM(x1, x2, y1, y2, d.frame);
  Framebuffer& fb = plat().fb();
  fb.line(0, 34, 639, 34, 15);
  FAXES(d.frame.xmin, d.frame.xmax, d.frame.ymin, d.frame.ymax, plot_state().charsize, -1);
  PLMESH(m, d.frame, d.zoomed, false, false);
  fb.text(16, 463, fmt_I(m.nelem, 8) + " elements," + fmt_I(m.npoin, 8) + " nodes.", 15);
  RIGBAR(9, 9, d.ybar);
  for (int i = 1; i <= 9; ++i) BARLAB(i, d.ybar, DISPL_BUTTONS[i]);
  plat().graphics_update();
}

void draw_full(const MeshModel& m, DisplayState& d) {
  double xmin, xmax, ymin, ymax;
  BOUNDS(m.npoin, m.coord, xmin, xmax, ymin, ymax);
  d.zoomed = false;
  draw_screen(m, d, xmin, xmax, ymin, ymax);
}

void zoom(const MeshModel& m, DisplayState& d) {
  TELL("Click mouse on opposite corners defining zoom area: ");
  double x[2], y[2];
  int got = 0;
  while (got < 2) {
    MouseState s = next_press();
    if (!(s.buttons & MOUSE_LEFT) || !in_drawing_area(s)) continue;
    PXLMAP(s.x, s.y, x[got], y[got]);
    if (!d.frame.holds(x[got], y[got])) continue;
    if (got == 1 && (std::fabs(x[1] - x[0]) < 1.0e-9 || std::fabs(y[1] - y[0]) < 1.0e-9))
      continue;
    if (got == 0) {
      SETCOL(15);
      MARPT(x[0], y[0], 0.01 * (d.frame.xmax - d.frame.xmin));
    }
    ++got;
  }
  end_tell();
  SETCOL(15);
  GGBOX(x[0], x[1], y[0], y[1]);
  SLEEPZ(0.5);
  d.zoomed = true;
  draw_screen(m, d, x[0], x[1], y[0], y[1]);
}

void show_element(const MeshModel& m, int e) {
  LABELT(m, e, 14);
  for (int k = 1; k <= m.nnode(e); ++k) LABNDE(m, m.lnods(e, k), 14);
  MPUT("Material property set: " + std::to_string(m.matset(e)),
       "Material type: " + std::to_string(m.mattyp(e)));
}

void show_node(const MeshModel& m, int n) {
  LABNDE(m, n, 14);
  OUTNOD("Coordinates: ", n, m.coord(n, 1), m.coord(n, 2));
  OUTKOD(m.ndof(n), m.kode(n));
}

// Asks for a number in 1..top until one is given; 0 when there is nothing
// to choose from.
int ask_number(const std::string& prompt, int top, const std::string& error) {
  if (top < 1) {
    PUTERR(error);
    return 0;
  }
  for (;;) {
    int k = PUTGI(prompt);
    if (k >= 1 && k <= top) return k;
    PUTERR(error);
  }
}

}  // namespace

void DISPL(MeshModel& m, const std::string& heading) {
  CENTRD(m);
  DisplayState d;
  draw_full(m, d);
  SMOUSE();
  TELL(heading);
  const int nelem = m.nelem, npoin = m.npoin;
  for (;;) {
    MouseState s = next_press();
    if (!on_toolbar(s)) continue;
    const int b = bar_button_closed(9, d.ybar, s.y);
    if (!(s.buttons & MOUSE_LEFT)) {
      if (b == B_ZOOM) HPZOOM();
      continue;
    }
    switch (b) {
      case B_CONTINUE:
      case B_RESTORE:
        draw_full(m, d);
        if (b == B_CONTINUE) {
          end_tell();  // the heading spoke of this screen only
          return;
        }
        break;
      case B_NUMBER_ELEMENTS:
        LABELM(m, 1, nelem, d.frame);
        break;
      case B_ZOOM:
        zoom(m, d);
        break;
      case B_ELT_BY_NO: {
        int e = ask_number("Enter element number: ", nelem, "Error: no such element!");
        if (e) show_element(m, e);
        break;
      }
      case B_NUMBER_NODES:
        LABNOD(m, 1, npoin, d.frame);
        break;
      case B_ELT_BY_MOUSE: {
        int e = PICKLZ(m, "Click mouse on chosen element in mesh:", d.frame);
        if (e) show_element(m, e);
        break;
      }
      case B_NODE_BY_NO: {
        int n = ask_number("Enter node number: ", npoin, "Error: no such node!");
        if (n) show_node(m, n);
        break;
      }
      case B_NODE_BY_MOUSE: {
        int n = PICKNZ(m, "Click on chosen node in mesh:", d.frame);
        if (n) show_node(m, n);
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace vortan
