#include "contour_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "mesh_display.h"
#include "mesh_model.h"
#include "platform/platform.h"
#include "plot.h"
#include "prompts.h"

namespace vortan {

const int icont[11] = {2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14};

namespace {

// EGA codes of the band indices while a contour plot is shown, and their
// standard codes.
constexpr int CONTOUR_CODES[11] = {8, 1, 9, 43, 3, 42, 18, 30, 46, 60, 36};
constexpr int STANDARD_CODES[11] = {2, 3, 4, 5, 20, 57, 58, 59, 60, 61, 62};

// Most points traced along one contour piece of a quadrilateral.
constexpr int MTRACE = 64;

// A point in natural coordinates.
struct Nat {
  double s, t;
};

Nat lerp(Nat a, Nat b, double p) { return {a.s + p * (b.s - a.s), a.t + p * (b.t - a.t)}; }
Nat midpoint(Nat a, Nat b) { return lerp(a, b, 0.5); }

// Fraction of the way from value fa to fb at which level L lies, held to
// 0..1; the middle of the side when both ends carry the same value.
double fraction(double L, double fa, double fb) {
  if (fb == fa) return 0.5;
  return std::clamp((L - fa) / (fb - fa), 0.0, 1.0);
}

// True when level L crosses the side between values a and b. A corner
// whose value equals the level counts as above it, so a level through a
// corner crosses the sides on which it really separates lower from higher
// values, and never two sides at that corner alone.
bool crosses(double L, double a, double b) { return L > std::min(a, b) && L <= std::max(a, b); }

bool within(double L, double a, double b) { return L >= std::min(a, b) && L <= std::max(a, b); }

// Device units (pixels or points) per world unit of the current window.
double device_per_unit() {
  const PlotState& p = plot_state();
  if (ps_mode()) return std::fabs(p.psscale);
  return 480.0 / std::max(1.0e-30, static_cast<double>(std::min(p.width, p.height)));
}

// Steps for a curve of world length `len`: chords of about 3 device units.
int curve_steps(double len, int lo, int hi) {
  double n = std::ceil(len * device_per_unit() / 3.0);
  if (!(n >= lo)) return lo;
  return n > hi ? hi : static_cast<int>(n);
}

// The outline of a region to fill, in the work list. Its world points go
// in as the fill takes them: on the screen mapped to pixels as they come
// (FILPOL's mapping, so the pixels are the same), in PostScript as they are.
struct Region {
  explicit Region(PolyWork& list) : w(list) {}
  PolyWork& w;
  const bool screen = !ps_mode();
  const ScreenMapping mapping;
  // False when the list is full.
  bool add(double x, double y) {
    if (screen) mapping.map(x, y, x, y);
    return w.add(x, y);
  }
};

// Fills the region in `colour` and empties the list; PostScript takes the
// colour's RGB.
void fill_region(Region& r, int colour) {
  PolyWork& w = r.w;
  if (w.count >= 3) {
    if (r.screen) {
      fill_pixels(w.count, &w.x[1], &w.y[1], colour);
    } else {
      Rgb c = plat().fb().palette(colour);
      for (int k = 0; k < 11; ++k)
        if (icont[k] == colour) c = ega_code_rgb(CONTOUR_CODES[k]);
      PSFILL(c.r / 255.0, c.g / 255.0, c.b / 255.0);
      FILPOL(w.count, &w.x[1], &w.y[1], colour);
    }
  }
  w.count = 0;
}

// True when a side's three points are out of line, so that it is drawn
// along the parabola through them.
bool bends(double x0, double y0, double xm, double ym, double x1, double y1) {
  const double cross = (xm - x0) * (y1 - y0) - (ym - y0) * (x1 - x0);
  return std::fabs(cross) >= 0.0001;
}

// The points of a bending side between its ends. False when the list is
// full.
[[gnu::noinline]] bool append_curve(Region& r, double x0, double y0, double xm, double ym,
                                    double x1, double y1) {
  const double len = std::hypot(xm - x0, ym - y0) + std::hypot(x1 - xm, y1 - ym);
  const int steps = curve_steps(len, 2, 200);
  for (int i = 1; i < steps; ++i) {
    double f[3];
    SHAPE(-1.0 + 2.0 * i / steps, 0.0, 31, f);
    if (!r.add(f[0] * x0 + f[1] * xm + f[2] * x1, f[0] * y0 + f[1] * ym + f[2] * y1))
      return false;
  }
  return true;
}

// Appends one side from the last point: its end point when straight or
// when its three points are in line, else points along the parabola
// through the three. False when the list is full.
[[gnu::always_inline]] inline bool append_side(Region& r, double x0, double y0, double xm,
                                               double ym, double x1, double y1, bool curved) {
  if (curved && bends(x0, y0, xm, ym, x1, y1) && !append_curve(r, x0, y0, xm, ym, x1, y1))
    return false;
  return r.add(x1, y1);
}

// Appends the side between two natural points of an element, bending with
// the element through the image of their natural midpoint. (x, y) comes in
// as a's image and goes out as b's, the next side's start, so a chain of
// sides maps each point once.
bool append_nat_side(Region& r, Nat a, Nat b, int type, const Geometry& geo, double& x,
                     double& y) {
  const double x0 = x, y0 = y;
  double xm, ym;
  ST2XY(b.s, b.t, type, geo, x, y);
  const Nat m = midpoint(a, b);
  ST2XY(m.s, m.t, type, geo, xm, ym);
  return append_side(r, x0, y0, xm, ym, x, y, type != 5);
}

// Fills the region whose corners are natural points, each side bending with
// the element; a region that does not fit is reported and left unfilled.
void fill_nat_region(int n, const Nat* c, int type, const Geometry& geo, int colour, PolyWork& w) {
  w.count = 0;
  Region r(w);
  double x, y;
  ST2XY(c[0].s, c[0].t, type, geo, x, y);
  bool ok = r.add(x, y);
  for (int i = 0; ok && i < n; ++i) ok = append_nat_side(r, c[i], c[(i + 1) % n], type, geo, x, y);
  if (!ok) {
    w.count = 0;
    PUTERR("Element is too long & thin for contouring!");
    return;
  }
  fill_region(r, colour);
}

// --- triangles --------------------------------------------------------------

// Where level L crosses a triangle with corner values f1, f2, f3 at natural
// (0,0), (1,0), (0,1): the crossing points A and B, and the part at or above
// L as natural corners in anticlockwise order (returns their number).
int cut_triangle(double f1, double f2, double f3, double L, Nat& A, Nat& B, Nat* region) {
  const Nat P1{0, 0}, P2{1, 0}, P3{0, 1};
  const Nat on12 = lerp(P1, P2, fraction(L, f1, f2));
  const Nat on23 = lerp(P3, P2, fraction(L, f3, f2));
  const Nat on31 = lerp(P1, P3, fraction(L, f1, f3));
  if (!crosses(L, f1, f2)) {  // sides 2-3 and 3-1
    A = on23;
    B = on31;
    if (f3 >= f1) {
      region[0] = B, region[1] = A, region[2] = P3;
      return 3;
    }
    region[0] = P1, region[1] = P2, region[2] = A, region[3] = B;
    return 4;
  }
  if (!crosses(L, f2, f3)) {  // sides 1-2 and 3-1
    A = on12;
    B = on31;
    if (f1 > f2) {
      region[0] = P1, region[1] = A, region[2] = B;
      return 3;
    }
    region[0] = A, region[1] = P2, region[2] = P3, region[3] = B;
    return 4;
  }
  A = on12;  // sides 1-2 and 2-3
  B = on23;
  if (f2 >= f1) {
    region[0] = A, region[1] = P2, region[2] = B;
    return 3;
  }
  region[0] = P1, region[1] = A, region[2] = B, region[3] = P3;
  return 4;
}

bool finite(double a, double b, double c, double d = 0) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// The painter's loop of a triangle mapped by `type` (5 straight, 7 curved).
void contour_triangle(const Levels& lv, const Geometry& geo, int type, int fill, double f1,
                      double f2, double f3, double emax, double emin, PolyWork& w) {
  if (!finite(f1, f2, f3) || !finite(emax, emin, lv.vmin, lv.dv)) return;
  const Nat corners[3] = {{0, 0}, {1, 0}, {0, 1}};
  if (fill) fill_nat_region(3, corners, type, geo, icont[base_band(lv, emin, emax)], w);
  for (int k = 0; k < std::clamp(lv.nlev, 0, NLEV); ++k) {
    const double L = lv.at(k);
    if (L <= emin) continue;
    if (L >= emax) break;
    Nat A, B, region[4];
    const int n = cut_triangle(f1, f2, f3, L, A, B, region);
    if (fill) {
      fill_nat_region(n, region, type, geo, icont[k + 1], w);
      continue;
    }
    SETCOL(icont[k + 1]);
    double xs[3], ys[3];
    ST2XY(A.s, A.t, type, geo, xs[0], ys[0]);
    ST2XY(B.s, B.t, type, geo, xs[2], ys[2]);
    if (type == 5) {
      JOINP1(xs[0], ys[0], xs[2], ys[2]);
    } else {
      const Nat m = midpoint(A, B);
      ST2XY(m.s, m.t, type, geo, xs[1], ys[1]);
      LCURV(xs, ys);
    }
  }
}

// --- quadrilaterals ---------------------------------------------------------

// Natural corners 1..4 of a quadrilateral.
constexpr Nat QC[5] = {{0, 0}, {-1, -1}, {1, -1}, {1, 1}, {-1, 1}};

double bilinear(const double* f, double s, double t) {
  return 0.25 * ((1 - s) * (1 - t) * f[1] + (1 + s) * (1 - t) * f[2] + (1 + s) * (1 + t) * f[3] +
                 (1 - s) * (1 + t) * f[4]);
}

// Points of the curve f = L from X to Y (X excluded, Y included), stepping
// s (by_s) or t and solving for the other; false when the solution fails.
bool trace_by(const double* f, double L, Nat X, Nat Y, bool by_s, int steps, Nat* pts, int& n) {
  n = 0;
  for (int i = 1; i < steps; ++i) {
    const double p = static_cast<double>(i) / steps;
    double num, den, q;
    if (by_s) {
      const double s = X.s + p * (Y.s - X.s);
      num = (f[2] + f[3]) * (1 + s) + (f[1] + f[4]) * (1 - s) - 4 * L;
      den = (f[2] - f[3]) * (1 + s) + (f[1] - f[4]) * (1 - s);
      if (std::fabs(den) < 1.0e-12) return false;
      q = num / den;
      if (!(q >= -1.000001 && q <= 1.000001)) return false;
      pts[n++] = {s, std::clamp(q, -1.0, 1.0)};
    } else {
      const double t = X.t + p * (Y.t - X.t);
      num = (f[1] + f[2]) * (1 - t) + (f[3] + f[4]) * (1 + t) - 4 * L;
      den = (f[1] - f[2]) * (1 - t) + (f[4] - f[3]) * (1 + t);
      if (std::fabs(den) < 1.0e-12) return false;
      q = num / den;
      if (!(q >= -1.000001 && q <= 1.000001)) return false;
      pts[n++] = {std::clamp(q, -1.0, 1.0), t};
    }
  }
  pts[n++] = Y;
  return true;
}

// The contour piece from X to Y as natural points (X excluded): traced by
// the coordinate that changes more, else by the other, else the chord.
int trace_piece(const double* f, double L, Nat X, Nat Y, const Geometry& geo, Nat* pts) {
  double x0, y0, x1, y1;
  ST2XY(X.s, X.t, 9, geo, x0, y0);
  ST2XY(Y.s, Y.t, 9, geo, x1, y1);
  const int steps = curve_steps(2.0 * std::hypot(x1 - x0, y1 - y0), 4, MTRACE);
  const bool s_first = std::fabs(Y.s - X.s) >= std::fabs(Y.t - X.t);
  int n = 0;
  if (trace_by(f, L, X, Y, s_first, steps, pts, n)) return n;
  if (trace_by(f, L, X, Y, !s_first, steps, pts, n)) return n;
  pts[0] = Y;
  return 1;
}

// Which sides (1 from corner 1 to 2, ... 4 from corner 4 to 1) level L
// crosses, paired into contour pieces; returns the number of pieces.
int quad_pieces(const double* f, double L, int pieces[2][2]) {
  const bool c1 = crosses(L, f[1], f[2]), c2 = crosses(L, f[2], f[3]), c3 = crosses(L, f[3], f[4]);
  auto one = [&](int a, int b) {
    pieces[0][0] = a, pieces[0][1] = b;
    return 1;
  };
  if (!c1 && !c2) return one(3, 4);
  if (!c1) return c3 ? one(2, 3) : one(2, 4);
  if (!c2) return c3 ? one(1, 3) : one(1, 4);
  if (!c3) return one(1, 2);
  // Saddle: the value at the saddle point decides which corners the two
  // pieces cut off. With no saddle (R = 0) the centre value decides.
  const double P = f[1] + f[2] - f[3] - f[4], Q = f[1] - f[2] - f[3] + f[4],
               R = f[1] - f[2] + f[3] - f[4];
  double s0 = 0, t0 = 0;
  if (R != 0) {
    s0 = std::clamp(P / R, -1.0, 1.0);
    t0 = std::clamp(Q / R, -1.0, 1.0);
  }
  const double fs = bilinear(f, s0, t0);
  if (!within(L, f[1], fs)) {  // cut off corners 2 and 4
    pieces[0][0] = 1, pieces[0][1] = 2, pieces[1][0] = 3, pieces[1][1] = 4;
  } else {  // cut off corners 1 and 3
    pieces[0][0] = 4, pieces[0][1] = 1, pieces[1][0] = 2, pieces[1][1] = 3;
  }
  return 2;
}

Nat side_crossing(const double* f, double L, int side) {
  const int a = side, b = side % 4 + 1;
  return lerp(QC[a], QC[b], fraction(L, f[a], f[b]));
}

void draw_traced(Nat X, int n, const Nat* pts, const Geometry& geo) {
  double px, py;
  ST2XY(X.s, X.t, 9, geo, px, py);
  for (int i = 0; i < n; ++i) {
    double qx, qy;
    ST2XY(pts[i].s, pts[i].t, 9, geo, qx, qy);
    JOINP1(px, py, qx, qy);
    px = qx;
    py = qy;
  }
}

// Fills the parts of the quadrilateral at or above L. The crossings split
// the boundary into arcs, alternately above and below L; an outline runs
// along an upper arc to its end crossing, along that crossing's contour
// piece to its partner, along the next upper arc, and so on until it
// closes.
void fill_quad_above(const double* f, double L, int npieces, const int pieces[2][2],
                     const Geometry& geo, int colour, PolyWork& w) {
  int side[4], partner[5] = {};
  int n = 0;
  for (int p = 0; p < npieces; ++p) {
    partner[pieces[p][0]] = pieces[p][1];
    partner[pieces[p][1]] = pieces[p][0];
  }
  for (int s = 1; s <= 4; ++s)
    if (partner[s]) side[n++] = s;
  // Arc i runs from the crossing on side[i] to the one on side[i+1],
  // through the corners after side[i] up to side[i+1]'s first corner.
  auto arc_upper = [&](int i) {
    double sum = 0;
    for (int c = side[i] % 4 + 1;; c = c % 4 + 1) {
      sum += f[c] - L;
      if (c == side[(i + 1) % n]) break;
    }
    return sum > 0;
  };
  bool visited[4] = {};
  for (int first = 0; first < n; ++first) {
    if (visited[first] || !arc_upper(first)) continue;
    w.count = 0;
    Region r(w);
    Nat start = side_crossing(f, L, side[first]);
    double x, y;
    ST2XY(start.s, start.t, 9, geo, x, y);
    bool ok = r.add(x, y), curve_full = false;
    int i = first;
    for (int guard = 0; ok && guard < 4; ++guard) {
      visited[i] = true;
      // Along the boundary from side[i]'s crossing to side[i+1]'s.
      const int to = side[(i + 1) % n];
      Nat a = side_crossing(f, L, side[i]);
      double ax, ay;
      ST2XY(a.s, a.t, 9, geo, ax, ay);
      for (int c = side[i] % 4 + 1; ok; c = c % 4 + 1) {
        ok = append_nat_side(r, a, QC[c], 9, geo, ax, ay);
        a = QC[c];
        if (c == to) break;
      }
      const Nat end = side_crossing(f, L, to);
      if (ok) ok = append_nat_side(r, a, end, 9, geo, ax, ay);
      // Along the contour piece to the partner crossing.
      Nat pts[MTRACE];
      const int np = trace_piece(f, L, end, side_crossing(f, L, partner[to]), geo, pts);
      for (int k = 0; ok && k < np; ++k) {
        ST2XY(pts[k].s, pts[k].t, 9, geo, x, y);
        ok = r.add(x, y);
        curve_full = !ok;
      }
      int next = 0;
      while (next < n && side[next] != partner[to]) ++next;
      if (next >= n || next == first) break;
      i = next;
    }
    if (!ok) {
      w.count = 0;
      PUTERR(curve_full ? "Curve is too long to be plotted!"
                        : "Element is too long & thin for contouring!");
      continue;
    }
    fill_region(r, colour);
  }
}

}  // namespace

// --- levels, bands and palette ---------------------------------------------

void set_contour_palette() {
  for (int k = 0; k < 11; ++k) plat().fb().set_palette_ega(icont[k], CONTOUR_CODES[k]);
  plat().graphics_update();
}

void restore_contour_palette() {
  // The bands and the key were drawn in the contour colours; they would
  // show falsely in the standard ones, so they go first.
  if (!ps_mode()) plat().fb().fill_rect(0, 35, 499, 479, BACKGROUND);
  for (int k = 0; k < 11; ++k) plat().fb().set_palette_ega(icont[k], STANDARD_CODES[k]);
  plat().graphics_update();
}

Levels contour_levels(double vmin, double vmax, int nlev, double threshold, double unit) {
  Levels lv;
  lv.vmin = vmin;
  lv.vmax = vmax;
  lv.nlev = std::clamp(nlev, 2, NLEV);
  const double range = vmax - vmin;
  if (!(range >= threshold)) {
    PUTERR("Function nearly constant - contouring may be inaccurate");
    const double n = std::round(range / unit + 2);
    if (n < lv.nlev) lv.nlev = std::max(2, static_cast<int>(n));
  }
  lv.dv = std::isfinite(range) ? range / (lv.nlev - 1) : 0.0;
  return lv;
}

int base_band(const Levels& lv, double emin, double emax) {
  if (emax <= lv.vmin) return 0;
  if (emin >= lv.vmax) return lv.nlev;
  if (emin < lv.vmin) return 0;
  for (int k = 0; k <= lv.nlev - 2; ++k)
    if (emin < lv.at(k + 1)) return k + 1;
  return lv.nlev;
}

int value_band(const Levels& lv, double g) {
  if (g <= lv.vmin) return 0;
  for (int j = 1; j <= lv.nlev - 1; ++j)
    if (g <= lv.at(j)) return j;
  return lv.nlev;
}

bool PolyWork::add(double px, double py) {
  if (count >= std::min(capacity, MWORK)) return false;
  ++count;
  x[count] = px;
  y[count] = py;
  return true;
}

// --- mapping and filling ----------------------------------------------------

namespace {

// Sum of the shape values f[0..n-1] times the element's point coordinates.
void shape_sum(const double* f, int n, const Geometry& geo, double& x, double& y) {
  x = y = 0;
  for (int i = 0; i < n; ++i) {
    x += f[i] * geo[i + 1];
    y += f[i] * geo[i + 11];
  }
}

// The 8-noded quadrilateral's shape values (SHAPE's serendipity functions,
// node order) at the natural points whose s and t are multiples of one
// half, where its contouring takes most of its points (the corners and side
// midpoints of its four quarters). There they are exact in a few bits, so
// they are made once, at compile time, and kept as the nodes whose values
// are not zero (most are, at those points): each point then costs only its
// few terms, summed in node order as ST2XY sums them.
constexpr double grid_shape(int k, double s, double t) {
  constexpr double cs[4] = {-1, 1, 1, -1}, ct[4] = {-1, -1, 1, 1};
  if (k % 2 == 0) {
    const double si = cs[k / 2], ti = ct[k / 2];
    return 0.25 * (1 + s * si) * (1 + t * ti) * (s * si + t * ti - 1);
  }
  if (k == 1) return 0.5 * (1 - s * s) * (1 - t);
  if (k == 3) return 0.5 * (1 + s) * (1 - t * t);
  if (k == 5) return 0.5 * (1 - s * s) * (1 + t);
  return 0.5 * (1 - s) * (1 - t * t);
}
struct GridShapes {
  int i = 0, j = 0, count = 0;
  int node[8] = {};
  double value[8] = {};
};
constexpr auto QUAD_GRID_SHAPES = [] {
  std::array<GridShapes, 21> v{};
  int p = 0;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) {
      if (i % 2 == 1 && j % 2 == 1) continue;  // the quarters' centres are not wanted
      GridShapes& g = v[p++];
      g.i = i, g.j = j;
      for (int k = 0; k < 8; ++k) {
        const double f = grid_shape(k, -1 + 0.5 * i, -1 + 0.5 * j);
        if (f != 0) g.node[g.count] = k, g.value[g.count++] = f;
      }
    }
  return v;
}();

}  // namespace

