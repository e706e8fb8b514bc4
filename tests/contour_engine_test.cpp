// The contouring engine: levels, bands, the palette and the key, and the
// lines and bands of each primitive checked at the pixels where the levels
// put them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "contour_engine.h"
#include "platform/platform.h"
#include "plot.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::ScriptedSession;

namespace {

// A window of 0 .. 4.8 both ways: 100 pixels per unit, world (x, y) at
// pixel (100 x, 480 - 100 y).
void hundred_per_unit() {
  double cs;
  STPLOT(0, 4.8, 0, 4.8, cs, 15);
}

int px_at(double x, double y) {
  return plat().fb().at(static_cast<int>(std::lround(100 * x)),
                        static_cast<int>(std::lround(480 - 100 * y)));
}

// True when a pixel within one of world (x, y) has the colour.
bool colour_near(double x, double y, int colour) {
  const int ix = static_cast<int>(std::lround(100 * x)), iy = static_cast<int>(std::lround(480 - 100 * y));
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (plat().fb().at(ix + dx, iy + dy) == colour) return true;
  return false;
}

Levels five_levels() {  // 0, 2.5, 5, 7.5, 10
  Levels lv;
  lv.vmin = 0;
  lv.vmax = 10;
  lv.nlev = 5;
  lv.dv = 2.5;
  return lv;
}

// Triangle P1 (0.5, 0.5), P2 (4.5, 0.5), P3 (0.5, 4) with values 0, 10, 5:
// f = 2.5 (x - 0.5) + (10 / 7) (y - 0.5).
Geometry test_triangle() {
  Geometry g{};
  set_point(g, 1, 0.5, 0.5);
  set_point(g, 2, 4.5, 0.5);
  set_point(g, 3, 0.5, 4.0);
  return g;
}

// The square 1 .. 3 by 1 .. 3 as an 8-point curved quadrilateral with
// straight sides: natural (s, t) at world (2 + s, 2 + t).
Geometry test_square() {
  Geometry g{};
  const double p[8][2] = {{1, 1}, {2, 1}, {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}};
  for (int i = 0; i < 8; ++i) set_point(g, i + 1, p[i][0], p[i][1]);
  return g;
}

}  // namespace

TEST(ContourLevels, StepsAndTheNearlyConstantRule) {
  ScriptedSession s("");
  Levels lv = contour_levels(0, 10, 5, DOF_THRESHOLD, DOF_UNIT);
  EXPECT_EQ(lv.nlev, 5);
  EXPECT_DOUBLE_EQ(lv.dv, 2.5);
  EXPECT_DOUBLE_EQ(lv.at(4), 10);
  EXPECT_EQ(s.transcript().find("Function nearly constant"), std::string::npos);

  // A range of 0.0003 in a d.o.f. plot: 0.0003 / 0.0001 + 2 = 5 levels.
  lv = contour_levels(1.0, 1.0003, 10, DOF_THRESHOLD, DOF_UNIT);
  EXPECT_EQ(lv.nlev, 5);
  EXPECT_NEAR(lv.dv, 0.0003 / 4, 1e-12);
  EXPECT_NE(s.transcript().find("Function nearly constant - contouring may be inaccurate"),
            std::string::npos);
  // The same range is not nearly constant for the stress threshold.
  lv = contour_levels(1.0, 1.0003, 10, GAUSS_THRESHOLD, GAUSS_UNIT);
  EXPECT_EQ(lv.nlev, 10);

  // All values equal: at most 2 levels, a zero step and no division by it.
  lv = contour_levels(3, 3, 10, GAUSS_THRESHOLD, GAUSS_UNIT);
  EXPECT_EQ(lv.nlev, 2);
  EXPECT_EQ(lv.dv, 0);
  EXPECT_EQ(base_band(lv, 3, 3), 0);
  EXPECT_EQ(value_band(lv, 3), 0);
}

