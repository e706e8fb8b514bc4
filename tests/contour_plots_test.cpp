// The stress, flow and d.o.f. contour plots: what they draw where the
// levels put it, their dialogues, and their PostScript pages as Ghostscript
// renders them.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "contour_engine.h"
#include "dof_contours.h"
#include "platform/platform.h"
#include "plot.h"
#include "plots.h"
#include "stress_contours.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::read_file;
using vortan::test::ScriptedSession;
using vortan::test::TestMesh;

namespace {

// Tables too big for the stack.
struct Tables {
  std::unique_ptr<ResultSet> r = std::make_unique<ResultSet>();
  std::unique_ptr<PlotWork> w = std::make_unique<PlotWork>();
};

// The unit square: with the window -0.3 .. 1.3 (300 pixels per unit) world
// (x, y) lies at pixel (300 (x + 0.3), 300 (1.3 - y)); the frame -0.1 ..
// 1.1 runs along pixels 60 and 420.
int pixel(double x, double y) {
  return plat().fb().at(static_cast<int>(std::lround(300 * (x + 0.3))),
                        static_cast<int>(std::lround(300 * (1.3 - y))));
}

bool near_colour(double x, double y, int colour) {
  const int ix = static_cast<int>(std::lround(300 * (x + 0.3)));
  const int iy = static_cast<int>(std::lround(300 * (1.3 - y)));
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (plat().fb().at(ix + dx, iy + dy) == colour) return true;
  return false;
}

bool is_band_colour(int c) {
  for (int k = 0; k < 11; ++k)
    if (icont[k] == c) return true;
  return false;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// One linear quadrilateral over the unit square.
TestMesh unit_quad() {
  TestMesh t(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  t.add(4, {1, 2, 3, 4});
  return t;
}

// One 8-noded quadrilateral over the unit square.
TestMesh unit_quad8() {
  TestMesh t(2, {{0, 0}, {0.5, 0}, {1, 0}, {1, 0.5}, {1, 1}, {0.5, 1}, {0, 1}, {0, 0.5}});
  t.add(4, {1, 2, 3, 4, 5, 6, 7, 8});
  return t;
}

// Sets up the plot window for the mesh, the palette, and draws.
ContourView full_view(const MeshModel& m, PlotWork& w) {
  ContourView view;
  view.fourth = "Pick nodal point";
  contour_setup(m, view);
  set_contour_palette();
  contour_outline(m, w, view, true);
  return view;
}

// An RGB image read back from a PNG file.
struct Image {
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
  int grey(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return 255;
    const unsigned char* p = &rgb[3 * (y * w + x)];
    return (p[0] + p[1] + p[2]) / 3;
  }
  bool dark_near(double x, double y, int r = 1) const {
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (grey(static_cast<int>(x) + dx, static_cast<int>(y) + dy) < 160) return true;
    return false;
  }
};

// Renders an EPS page at 72 dpi cropped to its bounding box.
bool render(const std::string& eps, const std::string& png, Image& img) {
  std::string messages;
  return vortan::test::render_eps(eps, png, messages) && messages.empty() &&
         vortan::test::read_png_rgb(png, img.w, img.h, img.rgb);
}

// On the page of the unit square (window -0.3 .. 1.3 in 530 points, origin
// at page point 42 162, bounding box from 100 170), world (x, y) lies at
// pixel (331.25 (x + 0.3) - 58, 530 - (331.25 (y + 0.3) - 8)).
double page_x(double x) { return 331.25 * (x + 0.3) - 58; }
double page_y(double y) { return 530 - (331.25 * (y + 0.3) - 8); }

}  // namespace

TEST(DofContours, LinearQuadrilateralIsCutAlongTheDiagonal24) {
  ScriptedSession s("");
  TestMesh t = unit_quad();
  Tables tb;
  tb.w->vnode(3) = 1;  // node 3 high, the others 0
  const ContourView view = full_view(*t.m, *tb.w);
  PLCSPL(*t.m, *tb.w, NLEV, 0, view, 0);
  // In (4, 2, 3) the value is x + y - 1: level k (k / 9) runs along
  // x + y = 1 + k / 9, parallel to the diagonal, in icont(k + 1).
  EXPECT_TRUE(near_colour(0.5 + 2.0 / 9, 0.5 + 2.0 / 9, icont[5]));
  EXPECT_TRUE(near_colour(0.9, 0.1 + 4.0 / 9, icont[5]));
  EXPECT_TRUE(near_colour(0.5 + 4.0 / 9, 0.5 + 4.0 / 9, icont[9]));
  // Nothing in the triangle (1, 2, 4), all of whose values are 0.
  for (double x = 0.05; x < 0.95; x += 0.01)
    for (double y = 0.05; x + y < 0.97; y += 0.01)
      ASSERT_FALSE(is_band_colour(pixel(x, y))) << x << " " << y;
  // The outline in colour 8 and the key in the strip at the bottom.
  EXPECT_TRUE(near_colour(0.5, 0, 8));
  EXPECT_EQ(plat().fb().at(24, 455), 7);
}

TEST(DofContours, EightNodedQuadrilateralPeaksAtItsCentre) {
  ScriptedSession s("");
  TestMesh t = unit_quad8();
  Tables tb;
  for (int n : {2, 4, 6, 8}) tb.w->vnode(n) = 1;  // midsides 1, corners 0: centre 2
  const ContourView view = full_view(*t.m, *tb.w);
  PLCSPL(*t.m, *tb.w, NLEV, 1, view, 0);
  // The range is that of the nodes, 0 .. 1: the centre lies above vmax, in
  // the top band; the corners in the bottom bands.
  EXPECT_EQ(pixel(0.5, 0.5), icont[10]);
  EXPECT_EQ(pixel(0.02, 0.02), icont[1]);
  // Along the edge y = 0 the value rises from 0 at a corner to 1 at the
  // midside node: (0.25, 0.02) holds about 0.5 + 0.04, band 5 or 6.
  const int c = pixel(0.25, 0.02);
  EXPECT_TRUE(c == icont[5] || c == icont[6]) << c;
}

// On the screen, the filled quarters of 8-noded quadrilaterals that no
// level crosses take a short way: the picture must be the one that CQUAD2
// draws quarter by quarter, for grids fine and coarse, with straight and
// bent sides, and values that leave some quarters whole and cut others.
TEST(DofContours, ShortWayForWholeQuartersDrawsWhatCquad2Draws) {
  for (int n : {3, 12, 40}) {
    ScriptedSession s("");
    // An n x n grid of 8-noded quadrilaterals over the unit square, its
    // inner points moved a little, some midside nodes off their sides.
    std::vector<std::pair<double, double>> xy;
    auto node = [&](int i, int j) {  // i, j on the half grid 0 .. 2n
      const double h = 1.0 / (2 * n);
      const bool inner = i > 0 && j > 0 && i < 2 * n && j < 2 * n;
      const double wobble = inner ? 0.15 * h * std::sin(7.1 * i + 3.3 * j) : 0;
      xy.push_back({i * h + wobble, j * h + (i % 2 == 1 && j % 4 == 0 ? wobble : -wobble)});
      return static_cast<int>(xy.size());
    };
    std::vector<std::vector<int>> id(2 * n + 1, std::vector<int>(2 * n + 1, 0));
    for (int i = 0; i <= 2 * n; ++i)
      for (int j = 0; j <= 2 * n; ++j)
        if (i % 2 == 0 || j % 2 == 0) id[i][j] = node(i, j);
    TestMesh t(1, xy);
    for (int a = 0; a < 2 * n; a += 2)
      for (int b = 0; b < 2 * n; b += 2)
        t.add(4, {id[a][b], id[a + 1][b], id[a + 2][b], id[a + 2][b + 1], id[a + 2][b + 2],
                  id[a + 1][b + 2], id[a][b + 2], id[a][b + 1]});
    Tables tb;
    for (int k = 1; k <= t.m->npoin; ++k)
      tb.w->vnode(k) = std::sin(3 * t.m->coord(k, 1)) + 0.6 * t.m->coord(k, 2);
    const ContourView view = full_view(*t.m, *tb.w);
    PLCSPL(*t.m, *tb.w, NLEV, 1, view, 0);
    const std::vector<std::uint8_t> quick(plat().fb().data(), plat().fb().data() + 640 * 480);
    // The same picture, each quarter through CQUAD2.
    full_view(*t.m, *tb.w);
    double vmin = tb.w->vnode(1), vmax = vmin;
    for (int k = 1; k <= t.m->npoin; ++k)
      vmin = std::min(vmin, tb.w->vnode(k)), vmax = std::max(vmax, tb.w->vnode(k));
    const Levels lv = contour_levels(vmin, vmax, NLEV, DOF_THRESHOLD, DOF_UNIT);
    draw_key(lv, 1);
    for (int e = 1; e <= t.m->nelem; ++e) {
      double u[9];
      for (int k = 1; k <= 8; ++k) u[k] = tb.w->vnode(t.m->lnods(e, k));
      const double uc = 0.5 * (u[2] + u[4] + u[6] + u[8]) - 0.25 * (u[1] + u[3] + u[5] + u[7]);
      const double f[4][4] = {{u[1], u[2], uc, u[8]}, {u[2], u[3], u[4], uc},
                              {uc, u[4], u[5], u[6]}, {u[8], uc, u[6], u[7]}};
      QuadGrid q;
      quad_half_grid(element_geometry(*t.m, e), q);
      const int first[4][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
      for (int k = 0; k < 4; ++k) {
        const int i = first[k][0], j = first[k][1];
        const int gi[8] = {i, i + 1, i + 2, i + 2, i + 2, i + 1, i, i};
        const int gj[8] = {j, j, j, j + 1, j + 2, j + 2, j + 2, j + 1};
        Geometry g{};
        for (int p = 0; p < 8; ++p) set_point(g, p + 1, q.x[gi[p]][gj[p]], q.y[gi[p]][gj[p]]);
        CQUAD2(lv, g, 1, f[k][0], f[k][1], f[k][2], f[k][3], *std::max_element(f[k], f[k] + 4),
               *std::min_element(f[k], f[k] + 4), tb.w->poly);
      }
    }
    int differ = 0;
    for (int k = 0; k < 640 * 480; ++k) differ += plat().fb().data()[k] != quick[k];
    EXPECT_EQ(differ, 0) << n << " x " << n;
  }
}

TEST(DofContours, CornerNodePlotNeverReadsMidsideValues) {
  ScriptedSession s("");
  TestMesh t = unit_quad8();
  Tables tb;
  const double corners[5] = {0, 0, 1, 2, 3};
  for (int k = 1; k <= 4; ++k) tb.w->vnode(2 * k - 1) = corners[k];
  for (int fill : {0, 1}) {
    for (int n : {2, 4, 6, 8}) tb.w->vnode(n) = 0;
    const ContourView view = full_view(*t.m, *tb.w);
    PLCSP2(*t.m, *tb.w, NLEV, fill, view, 0);
    std::vector<int> first;
    for (int y = 35; y < 480; ++y)
      for (int x = 0; x < 500; ++x) first.push_back(plat().fb().at(x, y));
    for (int n : {2, 4, 6, 8}) tb.w->vnode(n) = 100.0 * n;
    full_view(*t.m, *tb.w);
    PLCSP2(*t.m, *tb.w, NLEV, fill, view, 0);
    std::vector<int> second;
    for (int y = 35; y < 480; ++y)
      for (int x = 0; x < 500; ++x) second.push_back(plat().fb().at(x, y));
    EXPECT_EQ(first, second) << "fill " << fill;
  }
  // The bilinear field of the corners: 0 at (0,0), 1 at (1,0), 2 at (1,1),
  // 3 at (0,1); at (0.5, 0.5) it is 1.5, level 1.5 = 4.5 steps of 1/3.
  EXPECT_EQ(pixel(0.52, 0.52), icont[5]);
  EXPECT_EQ(pixel(0.02, 0.02), icont[1]);
  EXPECT_EQ(pixel(0.02, 0.98), icont[9]);  // 2.92: between levels 8 and 9
}

TEST(DofContours, ZoomWithoutAWholeElementAndUnknownTypes) {
  ScriptedSession s("");
  TestMesh t(1, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  t.add(3, {1, 2, 3});
  t.add(3, {1, 3, 4});
  Tables tb;
  tb.w->vnode(2) = 1;
  ContourView view = full_view(*t.m, *tb.w);
  // A zoom window that cuts both triangles: only the key.
  view.zoomed = true;
  view.frame = MeshWindow{0.4, 0.6, 0.4, 0.6};
  PLCSPL(*t.m, *tb.w, NLEV, 1, view, 0);
  EXPECT_TRUE(has(s.transcript(), "No elt inside zoom area - try a larger area!"));
  // An element of no known type ends the drawing there, with a message;
  // the element before it is drawn.
  t.m->nnode(2) = 7;
  view = full_view(*t.m, *tb.w);
  PLCSPL(*t.m, *tb.w, NLEV, 1, view, 0);
  EXPECT_TRUE(has(s.transcript(), "Error: element 2 has no recognized type!"));
  EXPECT_TRUE(is_band_colour(pixel(0.7, 0.2)));
  EXPECT_FALSE(is_band_colour(pixel(0.2, 0.7)));
  // Material type 2 only: nothing of material 1 is drawn.
  t.m->nnode(2) = 3;
  view = full_view(*t.m, *tb.w);
  PLCSPL(*t.m, *tb.w, NLEV, 1, view, 2);
  EXPECT_FALSE(is_band_colour(pixel(0.7, 0.2)));
}

TEST(StressContours, LinearElementsFillOrShowNothing) {
  ScriptedSession s("");
  TestMesh t(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  t.add(3, {1, 2, 3});
  t.add(3, {1, 3, 4});
  Tables tb;
  ResultSet& r = *tb.r;
  r.ngaus = 2;
  r.igaus(1, 1) = 1;
  r.igaus(2, 1) = 2;
  r.gpval(1) = 5;   // vmin: band 0
  r.gpval(2) = 14;  // vmax: band 9 (level 8 < 14 <= level 9)
  ContourView view = full_view(*t.m, *tb.w);
  PLCSTR(*t.m, r, *tb.w, NLEV, 0, view, 0);
  // Lines: constant elements have no contour lines.
  for (double x = 0.05; x < 0.95; x += 0.02) {
    for (double y = 0.05; y < 0.95; y += 0.02) {
      if (std::fabs(x - y) > 0.02) {
        ASSERT_FALSE(is_band_colour(pixel(x, y)));
      }
    }
  }
  view = full_view(*t.m, *tb.w);
  PLCSTR(*t.m, r, *tb.w, NLEV, 1, view, 0);
  EXPECT_EQ(pixel(0.7, 0.2), icont[0]);
  EXPECT_EQ(pixel(0.2, 0.7), icont[9]);
}

TEST(StressContours, QuadraticElementsFromTheirGaussValues) {
  ScriptedSession s("");
  TestMesh t = unit_quad8();
  Tables tb;
  ResultSet& r = *tb.r;
  r.ngaus = 4;
  for (int g = 1; g <= 4; ++g) r.igaus(1, g) = g;
  // Equal Gauss values: every corner gets the same value, the field is
  // constant, the plot says so and fills one band.
  for (int g = 1; g <= 4; ++g) r.gpval(g) = 7;
  ContourView view = full_view(*t.m, *tb.w);
  PLCSTR(*t.m, r, *tb.w, NLEV, 1, view, 0);
  EXPECT_TRUE(has(s.transcript(), "Function nearly constant - contouring may be inaccurate"));
  const int c = pixel(0.5, 0.5);
  EXPECT_EQ(pixel(0.05, 0.05), c);
  EXPECT_EQ(pixel(0.95, 0.95), c);
  // g1 near corner 1, g3 near corner 2, g2 near corner 4, g4 opposite: a
  // field rising in x only when g3 = g4 > g1 = g2.
  r.gpval(1) = r.gpval(2) = 0;
  r.gpval(3) = r.gpval(4) = 9;
  view = full_view(*t.m, *tb.w);
  PLCSTR(*t.m, r, *tb.w, NLEV, 0, view, 0);
  // Corner values 4.5 -/+ 9a (a = sqrt(3) / 2) on the left and right: the
  // field is 4.5 + 9a (2x - 1), and level k (the Gauss values span 0..9,
  // step 1) crosses at x = 0.5 + (k - 4.5) / 18a. Level 5 at x = 0.532.
  const double span = 9 * std::sqrt(3.0) / 2;  // corner value minus 4.5
  for (int k : {1, 5, 8}) {
    const double x = 0.5 + (k - 4.5) / (2 * span);
    EXPECT_TRUE(near_colour(x, 0.3, icont[k + 1])) << k;
    EXPECT_TRUE(near_colour(x, 0.7, icont[k + 1])) << k;
  }
}

TEST(StressContours, QuantitiesAtTheGaussPoints) {
  Tables tb;
  ResultSet& r = *tb.r;
  r.ngaus = 2;
  // sx 10, sy 0, txy 0: s1 10, s3 0. sx 0, sy 0, txy 4: s1 4, s3 -4.
  r.stres(1, 1) = 10, r.stres(1, 2) = 0, r.stres(1, 3) = 0, r.stres(1, 4) = 3;
  r.stres(2, 1) = 0, r.stres(2, 2) = 0, r.stres(2, 3) = 4, r.stres(2, 4) = -1;
  const double want[9][2] = {{0, 0}, {10, 4}, {0, -4}, {5, 0}, {5, 4},
                             {10, 0}, {0, 0}, {0, 4}, {3, -1}};
  for (int q = 1; q <= 8; ++q) {
    stress_quantity(r, true, q);
    EXPECT_DOUBLE_EQ(r.gpval(1), want[q][0]) << q;
    EXPECT_DOUBLE_EQ(r.gpval(2), want[q][1]) << q;
  }
  r.stres(1, 1) = 3, r.stres(1, 2) = -4;
  stress_quantity(r, false, 3);
  EXPECT_DOUBLE_EQ(r.gpval(1), 5);
  stress_quantity(r, false, 2);
  EXPECT_DOUBLE_EQ(r.gpval(1), -4);
  // Records beyond ngaus are left alone; missing records skip the element.
  r.gpval(3) = 99;
  stress_quantity(r, false, 1);
  EXPECT_EQ(r.gpval(3), 99);
}

TEST(StressContours, DialogueChoosesTheQuantityAndPutsThePaletteBack) {
  // Fill-in of the deviator, a zoom, "New plot" with sigma-z lines, then
  // Continue. Buttons: Continue y 368..479, Restore 256..367, Zoom
  // 145..255, New plot 34..144.
  ScriptedSession s(
      "dialog OK 2 4\nsnapshot dev.png\nclick 560 200\nclick 100 100\nclick 380 380\n"
      "click 560 100\ndialog OK 1 8\nclick 560 420\n");
  TestMesh t = unit_quad8();
  t.m->title = "Footing";
  Tables tb;
  ResultSet& r = *tb.r;
  r.ngaus = 4;
  for (int g = 1; g <= 4; ++g) {
    r.igaus(1, g) = g;
    r.stres(g, 1) = 2.0 * g;
    r.stres(g, 2) = -g;
    r.stres(g, 3) = 0;
    r.stres(g, 4) = g;
  }
  CSTRAY(*t.m, r, *tb.w, ViewState{});
  const std::string tr = s.transcript();
  EXPECT_TRUE(has(tr, "Contouring options"));
  EXPECT_TRUE(has(tr, "Deviator stresses: Footing"));
  EXPECT_TRUE(has(tr, "sigma-z stresses: Footing"));
  EXPECT_TRUE(has(tr, "Click on opposite corners defining zoom area:"));
  // Deviator = (s1 - s3) / 2 = 1.5 g at each record.
  EXPECT_DOUBLE_EQ(r.gpval(1), 1);  // sigma-z last
  EXPECT_EQ(plat().fb().palette(6).g, ega_code_rgb(20).g);
  EXPECT_EQ(plat().fb().palette(2).g, ega_code_rgb(2).g);
}

TEST(StressContours, FlowProblemsOfferTheFlowrates) {
  ScriptedSession s("dialog OK 1 3\nclick 560 420\n");
  TestMesh t(1, {{0, 0}, {1, 0}, {0, 1}});
  t.add(3, {1, 2, 3});
  Tables tb;
  tb.r->ngaus = 1;
  tb.r->igaus(1, 1) = 1;
  tb.r->stres(1, 1) = 3;
  tb.r->stres(1, 2) = 4;
  CSTRAY(*t.m, *tb.r, *tb.w, ViewState{});
  const std::string tr = s.transcript();
  EXPECT_TRUE(has(tr, "Flowrates"));
  EXPECT_TRUE(has(tr, "magnitude flow:"));
  EXPECT_FALSE(has(tr, "Major"));
  EXPECT_DOUBLE_EQ(tb.r->gpval(1), 5);
}

TEST(DofContours, DialoguePicksANodeAndKeepsThePalette) {
  ScriptedSession s(
      "dialog Help\ndialog Yes\nsnapshot dof.png\nclick 560 100\nclick 391 89\n"
      "rclick 560 200\nclick 560 420\n");
  TestMesh t = unit_quad();
  Tables tb;
  for (int n = 1; n <= 4; ++n) tb.w->vnode(n) = 0.25 * n;
  CSPLAY(*t.m, *tb.r, *tb.w, ViewState{});
  const std::string tr = s.transcript();
  EXPECT_TRUE(has(tr, "Do you want colour fill-in?"));
  EXPECT_TRUE(has(tr, "Contour plot"));  // the help of the Help button
  EXPECT_TRUE(has(tr, "Click on chosen nodal point:"));
  EXPECT_TRUE(has(tr, "Value of U at node:"));
  EXPECT_TRUE(has(tr, "Zoom plot"));  // right click on Zoom
  // Node 3 (1, 1) holds 0.75, the largest value: the fill there is in the
  // top bands, and the contour palette stays after the return.
  EXPECT_EQ(plat().fb().palette(icont[0]).b, ega_code_rgb(8).b);
  EXPECT_TRUE(is_band_colour(pixel(0.97, 0.97)));
}

TEST(ContourPostScript, DofPageRecordsAndLinesWhereTheLevelsAre) {
  ScriptedSession s("key n\n");
  TestMesh t = unit_quad();
  Tables tb;
  tb.w->vnode(2) = tb.w->vnode(3) = 9;  // f = 9 x: level k at x = k / 9
  const std::string eps = s.folder() + "/runa.ps";
  ASSERT_TRUE(PSOPEN(eps));
  PSCSPL(*t.m, *tb.r, *tb.w, ViewState{}, 1);
  ASSERT_TRUE(PSCLOS());
  const auto l = vortan::test::lines_of(read_file(eps));
  ASSERT_GT(l.size(), 30u);
  EXPECT_EQ(l[0], "%!PS-Adobe-2.0EPSF-1.2");
  EXPECT_EQ(l[1], "%%Title:VORTAN plots - Poisson contours");
  EXPECT_EQ(l.back(), "%%Trailer");
  bool boundary = false, contours = false;
  for (const auto& x : l) {
    boundary = boundary || x == "% mesh boundary";
    contours = contours || x == "% d.o.f. contours";
  }
  EXPECT_TRUE(boundary);
  EXPECT_TRUE(contours);
  EXPECT_TRUE(has(s.transcript(), " X-limits of mesh: "));
  EXPECT_LT(plot_state().actscale, 0);

  Image img;
  ASSERT_TRUE(render(eps, s.folder() + "/runa.png", img));
  // Vertical contour lines at x = k / 9, k = 1..8, from y = 0 to 1.
  for (int k : {1, 4, 8}) {
    EXPECT_TRUE(img.dark_near(page_x(k / 9.0), page_y(0.3))) << k;
    EXPECT_TRUE(img.dark_near(page_x(k / 9.0), page_y(0.8))) << k;
  }
  EXPECT_FALSE(img.dark_near(page_x(0.5 / 9 + 4.0 / 9), page_y(0.5), 2));
  // The boundary of the square.
  EXPECT_TRUE(img.dark_near(page_x(0), page_y(0.5)));
  EXPECT_TRUE(img.dark_near(page_x(0.5), page_y(1)));
}

TEST(ContourPostScript, StressPageAsksTheQuantityAndContoursIt) {
  // Choice 5 then 3: tau-xy; first a 6 and a component 7, both refused.
  ScriptedSession s("key n\nkey 6\nkey 5\nkey 7\nkey 5\nkey 3\n");
  TestMesh t = unit_quad8();
  Tables tb;
  ResultSet& r = *tb.r;
  r.ngaus = 4;
  // tau-xy 0 at g1, g2 and 9 at g3, g4: rising in x as in the screen test.
  for (int g = 1; g <= 4; ++g) {
    r.igaus(1, g) = g;
    r.stres(g, 3) = g >= 3 ? 9 : 0;
    r.stres(g, 1) = 100 * g;
  }
  const std::string eps = s.folder() + "/runc.ps";
  ASSERT_TRUE(PSOPEN(eps));
  PSCSTR(*t.m, r, *tb.w, ViewState{});
  ASSERT_TRUE(PSCLOS());
  const std::string text = read_file(eps);
  EXPECT_TRUE(has(text, "%%Title:VORTAN plots - stress/flowrate contours\n"));
  EXPECT_TRUE(has(text, "\n% stress contours\n"));
  const std::string tr = s.transcript();
  EXPECT_TRUE(has(tr, "Type 1 for major stress, 2 for minor,"));
  EXPECT_TRUE(has(tr, "Type 1 for sx, 2 for sy, 3 for txy, 4 for sz:"));
  EXPECT_DOUBLE_EQ(r.gpval(3), 9);
  Image img;
  ASSERT_TRUE(render(eps, s.folder() + "/runc.png", img));
  const double span = 9 * std::sqrt(3.0) / 2;
  const double x5 = 0.5 + (5 - 4.5) / (2 * span);
  EXPECT_TRUE(img.dark_near(page_x(x5), page_y(0.5)));
  EXPECT_TRUE(img.dark_near(page_x(x5), page_y(0.2)));
  // Halfway to the line of level 6 the page is white.
  EXPECT_FALSE(img.dark_near(page_x(x5 + 0.5 / (2 * span)), page_y(0.5), 1));
}
