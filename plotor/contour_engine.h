// The contouring engine: levels and band colours, the colour key, and the
// contouring of one primitive at a time (straight triangle, curved triangle,
// curved quadrilateral) as coloured lines or as solid colour bands. All
// drawing goes through the primitives of plot.h, so the same calls draw on
// the screen or into the PostScript file.
#pragma once

#include <array>
#include <string>

namespace vortan {

constexpr int NLEV = 10;    // levels of every contour plot (at most 10)
constexpr int MWORK = 800;  // points of the polygon work list of the plots

// Colour index of band 0 .. band 10; the line of level k is drawn in
// icont[k + 1].
extern const int icont[11];
// The contour palette (dark blue to red) on the 11 band indices, and the
// standard EGA codes of those indices put back afterwards.
void set_contour_palette();
void restore_contour_palette();

// nlev levels from vmin upwards in steps of dv: level k = vmin + k dv.
struct Levels {
  double vmin = 0, vmax = 0, dv = 0;
  int nlev = NLEV;
  double at(int k) const { return vmin + k * dv; }
};

// Range thresholds below which a field counts as nearly constant, and the
// unit that then sets the number of levels.
constexpr double DOF_THRESHOLD = 0.0008, DOF_UNIT = 0.0001;
constexpr double GAUSS_THRESHOLD = 0.00008, GAUSS_UNIT = 0.00001;

// The levels for values vmin..vmax. A range below `threshold` shows
// "Function nearly constant - contouring may be inaccurate" and reduces the
// count to the nearest integer to range / unit + 2 when that is fewer.
Levels contour_levels(double vmin, double vmax, int nlev, double threshold, double unit);

// Band that a primitive with values emin..emax is first filled with: the
// band holding the values just above emin.
int base_band(const Levels& lv, double emin, double emax);
// Band of an element of constant value g: 0 when g <= vmin, else j for
// level j-1 < g <= level j, at most nlev.
int value_band(const Levels& lv, double g);

// Polygon work list: points 1..count, `capacity` at most MWORK.
struct PolyWork {
  int capacity = MWORK;
  int count = 0;
  std::array<double, MWORK + 1> x{}, y{};
  // Appends a point; false when the list is full.
  bool add(double px, double py);
};

// Element geometry table: x of points 1..10 in entries 1..10, y in 11..20.
using Geometry = std::array<double, 21>;
inline void set_point(Geometry& g, int i, double x, double y) {
  g[i] = x;
  g[10 + i] = y;
}

// Natural coordinates (s, t) to world (x, y) through the shape functions of
// element type 5 (3 points), 7 (6), 8 (6, thin quadrilateral) or 9 (8).
void ST2XY(double s, double t, int type, const Geometry& geo, double& x, double& y);

// The points of an 8-noded quadrilateral (type 9) at the natural
// coordinates s = -1 + i / 2, t = -1 + j / 2 (i, j = 0..4, not both odd):
// the corners and side midpoints of its four quarters, exactly as ST2XY
// maps them.
struct QuadGrid {
  double x[5][5] = {}, y[5][5] = {};
};
void quad_half_grid(const Geometry& geo, QuadGrid& g);

// Fills the region outlined by n points with m sides (n - m <= 1: straight
// sides; 6 points and 4 sides: curved, straight, curved, straight; otherwise
// three points a side), appending to the work list after its first `count`
// points, then empties the list. False, after "Element is too long & thin
// for contouring!", when the outline does not fit.
bool FILLEL(int n, int m, const Geometry& geo, int colour, PolyWork& w);

// Contours a straight-sided triangle, values linear between its corners.
void CTRIA1(const Levels& lv, const Geometry& geo, int fill, double f1, double f2, double f3,
            double emax, double emin, PolyWork& w);
// A curved triangle (6 points: corner, midside, ...), values linear in its
// natural coordinates.
void CTRIA2(const Levels& lv, const Geometry& geo, int fill, double f1, double f2, double f3,
            double emax, double emin, PolyWork& w);
// A curved quadrilateral (8 points), values bilinear from its four corners.
void CQUAD2(const Levels& lv, const Geometry& geo, int fill, double f1, double f2, double f3,
            double f4, double emax, double emin, PolyWork& w);
// CQUAD2 filling on the screen the quarter of an 8-noded quadrilateral
// whose first corner is (i, j) on its half grid `q` (corners anticlockwise
// from there), in the most common case, where no level crosses the quarter
// and its sides are straight: the base band filled from the four corners,
// taken from `pixels`, the half grid's corners already mapped to the screen
// (map_quad_corners). False, having drawn nothing, in any other case.
template <int i, int j>
bool fill_plain_quarter(const Levels& lv, const QuadGrid& q, const QuadGrid& pixels, double f1,
                        double f2, double f3, double f4, PolyWork& w);
// The corners of the quarters of the half grid `q` (the points of even i
// and j) mapped to the screen, as the fill maps its points.
void map_quad_corners(const QuadGrid& q, QuadGrid& pixels);

// A key value as 9 characters, its form chosen by its magnitude.
std::string key_label(double v);
// The key along the bottom of the graphics window (screen only).
void draw_key(const Levels& lv, int fill);

}  // namespace vortan