TEST(ContourLevels, BandsOfPrimitivesAndOfConstantElements) {
  const Levels lv = five_levels();
  EXPECT_EQ(base_band(lv, -5, 0), 0);    // wholly at or below vmin
  EXPECT_EQ(base_band(lv, 10, 12), 5);   // wholly at or above vmax
  EXPECT_EQ(base_band(lv, -1, 4), 0);    // reaching below vmin
  EXPECT_EQ(base_band(lv, 0, 10), 1);
  EXPECT_EQ(base_band(lv, 3, 4), 2);
  EXPECT_EQ(base_band(lv, 9, 11), 4);
  // A minimum exactly on a level starts in the band above it: the level
  // itself is passed by as a crossing, so that band must be the base.
  EXPECT_EQ(base_band(lv, 5, 6), 3);

  EXPECT_EQ(value_band(lv, 0), 0);  // equal to vmin: band 0
  EXPECT_EQ(value_band(lv, 0.1), 1);
  EXPECT_EQ(value_band(lv, 2.5), 1);
  EXPECT_EQ(value_band(lv, 2.6), 2);
  EXPECT_EQ(value_band(lv, 10), 4);
  EXPECT_EQ(value_band(lv, 11), 5);
}

TEST(ContourLevels, PaletteAndKeyLabels) {
  ScriptedSession s("");
  set_contour_palette();
  const int codes[11] = {8, 1, 9, 43, 3, 42, 18, 30, 46, 60, 36};
  for (int k = 0; k < 11; ++k) {
    const Rgb want = ega_code_rgb(codes[k]), got = plat().fb().palette(icont[k]);
    EXPECT_EQ(got.r, want.r) << k;
    EXPECT_EQ(got.g, want.g) << k;
    EXPECT_EQ(got.b, want.b) << k;
  }
  restore_contour_palette();
  EXPECT_EQ(plat().fb().palette(6).g, ega_code_rgb(20).g);  // brown again
  EXPECT_EQ(plat().fb().palette(14).r, ega_code_rgb(62).r);

  EXPECT_EQ(key_label(0.0), "      0.0");
  EXPECT_EQ(key_label(0.05), " 5.00E-02");
  EXPECT_EQ(key_label(-12.5), "  -12.500");
  EXPECT_EQ(key_label(2500), " 2.50E+03");
  for (double v : {-1.0e30, -0.0001, 999.99, 1.0e-30}) EXPECT_EQ(key_label(v).size(), 9u);
}

TEST(ContourKey, BoxesInBandColoursOrOnGrey) {
  ScriptedSession s("");
  hundred_per_unit();
  Levels lv = five_levels();
  draw_key(lv, 1);
  // Six boxes, 45 pixels wide from x = 2; between the two label rows each
  // box shows its colour.
  for (int j = 1; j <= 6; ++j) EXPECT_EQ(plat().fb().at(2 + 45 * (j - 1) + 22, 455), icont[j - 1]);
  EXPECT_EQ(plat().fb().at(2 + 45 * 6 + 22, 455), BACKGROUND);  // no seventh box
  // The first label, "0.0", in white at the box's left.
  bool white = false;
  for (int x = 4; x < 30; ++x)
    for (int y = 442; y < 455; ++y) white = white || plat().fb().at(x, y) == 15;
  EXPECT_TRUE(white);

  draw_key(lv, 0);  // lines: a grey strip, labels in the band colours
  EXPECT_EQ(plat().fb().at(2 + 22, 455), 7);
  EXPECT_EQ(plat().fb().at(498, 470), 7);
  bool coloured = false;
  for (int x = 4 + 45; x < 30 + 45; ++x)
    for (int y = 456; y < 469; ++y) coloured = coloured || plat().fb().at(x, y) == icont[1];
  EXPECT_TRUE(coloured);
}