void ST2XY(double s, double t, int type, const Geometry& geo, double& x, double& y) {
  double f[8] = {};
  int n = 0;
  switch (type) {
    case 5: SHAPE(s, t, 33, f), n = 3; break;
    case 7: SHAPE(s, t, 63, f), n = 6; break;
    case 9:  // SHAPE's serendipity values, the same sums, without its call
#pragma GCC unroll 8
      for (int k = 0; k < 8; ++k) f[k] = grid_shape(k, s, t);
      n = 8;
      break;
    case 8:  // quadratic in s along the two faces, linear in t across
      f[0] = -0.25 * s * (1 - s) * (1 - t);
      f[1] = 0.5 * (1 - s * s) * (1 - t);
      f[2] = 0.25 * s * (1 + s) * (1 - t);
      f[3] = 0.25 * s * (1 + s) * (1 + t);
      f[4] = 0.5 * (1 - s * s) * (1 + t);
      f[5] = -0.25 * s * (1 - s) * (1 + t);
      n = 6;
      break;
    default: break;
  }
  shape_sum(f, n, geo, x, y);
}

void quad_half_grid(const Geometry& geo, QuadGrid& g) {
  // The terms of zero shape value add nothing to a finite sum, so they are
  // left out; an element with a point that is not finite takes them all,
  // as ST2XY does.
  bool finite = true;
  for (int k = 1; k <= 8; ++k) finite = finite && std::isfinite(geo[k]) && std::isfinite(geo[10 + k]);
  if (!finite) {
    for (const GridShapes& f : QUAD_GRID_SHAPES)
      ST2XY(-1 + 0.5 * f.i, -1 + 0.5 * f.j, 9, geo, g.x[f.i][f.j], g.y[f.i][f.j]);
    return;
  }
#pragma GCC unroll 21
  for (int p = 0; p < 21; ++p) {
    const GridShapes& f = QUAD_GRID_SHAPES[p];
    double x = 0, y = 0;
    if (f.count == 1 && f.value[0] == 1) {  // a node of the element
      x = geo[f.node[0] + 1];
      y = geo[f.node[0] + 11];
    } else {
#pragma GCC unroll 8
      for (int k = 0; k < f.count; ++k) {
        x += f.value[k] * geo[f.node[k] + 1];
        y += f.value[k] * geo[f.node[k] + 11];
      }
    }
    g.x[f.i][f.j] = x;
    g.y[f.i][f.j] = y;
  }
}

