// Filled polygons that share an edge leave no pixel between them: in the
// framebuffer alone, and in contour fills over a mesh of several element
// types, where the two sides of an element edge are cut at different points.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "dof_contours.h"
#include "platform/platform.h"
#include "plot.h"
#include "plots.h"
#include "stress_contours.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::ScriptedSession;
using vortan::test::TestMesh;

namespace {

// True when point (x, y) lies inside the convex polygon (counter-clockwise
// in pixel coordinates, y down) by at least `margin`.
bool inside_convex(const std::vector<double>& xs, const std::vector<double>& ys, double x,
                   double y, double margin) {
  const size_t n = xs.size();
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    const double ex = xs[j] - xs[i], ey = ys[j] - ys[i];
    const double cross = ex * (y - ys[i]) - ey * (x - xs[i]);
    if (cross / std::hypot(ex, ey) < margin) return false;
  }
  return true;
}

}  // namespace

// A convex region cut into a fan of triangles around an inner point; every
// spoke is broken at points of its own on each side, as contour bands break
// an element edge where their levels cross it. No pixel of the region may
// keep the background.
TEST(PolygonFill, FansOfTrianglesBrokenAtDifferentPointsCoverTheirRegion) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  Framebuffer fb;
  for (int trial = 0; trial < 40; ++trial) {
    fb.clear(0);
    const double cx = 150 + 300 * u(rng), cy = 120 + 200 * u(rng), r = 30 + 80 * u(rng);
    const int spokes = 3 + trial % 6;
    std::vector<double> rimx, rimy;
    for (int k = 0; k < spokes; ++k) {
      const double a = (k + 0.3 * u(rng)) * 2 * M_PI / spokes;
      rimx.push_back(cx + r * std::cos(a));
      rimy.push_back(cy - r * std::sin(a));
    }
    const double ox = cx + 0.2 * r * (u(rng) - 0.5), oy = cy + 0.2 * r * (u(rng) - 0.5);
    for (int k = 0; k < spokes; ++k) {
      const int k2 = (k + 1) % spokes;
      // The triangle (o, rim k, rim k2) with points of its own on both spokes.
      std::vector<double> xs{ox}, ys{oy};
      for (double t : {u(rng), 1.0}) {
        xs.push_back(ox + t * (rimx[k] - ox));
        ys.push_back(oy + t * (rimy[k] - oy));
      }
      for (double t : {1.0, u(rng)}) {
        xs.push_back(ox + t * (rimx[k2] - ox));
        ys.push_back(oy + t * (rimy[k2] - oy));
      }
      fb.fill_polygon(xs, ys, 1 + k % 15);
    }
    std::vector<double> hx(rimx.rbegin(), rimx.rend()), hy(rimy.rbegin(), rimy.rend());
    for (int y = 0; y < SCREEN_H; ++y) {
      for (int x = 0; x < SCREEN_W; ++x) {
        if (inside_convex(rimx, rimy, x, y, 0.0) || inside_convex(hx, hy, x, y, 0.0)) {
          ASSERT_NE(fb.at(x, y), 0) << "trial " << trial << " pixel " << x << " " << y;
        }
      }
    }
  }
}

TEST(PolygonFill, WholeVerticesFillTheSamePixelsAsBeforeAndThinOnesStay) {
  Framebuffer fb;
  fb.clear(0);
  const std::vector<double> xs{10, 20, 20, 10}, ys{10, 10, 20, 20};
  fb.fill_polygon(xs, ys, 4);
  int filled = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) filled += fb.at(x, y) == 4;
  EXPECT_EQ(filled, 11 * 11);  // the square with its outline, corners included
  // A sliver thinner than a pixel still shows as its outline.
  fb.clear(0);
  const std::vector<double> sx{100.2, 300.7, 300.7, 100.2}, sy{50.1, 50.1, 50.3, 50.3};
  fb.fill_polygon(sx, sy, 5);
  EXPECT_EQ(fb.at(200, 50), 5);
  // Vertices far outside the picture are clipped, never written out of it.
  const std::vector<double> bx{-40000, 40000, 0}, by{-40000, -40000, 40000};
  fb.fill_polygon(bx, by, 6);
  EXPECT_EQ(fb.at(320, 240), 6);
}

