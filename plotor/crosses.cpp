#include "crosses.h"

#include "mesh_picture.h"

#include <algorithm>
#include <cmath>

#include "help_screens.h"
#include "mesh_boundary.h"
#include "platform/platform.h"
#include "plot.h"
#include "plots.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {

const double PI = 4.0 * std::atan(1.0);

// The side of the square window around a box; a box without extent (one
// node, or all nodes at one point) still gets a window to sit in, as the
// mesh display gives it.
double box_side(double x1, double x2, double y1, double y2) {
  const double d = std::max(x2 - x1, y2 - y1);
  if (d > 0 && std::isfinite(d)) return d;
  return std::max(1.0, std::max(std::fabs(x1), std::fabs(y1)));
}

MeshWindow frame_of(double x1, double y1, double d) {
  return MeshWindow{x1 - 0.1 * d, x1 + 1.1 * d, y1 - 0.1 * d, y1 + 1.1 * d};
}

// Half-length beyond which an arm reaches far past the plot window either
// way: longer arms are drawn at this length, which looks the same once
// clipped and keeps every coordinate written a plain number.
double arm_cap() {
  const PlotState& p = plot_state();
  return 10.0 * std::max(1.0e-30, static_cast<double>(std::max(p.width, p.height)));
}

bool finite_point(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

// The largest magnitude of the first two values over the records (sigma x
// and sigma y, or the two flow rates). When they are all zero, a stress
// state can still hold shear: the largest shear stress is taken then, so
// that pure shear is drawn at the same size as any other state.
double largest_value(const MeshModel& m, const ResultSet& r) {
  const int n = std::clamp(r.ngaus, 0, MGAUS);
  double smax = 0;
  for (int i = 1; i <= n; ++i)
    for (int k = 1; k <= 2; ++k)
      if (std::isfinite(r.stres(i, k))) smax = std::max(smax, std::fabs(r.stres(i, k)));
  if (smax == 0 && has_stresses(m))
    for (int i = 1; i <= n; ++i)
      if (std::isfinite(r.stres(i, 3))) smax = std::max(smax, std::fabs(r.stres(i, 3)));
  return smax;
}

// Gauss-point plots share their loop over the records: those inside the
// frame (all of them unless zoomed) with a finite point.
template <class Draw>
void each_point(const ResultSet& r, const MeshWindow& frame, bool zoomed, Draw draw) {
  const bool screen = !ps_mode();
  if (screen) plat().mouse_show(false);
  const int n = std::clamp(r.ngaus, 0, MGAUS);
  for (int i = 1; i <= n; ++i) {
    const double* at = r.xgaus.row(i);
    const double x = at[1], y = at[2];
    if (!finite_point(x, y)) continue;
    if (zoomed && !frame.holds(x, y)) continue;
    draw(i, x, y);
  }
  if (screen) plat().mouse_show(true);
}

// A segment of half-length h centred on (x, y) along the unit vector
// (ux, uy), drawn from the end at +h; none for a zero length.
void centred_line(double x, double y, double ux, double uy, double h) {
  if (!(h > 0)) return;
  JOINP1(x + h * ux, y + h * uy, x - h * ux, y - h * uy);
}

}  // namespace

void PRST(double sx, double sy, double txy, double& s1, double& s3, double& theta) {
  const double sm = 0.5 * (sx + sy), d = 0.5 * (sx - sy);
  const double rad = std::sqrt(d * d + txy * txy);
  s1 = sm + rad;
  s3 = sm - rad;
  // Half the angle of the point on Mohr's circle. With no shear and sigma y
  // the larger this is a right angle, kept at +pi/2.
  theta = 0.5 * std::atan2(txy, d);
  if (theta <= -0.5 * PI) theta = 0.5 * PI;
}

void PLSTRS(const ResultSet& r, double scale, const MeshWindow& frame, bool zoomed) {
  scale = std::fabs(scale);
  if (!(scale > 0) || !std::isfinite(scale)) return;
  const double cap = arm_cap();
  each_point(r, frame, zoomed, [&](int i, double x, double y) {
    double s1, s3, theta;
    const double* v = r.stres.row(i);
    PRST(v[1], v[2], v[3], s1, s3, theta);
    if (!std::isfinite(s1) || !std::isfinite(s3) || !std::isfinite(theta)) return;
    const double h1 = std::min(std::fabs(s1) * 0.5 / scale, cap);
    const double h3 = std::min(std::fabs(s3) * 0.5 / scale, cap);
    const double c = std::cos(theta), s = std::sin(theta);
    // Minor arm across the major direction, then the major arm along it.
    SETCOL(s3 < 0 ? 1 : 0);
    centred_line(x, y, s, -c, h3);
    SETCOL(s1 < 0 ? 1 : 0);
    centred_line(x, y, c, s, h1);
  });
}