bool FILLEL(int n, int m, const Geometry& geo, int colour, PolyWork& w) {
  n = std::clamp(n, 0, 10);
  Region r(w);
  if (r.screen)  // points already in the list join the outline as pixels
    for (int i = 1; i <= w.count; ++i) r.mapping.map(w.x[i], w.y[i], w.x[i], w.y[i]);
  bool ok = n >= 1 && r.add(geo[1], geo[11]);
  if (n - m <= 1) {
    for (int i = 2; ok && i <= n; ++i) ok = r.add(geo[i], geo[10 + i]);
  } else {
    // Sides of three points each; the thin quadrilateral has straight ends.
    const bool thin = n == 6 && m == 4;
    int i = 1;
    for (int side = 1; ok && side <= m && i < n; ++side) {
      const bool straight = thin && side % 2 == 0;
      const int mid = i + 1, end = straight ? i + 1 : i + 2;
      const int e = end > n ? 1 : end;
      if (straight)
        ok = r.add(geo[e], geo[10 + e]);
      else
        ok = append_side(r, geo[i], geo[10 + i], geo[mid], geo[10 + mid], geo[e], geo[10 + e],
                         true);
      i = end;
    }
  }
  if (!ok) {
    w.count = 0;
    PUTERR("Element is too long & thin for contouring!");
    return false;
  }
  fill_region(r, colour);
  return true;
}