// Small polygons on the screen take a quicker way than the general one:
// the pixels must be the very same, for convex and folded outlines, points
// on pixel centres and rows, a closing point that repeats the first, and
// polygons near the edges of the screen or past them.
TEST(PolygonFill, SmallPolygonsFillTheSamePixelsAsTheGeneralWay) {
  std::mt19937 rng(23);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  Framebuffer quick, general;
  for (int trial = 0; trial < 4000; ++trial) {
    const int n = 1 + trial % 12;
    const double size = trial % 5 == 0 ? 60 : 1 + 8 * u(rng);
    const double cx = trial % 7 == 0 ? (trial % 2 ? 1 : SCREEN_W - 2) : 20 + 600 * u(rng);
    const double cy = trial % 11 == 0 ? (trial % 2 ? 1 : SCREEN_H - 2) : 20 + 440 * u(rng);
    std::vector<double> xs, ys;
    for (int k = 0; k < n; ++k) {
      double x = cx + size * (u(rng) - 0.5), y = cy + size * (u(rng) - 0.5);
      if (trial % 3 == 0) x = std::round(2 * x) / 2, y = std::round(2 * y) / 2;
      xs.push_back(x);
      ys.push_back(y);
    }
    if (trial % 4 == 0) xs.push_back(xs[0]), ys.push_back(ys[0]);
    const int colour = 1 + trial % 15;
    quick.fill_polygon(xs, ys, colour);
    general.fill_polygon_general(xs, ys, colour);
    // Every pixel the polygon may touch, its outline's rounding included.
    const auto [x0, x1] = std::minmax_element(xs.begin(), xs.end());
    const auto [y0, y1] = std::minmax_element(ys.begin(), ys.end());
    for (int y = static_cast<int>(*y0) - 2; y <= *y1 + 2; ++y)
      for (int x = static_cast<int>(*x0) - 2; x <= *x1 + 2; ++x)
        ASSERT_EQ(quick.at(x, y), general.at(x, y)) << "trial " << trial << " " << x << " " << y;
  }
}

// A unit square of an 8-noded and a 4-noded quadrilateral on the left, two
// 6-noded and two 3-noded triangles on the right, filled with the stress
// contours of Gauss values that jump from element to element, so that the
// two sides of an edge are cut by the bands at different points.
TEST(PolygonFill, ContourFillsOfSeveralElementTypesLeaveNoSeam) {
  ScriptedSession s("");
  const std::vector<std::pair<double, double>> square = {
      {0, 0},   {0.25, 0}, {0.5, 0},   {0.5, 0.25},  {0.5, 0.5},  {0.25, 0.5}, {0, 0.5},
      {0, 0.25}, {0.5, 1},  {0, 1},     {1, 0},       {1, 0.5},    {0.75, 0},   {1, 0.25},
      {0.75, 0.25}, {0.75, 0.5}, {1, 1}};
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int variant = 0; variant < 60; ++variant) {
    // Inner nodes moved a little, so that edges run at every slope.
    std::vector<std::pair<double, double>> xy = square;
    for (auto& [x, y] : xy) {
      if (x > 0 && x < 1) x += 0.04 * u(rng) * (y > 0 && y < 1 ? 1 : 0);
      if (y > 0 && y < 1) y += 0.04 * u(rng) * (x > 0 && x < 1 ? 1 : 0);
    }
    // A quadratic element's side against a linear one stays straight.
    for (auto [mid, a, b] : {std::array<int, 3>{6, 7, 5}, std::array<int, 3>{16, 5, 12}})
      xy[mid - 1] = {0.5 * (xy[a - 1].first + xy[b - 1].first),
                     0.5 * (xy[a - 1].second + xy[b - 1].second)};
    TestMesh t(2, xy);
    t.add(4, {1, 2, 3, 4, 5, 6, 7, 8});  // 8-noded quadrilateral
    t.add(4, {7, 5, 9, 10});             // 4-noded quadrilateral over it
    t.add(3, {3, 13, 11, 14, 12, 15});   // quadratic triangles
    t.add(3, {3, 15, 12, 16, 5, 4});
    t.add(3, {5, 12, 17});  // linear triangles
    t.add(3, {5, 17, 9});
    auto r = std::make_unique<ResultSet>();
    auto w = std::make_unique<PlotWork>();
    const int points[7] = {0, 4, 1, 3, 3, 1, 1};  // Gauss points by element
    for (int e = 1; e <= 6; ++e)
      for (int k = 1; k <= points[e]; ++k) {
        r->igaus(e, k) = ++r->ngaus;
        r->gpval(r->ngaus) = 10 * std::sin(1.3 * e + 0.7 * k + variant) + 2 * e;
      }
    ContourView view;
    view.fourth = "Pick nodal point";
    contour_setup(*t.m, view);
    set_contour_palette();
    contour_outline(*t.m, *w, view, true);
    Framebuffer& fb = plat().fb();
    // World (x, y) lies at pixel (300 (x + 0.3), 300 (1.3 - y)).
    const int background = fb.at(276, 126);  // inside element 6, before the fill
    PLCSTR(*t.m, *r, *w, NLEV, 1, view, 0);
    int pixels = 0;
    for (int py = 0; py < SCREEN_H; ++py)
      for (int px = 0; px < SCREEN_W; ++px) {
        const double x = px / 300.0 - 0.3, y = 1.3 - py / 300.0;
        if (x < 0.004 || x > 0.996 || y < 0.004 || y > 0.996) continue;
        ++pixels;
        ASSERT_NE(fb.at(px, py), background) << "variant " << variant << " pixel " << px << " " << py;
      }
    EXPECT_GT(pixels, 280 * 280);
  }
}