TEST(ContourKey, LongLabelsAreWholeAndClearOfTheToolbar) {
  ScriptedSession s("");
  Levels lv;
  lv.vmin = 0.0;
  lv.dv = 0.0005;
  lv.nlev = NLEV;
  draw_key(lv, 1);
  // The second label, "5.00E-04" (56 pixels from x 49), runs on past its
  // box into the third box: its tail must not be painted over.
  bool tail = false;
  for (int x = 93; x < 105; ++x)
    for (int y = 456; y < 469; ++y) tail = tail || plat().fb().at(x, y) == 15;
  EXPECT_TRUE(tail);
  // The last label ends before the toolbar.
  for (int y = 440; y <= 470; ++y)
    for (int x = 500; x < 520; ++x) EXPECT_NE(plat().fb().at(x, y), 15) << x << "," << y;
}

TEST(ContourPrimitives, ShapeMappingsPassThroughTheirPoints) {
  Geometry g{};
  const double p[8][2] = {{0, 0}, {2, 0.2}, {4, 0}, {4.2, 2}, {4, 4}, {2, 3.8}, {0, 4}, {-0.2, 2}};
  for (int i = 0; i < 8; ++i) set_point(g, i + 1, p[i][0], p[i][1]);
  double x, y;
  ST2XY(0, 0, 9, g, x, y);  // the centre of the serendipity element
  // -1/4 of the corners plus 1/2 of the midside nodes.
  EXPECT_NEAR(x, 2.0, 1e-12);
  EXPECT_NEAR(y, 2.0, 1e-12);
  ST2XY(1, 0, 9, g, x, y);  // midside node 4
  EXPECT_NEAR(x, 4.2, 1e-12);
  EXPECT_NEAR(y, 2, 1e-12);
  ST2XY(0.5, 0, 7, g, x, y);  // midside node 2 of a 6-node triangle
  EXPECT_NEAR(x, 2, 1e-12);
  EXPECT_NEAR(y, 0.2, 1e-12);
  ST2XY(0, 1, 8, g, x, y);  // node 5 of the thin quadrilateral
  EXPECT_NEAR(x, 4, 1e-12);
  EXPECT_NEAR(y, 4, 1e-12);
  ST2XY(-1, 1, 8, g, x, y);  // node 6
  EXPECT_NEAR(x, 2, 1e-12);
  EXPECT_NEAR(y, 3.8, 1e-12);
  ST2XY(0.25, 0.25, 5, g, x, y);
  EXPECT_NEAR(x, 1.5, 1e-12);
  EXPECT_NEAR(y, 0.05, 1e-12);
}

// The quarters of an 8-noded quadrilateral are outlined through its half
// grid: the very numbers ST2XY gives, so the pictures do not move by a bit.
TEST(ContourPrimitives, HalfGridOfTheQuadrilateralIsExactlyItsMapping) {
  Geometry g{};
  const double p[8][2] = {{0.1, 0.3}, {2, 0.2},  {4.7, 0}, {4.2, 2.9},
                          {4, 4.1},   {2, 3.8}, {0, 4},   {-0.2, 2}};
  for (int i = 0; i < 8; ++i) set_point(g, i + 1, p[i][0] * 1.37, p[i][1] / 3.1);
  QuadGrid q;
  quad_half_grid(g, q);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) {
      if (i % 2 == 1 && j % 2 == 1) continue;
      double x, y;
      ST2XY(-1 + 0.5 * i, -1 + 0.5 * j, 9, g, x, y);
      EXPECT_EQ(q.x[i][j], x) << i << " " << j;
      EXPECT_EQ(q.y[i][j], y) << i << " " << j;
    }
}