// --- the primitives ---------------------------------------------------------

void CTRIA1(const Levels& lv, const Geometry& geo, int fill, double f1, double f2, double f3,
            double emax, double emin, PolyWork& w) {
  contour_triangle(lv, geo, 5, fill, f1, f2, f3, emax, emin, w);
}

void CTRIA2(const Levels& lv, const Geometry& geo, int fill, double f1, double f2, double f3,
            double emax, double emin, PolyWork& w) {
  contour_triangle(lv, geo, 7, fill, f1, f2, f3, emax, emin, w);
}

void CQUAD2(const Levels& lv, const Geometry& geo, int fill, double f1, double f2, double f3,
            double f4, double emax, double emin, PolyWork& w) {
  if (!finite(f1, f2, f3, f4) || !finite(emax, emin, lv.vmin, lv.dv)) return;
  const double f[5] = {0, f1, f2, f3, f4};
  if (fill) {
    w.count = 0;
    FILLEL(8, 4, geo, icont[base_band(lv, emin, emax)], w);
  }
  // The levels at or below the minimum cross nothing; the first above it
  // is most often at or above the maximum too.
  const int nlev = std::clamp(lv.nlev, 0, NLEV);
  int k = 0;
  while (k < nlev && lv.at(k) <= emin) ++k;
  for (; k < nlev; ++k) {
    const double L = lv.at(k);
    if (L >= emax) break;
    int pieces[2][2];
    const int np = quad_pieces(f, L, pieces);
    if (fill) {
      fill_quad_above(f, L, np, pieces, geo, icont[k + 1], w);
      continue;
    }
    SETCOL(icont[k + 1]);
    for (int p = 0; p < np; ++p) {
      const Nat X = side_crossing(f, L, pieces[p][0]), Y = side_crossing(f, L, pieces[p][1]);
      Nat pts[MTRACE];
      const int n = trace_piece(f, L, X, Y, geo, pts);
      draw_traced(X, n, pts, geo);
    }
  }
}