void PLFLOW(const ResultSet& r, double scale, const MeshWindow& frame, bool zoomed) {
  scale = std::fabs(scale);
  if (!(scale > 0) || !std::isfinite(scale)) return;
  const double cap = arm_cap();
  SETCOL(0);
  each_point(r, frame, zoomed, [&](int i, double x, double y) {
    const double qx = r.stres(i, 1), qy = r.stres(i, 2);
    const double q = std::hypot(qx, qy);
    if (!std::isfinite(q)) return;
    const double alpha = std::atan2(qy, qx + 1.0e-8);  // the direction of flow
    // From the downstream end back against the flow.
    centred_line(x, y, std::cos(alpha), std::sin(alpha), std::min(q * 0.5 / scale, cap));
  });
}

void STSTZM(double x1, double x2, double y1, double y2, MeshWindow& frame) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  const double d = box_side(x1, x2, y1, y2);
  PlotState& p = plot_state();
  p.xmin = static_cast<float>(x1 - 0.3 * d);
  p.xmax = static_cast<float>(x1 + 1.3 * d);
  p.ymin = static_cast<float>(y1 - 0.3 * d);
  p.ymax = static_cast<float>(y1 + 1.3 * d);
  p.width = p.xmax - p.xmin;
  p.height = p.ymax - p.ymin;
  p.fontsize = 10;
  const float big = std::max(std::max(p.width, p.height), 1.0e-30f);
  p.charsize = 0.1f * big / 15;
  const bool ps = ps_mode();
  p.psscale = 530.0f / big;
  set_ps_mode(ps);
  frame = frame_of(x1, y1, d);
}

void result_window(const MeshModel& m, MeshWindow& frame) {
  double x1, x2, y1, y2;
  BOUNDS(m.npoin, m.coord, x1, x2, y1, y2);
  const double d = box_side(x1, x2, y1, y2);
  const bool ps = ps_mode();
  double charsize;
  STPLOT(x1 - 0.3 * d, x1 + 1.3 * d, y1 - 0.3 * d, y1 + 1.3 * d, charsize, 15);
  set_ps_mode(ps);
  plat().fb().line(0, 35, 639, 35, 15);
  frame = frame_of(x1, y1, d);
  FAXES(frame.xmin, frame.xmax, frame.ymin, frame.ymax, charsize, -1);
}

void zoom_box(const MeshWindow& frame, double& x1, double& x2, double& y1, double& y2) {
  TELL("Click on opposite corners defining zoom area:");
  SETCOL(15);
  const double half = 0.01 * (frame.xmax - frame.xmin);
  double x[2], y[2];
  int got = 0;
  while (got < 2) {
    const MouseState s = next_press();
    if (!(s.buttons & MOUSE_LEFT) || !in_drawing_area(s)) continue;
    PXLMAP(s.x, s.y, x[got], y[got]);
    if (!frame.holds(x[got], y[got])) continue;
    if (got == 1 && (std::fabs(x[1] - x[0]) < 1.0e-6 || std::fabs(y[1] - y[0]) < 1.0e-6))
      continue;
    MARPT(x[got], y[got], half);
    if (got == 0) SLEEPZ(0.5);
    ++got;
  }
  end_tell();
  GGBOX(x[0], x[1], y[0], y[1]);
  SLEEPZ(1.0);
  x1 = std::min(x[0], x[1]);
  x2 = std::max(x[0], x[1]);
  y1 = std::min(y[0], y[1]);
  y2 = std::max(y[0], y[1]);
}

void reframe(double x1, double x2, double y1, double y2, MeshWindow& frame) {
  Framebuffer& fb = plat().fb();
  fb.fill_rect(0, 35, 500, 450, 1);
  STSTZM(x1, x2, y1, y2, frame);
  fb.line(0, 34, 639, 34, 15);
  FAXES(frame.xmin, frame.xmax, frame.ymin, frame.ymax, plot_state().charsize, -1);
  plat().graphics_update();
}

void result_toolbar(int n, const char* const* labels, int* ybar) {
  RIGBAR(n, n, ybar);
  for (int i = 1; i <= n; ++i) BARLAB(i, ybar, labels[i]);
}

namespace {


}  // namespace

bool begin_result_picture(const MeshModel& m, const std::string& title, MeshWindow& frame) {
  double x1, x2, y1, y2;
  BOUNDS(m.npoin, m.coord, x1, x2, y1, y2);
  return begin_picture(title, x1, x2, y1, y2, frame);
}