TEST(ContourPrimitives, StraightTriangleLinesWhereTheLevelsCross) {
  ScriptedSession s("");
  hundred_per_unit();
  PolyWork w;
  CTRIA1(five_levels(), test_triangle(), 0, 0, 10, 5, 10, 0, w);
  // Level 2.5 crosses sides 1-2 and 3-1 at (1.5, 0.5) and (0.5, 2.25).
  EXPECT_TRUE(colour_near(1.0, 1.375, icont[2]));
  EXPECT_TRUE(colour_near(1.4, 0.675, icont[2]));
  // Level 5 passes through corner 3: (2.5, 0.5) to (0.5, 4).
  EXPECT_TRUE(colour_near(1.5, 2.25, icont[3]));
  EXPECT_TRUE(colour_near(0.7, 3.65, icont[3]));
  // Level 7.5: (3.5, 0.5) to (2.5, 2.25).
  EXPECT_TRUE(colour_near(3.0, 1.375, icont[4]));
  // Level 0 is the minimum and level 10 the maximum: neither is drawn.
  EXPECT_FALSE(colour_near(0.5, 0.5, icont[1]));
  EXPECT_FALSE(colour_near(4.5, 0.5, icont[5]));
  // Away from the lines nothing is drawn.
  EXPECT_EQ(px_at(2.0, 1.0), BACKGROUND);
}

TEST(ContourPrimitives, StraightTriangleBandsByThePaintersRule) {
  ScriptedSession s("");
  hundred_per_unit();
  PolyWork w;
  CTRIA1(five_levels(), test_triangle(), 1, 0, 10, 5, 10, 0, w);
  EXPECT_EQ(px_at(0.8, 0.8), icont[1]);   // f = 1.2: band 1, the base
  EXPECT_EQ(px_at(2.0, 1.0), icont[2]);   // f = 4.5: 2.5 .. 5
  EXPECT_EQ(px_at(1.0, 3.5), icont[3]);   // f = 5.5: 5 .. 7.5
  EXPECT_EQ(px_at(4.2, 0.6), icont[4]);   // f = 9.4: 7.5 .. 10
  EXPECT_EQ(px_at(4.0, 3.0), BACKGROUND);  // outside
  EXPECT_EQ(w.count, 0);
}

TEST(ContourPrimitives, CurvedTriangleBendsWithTheElement) {
  ScriptedSession s("");
  hundred_per_unit();
  // Corners (0.5, 0.5), (4.5, 0.5), (0.5, 4.5); the side 1-3 bows out to
  // x = 0.1 at its midside node. Values 0 at corner 1 and 3, 10 at corner
  // 2: f = 10 s, so level 5 runs along s = 1/2 from (2.5, 0.5) to the
  // midside node of side 2-3 at (2.5, 2.5), bending with the element
  // through the image of natural (1/2, 1/4), (2.4, 1.5625).
  Geometry g{};
  const double p[6][2] = {{0.5, 0.5}, {2.5, 0.5}, {4.5, 0.5}, {2.5, 2.5}, {0.5, 4.5}, {0.1, 2.5}};
  for (int i = 0; i < 6; ++i) set_point(g, i + 1, p[i][0], p[i][1]);
  Levels lv = five_levels();
  PolyWork w;
  CTRIA2(lv, g, 0, 0, 10, 0, 10, 0, w);
  EXPECT_TRUE(colour_near(2.4, 1.5625, icont[3]));
  EXPECT_TRUE(colour_near(2.5, 0.51, icont[3]));
  // Fill mode: the band below 2.5 reaches the bowed side, which a straight
  // side 1-3 would leave outside.
  CTRIA2(lv, g, 1, 0, 10, 0, 10, 0, w);
  EXPECT_EQ(px_at(0.25, 2.5), icont[1]);
  EXPECT_EQ(px_at(3.8, 0.7), icont[4]);
  EXPECT_EQ(px_at(0.05, 2.5), BACKGROUND);
}