void map_quad_corners(const QuadGrid& q, QuadGrid& pixels) {
  const ScreenMapping screen;
  for (int i = 0; i <= 4; i += 2)
    for (int j = 0; j <= 4; j += 2) screen.map(q.x[i][j], q.y[i][j], pixels.x[i][j], pixels.y[i][j]);
}

template <int i, int j>
bool fill_plain_quarter(const Levels& lv, const QuadGrid& q, const QuadGrid& pixels, double f1,
                        double f2, double f3, double f4, PolyWork& w) {
  if (ps_mode() || std::min(w.capacity, MWORK) < 5) return false;
  const double emax = std::max({f1, f2, f3, f4}), emin = std::min({f1, f2, f3, f4});
  if (!finite(f1, f2, f3, f4) || !finite(emax, emin, lv.vmin, lv.dv)) return false;
  const int nlev = std::clamp(lv.nlev, 0, NLEV);
  int k = 0;
  while (k < nlev && lv.at(k) <= emin) ++k;
  if (k < nlev && lv.at(k) < emax) return false;  // a level crosses it
  // Its corners, the first repeated as FILLEL closes the outline, and the
  // midpoints of its sides; the sides tested as FILLEL tests them.
  constexpr int ci[5] = {i, i + 2, i + 2, i, i}, cj[5] = {j, j, j + 2, j + 2, j};
  constexpr int mi[4] = {i + 1, i + 2, i + 1, i}, mj[4] = {j, j + 1, j + 2, j + 1};
#pragma GCC unroll 4
  for (int s = 0; s < 4; ++s)
    if (bends(q.x[ci[s]][cj[s]], q.y[ci[s]][cj[s]], q.x[mi[s]][mj[s]], q.y[mi[s]][mj[s]],
              q.x[ci[s + 1]][cj[s + 1]], q.y[ci[s + 1]][cj[s + 1]]))
      return false;
  double px[5], py[5];
#pragma GCC unroll 5
  for (int c = 0; c < 5; ++c) px[c] = pixels.x[ci[c]][cj[c]], py[c] = pixels.y[ci[c]][cj[c]];
  w.count = 0;
  fill_pixels(5, px, py, icont[base_band(lv, emin, emax)]);
  return true;
}
template bool fill_plain_quarter<0, 0>(const Levels&, const QuadGrid&, const QuadGrid&, double,
                                       double, double, double, PolyWork&);