void end_result_picture() {
  PSEND();
  set_ps_mode(false);
}

// --- the interactive plot ---------------------------------------------------------

namespace {

const char* const STRAY_BUTTONS[5] = {"", "Continue", "Restore full mesh", "Zoom",
                                      "Pick Gauss point"};

struct CrossPlot {
  const MeshModel& m;
  const ResultSet& r;
  PlotWork& w;
  double box[4] = {};  // x-min, x-max, y-min, y-max of the mesh
  MeshWindow frame;
  bool zoomed = false;
  double scale = 0;
  int ybar[5] = {};
};

void draw_picture(CrossPlot& c) {
  PLBDRY(c.m, c.w, c.frame, c.zoomed, true);
  if (has_stresses(c.m))
    PLSTRS(c.r, c.scale, c.frame, c.zoomed);
  else
    PLFLOW(c.r, c.scale, c.frame, c.zoomed);
}

// Shows the values of the Gauss point picked with the mouse.
void pick_point(CrossPlot& c) {
  SLEEPZ(0.5);
  const int i = PICKNZ("Click on chosen Gauss point: ", std::clamp(c.r.ngaus, 0, MGAUS),
                       c.r.xgaus, c.frame);
  if (i == 0) return;
  if (has_stresses(c.m)) {
    double s1, s3, theta;
    PRST(c.r.stres(i, 1), c.r.stres(i, 2), c.r.stres(i, 3), s1, s3, theta);
    OUTSTR(c.r.stres(i, 1), c.r.stres(i, 2), c.r.stres(i, 3), s1, s3, theta * 180.0 / PI,
           c.r.stres(i, 4));
  } else {
    OUTVAL("x- and y-flowrates: ", c.r.stres(i, 1), c.r.stres(i, 2));
  }
}

// Polls the toolbar until Continue.
void run_toolbar(CrossPlot& c) {
  for (;;) {
    const MouseState s = next_press();
    if (!on_toolbar(s)) continue;
    const int b = bar_button(4, c.ybar, s.y);
    if (!(s.buttons & MOUSE_LEFT)) {
      if (b == 3) HPZOOM();
      continue;
    }
    if (b == 1 || b == 2) {
      if (c.zoomed) {
        reframe(c.box[0], c.box[1], c.box[2], c.box[3], c.frame);
        result_toolbar(4, STRAY_BUTTONS, c.ybar);
      }
      c.zoomed = false;
      draw_picture(c);
      SLEEPZ(1.0);
      if (b == 1) return;
    } else if (b == 3) {
      double x1, x2, y1, y2;
      zoom_box(c.frame, x1, x2, y1, y2);
      c.zoomed = true;
      reframe(x1, x2, y1, y2, c.frame);
      result_toolbar(4, STRAY_BUTTONS, c.ybar);
      draw_picture(c);
    } else if (b == 4) {
      pick_point(c);
    }
  }
}

}  // namespace

void STRAY(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState&) {
  CrossPlot c{m, r, w, {}, {}, false, 0, {}};
  BOUNDS(m.npoin, m.coord, c.box[0], c.box[1], c.box[2], c.box[3]);
  result_window(m, c.frame);
  SMOUSE();
  const double smax = largest_value(m, r);
  double factor = 100.0;
  OUTGR("Initial scaling factor = ", factor);
  for (;;) {
    c.scale = smax * 100.0 / factor;
    draw_picture(c);
    result_toolbar(4, STRAY_BUTTONS, c.ybar);
    c.zoomed = false;
    run_toolbar(c);
    char answer;
    while ((answer = YESNOH("Try another scaling factor?")) == 'h') HPSTRS();
    if (answer != 'y') return;
    PUTGR2("Enter a scaling factor: ", factor);
    if (!(factor > 0) || !std::isfinite(factor)) factor = 100.0;
  }
}

// --- the PostScript picture -------------------------------------------------------

void PSSTRS(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState&) {
  MeshWindow frame;
  const bool zoomed = begin_result_picture(m, "VORTAN plots - princ. stresses/flowrates", frame);
  PSREC("% mesh boundary");
  PLBDRY(m, w, frame, zoomed, false);
  // A zero reference value would make every arm endless: it is asked again.
  double ref = 0;
  do {
    WRTEXT("Enter a reference value: ");
    auto t = free_tokens(READLN());
    if (t.empty() || !free_real(t[0], ref)) ref = 0;
  } while (ref == 0);
  PSREC("% princ. stress crosses");
  if (has_stresses(m))
    PLSTRS(r, ref, frame, zoomed);
  else
    PLFLOW(r, ref, frame, zoomed);
  end_result_picture();
}

}  // namespace vortan