TEST(ContourPrimitives, QuadrilateralSaddleAtTheLevelDrawsTheCross) {
  ScriptedSession s("");
  hundred_per_unit();
  // Values 1, 0, 1, 0: f = (1 + s t) / 2; the saddle value 0.5 equals the
  // level, so the contour is the two lines s = 0 and t = 0.
  Levels lv;
  lv.vmin = 0, lv.vmax = 1, lv.nlev = 3, lv.dv = 0.5;
  PolyWork w;
  CQUAD2(lv, test_square(), 0, 1, 0, 1, 0, 1, 0, w);
  for (double d : {-0.8, -0.4, 0.4, 0.8}) {
    EXPECT_TRUE(colour_near(2 + d, 2, icont[2])) << d;
    EXPECT_TRUE(colour_near(2, 2 + d, icont[2])) << d;
  }
  EXPECT_EQ(px_at(2.5, 2.5), BACKGROUND);
}

TEST(ContourPrimitives, QuadrilateralBandsAroundASaddle) {
  ScriptedSession s("");
  hundred_per_unit();
  Levels lv = five_levels();
  lv.vmax = 1, lv.dv = 0.25;  // 0, 0.25, 0.5, 0.75, 1
  PolyWork w;
  CQUAD2(lv, test_square(), 1, 1, 0, 1, 0, 1, 0, w);
  EXPECT_EQ(px_at(1.1, 1.1), icont[4]);  // near corner 1: f = 0.905
  EXPECT_EQ(px_at(2.9, 2.9), icont[4]);  // near corner 3
  EXPECT_EQ(px_at(2.9, 1.1), icont[1]);  // near corner 2: f = 0.095
  EXPECT_EQ(px_at(1.1, 2.9), icont[1]);
  EXPECT_EQ(px_at(2.5, 2.5), icont[3]);  // f = 0.625
  EXPECT_EQ(px_at(1.5, 2.5), icont[2]);  // f = 0.375
  EXPECT_EQ(px_at(3.2, 2.0), BACKGROUND);
}

TEST(ContourPrimitives, QuadrilateralLinearInOneDirection) {
  ScriptedSession s("");
  hundred_per_unit();
  Levels lv;
  lv.vmin = 0, lv.vmax = 1, lv.nlev = 3, lv.dv = 0.5;
  PolyWork w;
  CQUAD2(lv, test_square(), 1, 0, 0, 1, 1, 1, 0, w);  // f = (1 + t) / 2
  EXPECT_EQ(px_at(2.0, 1.5), icont[1]);
  EXPECT_EQ(px_at(2.0, 2.5), icont[2]);
  EXPECT_EQ(px_at(1.1, 2.1), icont[2]);
  EXPECT_EQ(px_at(2.9, 1.9), icont[1]);
  CQUAD2(lv, test_square(), 0, 0, 0, 1, 1, 1, 0, w);  // the level line t = 0
  EXPECT_TRUE(colour_near(1.3, 2.0, icont[2]));
  EXPECT_TRUE(colour_near(2.7, 2.0, icont[2]));
}

TEST(ContourPrimitives, ALevelThroughACornerIsDrawnWhereItRuns) {
  ScriptedSession s("");
  hundred_per_unit();
  PolyWork w;
  // Corner 2 of the triangle holds exactly level 5: the line runs from
  // P2 to the middle of side 3-1, (0.5, 2.25).
  CTRIA1(five_levels(), test_triangle(), 0, 0, 5, 10, 10, 0, w);
  EXPECT_TRUE(colour_near(2.5, 1.375, icont[3]));
  EXPECT_TRUE(colour_near(1.0, 2.03125, icont[3]));
  // Corner 2 of the square holds level 1 of values 0, 1, 2, 3: the curve
  // f = 1 runs from corner 2 through (2, 1.5) to side 4 at (1, 5/3).
  Levels lv;
  lv.vmin = 0, lv.vmax = 3, lv.nlev = 4, lv.dv = 1;
  CQUAD2(lv, test_square(), 0, 0, 1, 2, 3, 3, 0, w);
  EXPECT_TRUE(colour_near(2.0, 1.5, icont[2]));
  EXPECT_TRUE(colour_near(1.05, 5.0 / 3 - 0.02, icont[2]));
  // Filled, the corner-1 side of that curve keeps the base band.
  CQUAD2(lv, test_square(), 1, 0, 1, 2, 3, 3, 0, w);
  EXPECT_EQ(px_at(1.3, 1.2), icont[1]);
  EXPECT_EQ(px_at(2.5, 1.9), icont[2]);
}