template bool fill_plain_quarter<2, 0>(const Levels&, const QuadGrid&, const QuadGrid&, double,
                                       double, double, double, PolyWork&);
template bool fill_plain_quarter<2, 2>(const Levels&, const QuadGrid&, const QuadGrid&, double,
                                       double, double, double, PolyWork&);
template bool fill_plain_quarter<0, 2>(const Levels&, const QuadGrid&, const QuadGrid&, double,
                                       double, double, double, PolyWork&);

// --- the key -----------------------------------------------------------------

std::string key_label(double v) {
  char buf[64];
  const double a = std::fabs(v);
  if (v == 0)
    std::snprintf(buf, sizeof buf, "%9.1f", 0.0);
  else if (a < 0.1 || a >= 1000 || !std::isfinite(v))
    std::snprintf(buf, sizeof buf, "%9.2E", v);
  else
    std::snprintf(buf, sizeof buf, "%9.3f", v);
  std::string s = buf;
  return s.size() > 9 ? s.substr(0, 9) : s;
}

void draw_key(const Levels& lv, int fill) {
  if (ps_mode()) return;
  Framebuffer& fb = plat().fb();
  // The strip is cleared first, so nothing of an earlier key stays.
  fb.fill_rect(1, 440, 498, 470, fill ? BACKGROUND : 7);
  const int boxes = std::clamp(lv.nlev, 0, NLEV) + 1;
  if (fill)
    for (int j = 1; j <= boxes; ++j)
      fb.fill_rect(2 + 45 * (j - 1), 440, 2 + 45 * j, 470, icont[j - 1]);
  // The screen font is wider than a box: labels take two rows in turn, each
  // starting at its own box, and are drawn after all the boxes so that no
  // box covers the end of its neighbour's label. The last one is kept clear
  // of the toolbar.
  for (int j = 1; j <= boxes; ++j) {
    std::string label = key_label(lv.at(j - 1));
    label.erase(0, label.find_first_not_of(' '));
    const int x = std::min(2 + 45 * (j - 1) + 2, 498 - Framebuffer::text_width(label));
    fb.text(x, j % 2 == 1 ? 442 : 456, label, fill ? 15 : icont[j - 1]);
  }
  plat().graphics_update();
}

}  // namespace vortan