TEST(ContourPrimitives, DegenerateValuesNeverFail) {
  ScriptedSession s("");
  hundred_per_unit();
  PolyWork w;
  Levels lv = five_levels();
  lv.vmax = 2, lv.dv = 0.5;  // 0, 0.5, 1, 1.5, 2
  // Level 1 of a linear field runs through corners 2 and 4 (R = 0): the
  // band above it is the triangle at corner 3.
  CQUAD2(lv, test_square(), 1, 0, 1, 2, 1, 2, 0, w);
  EXPECT_EQ(px_at(2.8, 2.8), icont[4]);
  EXPECT_EQ(px_at(1.2, 1.2), icont[1]);
  // A side with equal ends at the level, and values that are not numbers.
  CQUAD2(lv, test_square(), 1, 1, 1, 2, 0, 2, 0, w);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  hundred_per_unit();
  CQUAD2(lv, test_square(), 1, nan, 1, 2, 0, 2, 0, w);
  CTRIA1(lv, test_triangle(), 1, 0, nan, 1, 1, 0, w);
  EXPECT_EQ(px_at(2.0, 2.0), BACKGROUND);
  EXPECT_EQ(px_at(1.0, 1.0), BACKGROUND);
  // An element with no extent.
  Geometry point{};
  CTRIA1(lv, point, 1, 0, 2, 1, 2, 0, w);
  CQUAD2(lv, point, 0, 0, 2, 1, 2, 2, 0, w);
  EXPECT_EQ(w.count, 0);
}

TEST(ContourPrimitives, ARegionBeyondTheWorkListIsReportedAndLeftOpen) {
  ScriptedSession s("");
  hundred_per_unit();
  Geometry g{};
  const double p[6][2] = {{0.5, 0.5}, {2.5, 0.1}, {4.5, 0.5}, {2.5, 2.5}, {0.5, 4.5}, {0.1, 2.5}};
  for (int i = 0; i < 6; ++i) set_point(g, i + 1, p[i][0], p[i][1]);
  PolyWork w;
  w.capacity = 12;  // far fewer points than three curved sides need
  EXPECT_FALSE(FILLEL(6, 3, g, 4, w));
  EXPECT_EQ(w.count, 0);
  EXPECT_EQ(px_at(2.0, 2.0), BACKGROUND);
  EXPECT_NE(s.transcript().find("Element is too long & thin for contouring!"), std::string::npos);
  // With room the same outline is filled, curved sides included.
  w.capacity = MWORK;
  EXPECT_TRUE(FILLEL(6, 3, g, 4, w));
  EXPECT_EQ(px_at(2.0, 2.0), 4);
  EXPECT_EQ(px_at(0.25, 2.5), 4);
  // The thin quadrilateral: curved faces, straight ends.
  Geometry t{};
  const double q[6][2] = {{0.5, 3.0}, {2.5, 3.4}, {4.5, 3.0}, {4.5, 4.0}, {2.5, 4.4}, {0.5, 4.0}};
  for (int i = 0; i < 6; ++i) set_point(t, i + 1, q[i][0], q[i][1]);
  EXPECT_TRUE(FILLEL(6, 4, t, 5, w));
  EXPECT_EQ(px_at(2.5, 3.5), 5);         // above the bowed bottom face
  EXPECT_EQ(px_at(2.5, 3.2), BACKGROUND);  // below it, outside the triangle
}
