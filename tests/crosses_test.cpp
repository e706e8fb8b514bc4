// Stress crosses, flow lines and the outline of the mesh: principal
// stresses, arm end points and colours in the framebuffer, the dialogue of
// the plot, and the PostScript picture rendered by Ghostscript.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "crosses.h"
#include "mesh_boundary.h"
#include "platform/platform.h"
#include "plot.h"
#include "plots.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::read_file;
using vortan::test::ScriptedSession;
using vortan::test::Snapshot;
using vortan::test::snapshot;
using vortan::test::TestMesh;

namespace {

const double PI = 3.14159265358979323846;

// Three unit squares in a row, nodes 1-4 along y = 0 and 5-8 along y = 1.
// The mesh box 0..3 x 0..1 gives the window -0.9 .. 3.9 both ways, 100
// pixels a unit: world (x, y) is pixel (100 (x + 0.9), 100 (3.9 - y)). The
// frame -0.3 .. 3.3 runs along pixels 60 and 420.
TestMesh three_squares(int ndofn = 2) {
  TestMesh t(ndofn, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}});
  t.add(4, {1, 2, 6, 5});
  t.add(4, {2, 3, 7, 6});
  t.add(4, {3, 4, 8, 7});
  return t;
}

int pix_x(double x) { return static_cast<int>(std::lround(100 * (x + 0.9))); }
int pix_y(double y) { return static_cast<int>(std::lround(100 * (3.9 - y))); }

struct Results {
  std::unique_ptr<ResultSet> r = std::make_unique<ResultSet>();
  std::unique_ptr<PlotWork> w = std::make_unique<PlotWork>();
  // Adds a Gauss point at (x, y) with its four values.
  void add(double x, double y, double s1, double s2, double s3 = 0, double s4 = 0) {
    const int i = ++r->ngaus;
    r->hasgp = 1;
    r->xgaus(i, 1) = x;
    r->xgaus(i, 2) = y;
    r->stres(i, 1) = s1;
    r->stres(i, 2) = s2;
    r->stres(i, 3) = s3;
    r->stres(i, 4) = s4;
  }
};

// One Gauss point in the middle of each square: sx = 8 (largest value,
// so the scale is 8 and an arm of 8 is one unit long), an equal biaxial
// compression of -4, and pure shear of 4.
Results three_states() {
  Results res;
  res.add(0.5, 0.5, 8, 0, 0, 1.5);
  res.add(1.5, 0.5, -4, -4, 0);
  res.add(2.5, 0.5, 0, 0, 4);
  return res;
}

int at(int x, int y) { return plat().fb().at(x, y); }

// The frame set up for the whole mesh, as the plot sets it.
MeshWindow full_frame(const MeshModel& m) {
  MeshWindow f;
  result_window(m, f);
  return f;
}

// Colour indices of a PNG snapshot, matched through the palette.
bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

// --- principal stresses -----------------------------------------------------

TEST(PrincipalStresses, WorkedCases) {
  double s1, s3, th;
  PRST(10, 0, 0, s1, s3, th);  // uniaxial tension along x
  EXPECT_DOUBLE_EQ(s1, 10);
  EXPECT_DOUBLE_EQ(s3, 0);
  EXPECT_DOUBLE_EQ(th, 0);
  EXPECT_FALSE(std::signbit(s3));  // zero, not a compression
  PRST(-5, -5, 0, s1, s3, th);     // equal biaxial compression
  EXPECT_DOUBLE_EQ(s1, -5);
  EXPECT_DOUBLE_EQ(s3, -5);
  PRST(0, 0, 4, s1, s3, th);  // pure shear: principal axes at 45 degrees
  EXPECT_DOUBLE_EQ(s1, 4);
  EXPECT_DOUBLE_EQ(s3, -4);
  EXPECT_NEAR(th * 180 / PI, 45, 1e-9);
  PRST(0, 0, -4, s1, s3, th);
  EXPECT_NEAR(th * 180 / PI, -45, 1e-9);
  // sx 3, sy -1, txy 2: mean 1, radius sqrt(8), tan 2 theta = 2 / 2.
  PRST(3, -1, 2, s1, s3, th);
  EXPECT_NEAR(s1, 1 + std::sqrt(8.0), 1e-12);
  EXPECT_NEAR(s3, 1 - std::sqrt(8.0), 1e-12);
  EXPECT_NEAR(th * 180 / PI, 22.5, 1e-9);
}

TEST(PrincipalStresses, MajorStressAlongYWithLittleOrNoShear) {
  double s1, s3, th;
  // The major stress lies along y: a right angle, not 0.
  PRST(0, 10, 0, s1, s3, th);
  EXPECT_DOUBLE_EQ(s1, 10);
  EXPECT_DOUBLE_EQ(s3, 0);
  EXPECT_NEAR(th, PI / 2, 1e-12);
  PRST(0, 10, -0.0, s1, s3, th);  // a stored -0 shear keeps the range (-pi/2, pi/2]
  EXPECT_NEAR(th, PI / 2, 1e-12);
  // A shear of 1e-9 turns the axes by a hundred-millionth of a degree.
  PRST(0, 10, 1e-9, s1, s3, th);
  EXPECT_NEAR(th * 180 / PI, 90, 1e-6);
  PRST(0, 10, -1e-9, s1, s3, th);
  EXPECT_NEAR(th * 180 / PI, -90, 1e-6);
  EXPECT_GT(th, -PI / 2);
}

// --- crosses and flow lines in the framebuffer -----------------------------

TEST(StressCrosses, ArmsEndWhereTheStressesPutThemInTheirColours) {
  ScriptedSession s("");
  TestMesh t = three_squares();
  Results res = three_states();
  MeshWindow f = full_frame(*t.m);
  PLSTRS(*res.r, 8, f, false);
  // sx 8 at (0.5, 0.5): a major arm 1 unit long along x, in colour 0, from
  // pixel 90 to 190 on row 340; the minor arm has no length.
  for (int x : {91, 100, 140, 180, 189}) EXPECT_EQ(at(x, 340), 0) << x;
  EXPECT_EQ(at(140, 339), BACKGROUND);
  EXPECT_EQ(at(140, 341), BACKGROUND);
  EXPECT_EQ(at(86, 340), BACKGROUND);
  EXPECT_EQ(at(194, 340), BACKGROUND);
  // -4 both ways at (1.5, 0.5): two arms half a unit long in colour 1.
  for (int d : {-24, -10, 10, 24}) {
    EXPECT_EQ(at(240 + d, 340), 1) << d;
    EXPECT_EQ(at(240, 340 + d), 1) << d;
  }
  // Pure shear at (2.5, 0.5): arms 0.5 long on the diagonals, the major
  // (tension, up to the right) in colour 0, the minor in colour 1.
  EXPECT_EQ(at(350, 330), 0);
  EXPECT_EQ(at(330, 350), 0);
  EXPECT_EQ(at(350, 350), 1);
  EXPECT_EQ(at(330, 330), 1);
  EXPECT_EQ(at(356, 324), 0);  // the ends: 25 x sqrt(0.5) = 17.7 pixels out
  EXPECT_EQ(at(362, 318), BACKGROUND);
}

TEST(StressCrosses, ScaleSetsArmLengthsAndBadScalesDrawNothing) {
  ScriptedSession s("");
  TestMesh t = three_squares();
  Results res;
  res.add(1.5, 0.5, 8, 0);
  MeshWindow f = full_frame(*t.m);
  PLSTRS(*res.r, 16, f, false);  // twice the scale: half the arm, 215 .. 265
  EXPECT_EQ(at(211, 340), BACKGROUND);
  EXPECT_EQ(at(217, 340), 0);
  EXPECT_EQ(at(263, 340), 0);
  EXPECT_EQ(at(269, 340), BACKGROUND);
  f = full_frame(*t.m);
  for (double bad : {0.0, double(NAN), double(INFINITY)}) PLSTRS(*res.r, bad, f, false);
  EXPECT_EQ(at(240, 340), BACKGROUND);
  // A tiny scale draws an endless arm: it crosses the whole drawing area
  // and stops at its edge.
  PLSTRS(*res.r, 1e-300, f, false);
  EXPECT_EQ(at(0, 340), 0);
  EXPECT_EQ(at(499, 340), 0);
  EXPECT_EQ(at(500, 340), BACKGROUND);
}

TEST(StressCrosses, ZoomedPlotSkipsPointsOutsideTheFrameAndOddRecords) {
  ScriptedSession s("");
  TestMesh t = three_squares();
  Results res = three_states();
  res.add(NAN, 0.5, 8, 0);   // a point that is not a number
  res.add(1.2, 0.2, NAN, 0); // stresses that are not numbers
  MeshWindow f = full_frame(*t.m);
  MeshWindow inner{1.0, 2.0, 0.0, 1.0};
  PLSTRS(*res.r, 8, inner, true);
  EXPECT_EQ(at(240, 330), 1);           // inside: drawn
  EXPECT_EQ(at(140, 340), BACKGROUND);  // outside: skipped
  EXPECT_EQ(at(350, 330), BACKGROUND);
  EXPECT_EQ(at(pix_x(1.2), pix_y(0.2)), BACKGROUND);
  // A count beyond the table is held to it.
  res.r->ngaus = MGAUS + 5;
  PLSTRS(*res.r, 8, f, false);
  PLSTRS(*res.r, 8, f, true);
  SUCCEED();
}

TEST(FlowLines, OneLineAlongTheFlowCentredOnThePoint) {
  ScriptedSession s("");
  TestMesh t = three_squares(1);
  Results res;
  res.add(1.5, 0.5, 3, 4);   // |q| 5 along (0.6, 0.8)
  res.add(0.5, 0.5, 0, -2);  // straight down, 0.4 long
  res.add(2.5, 0.5, 0, 0);   // no flow: nothing drawn
  MeshWindow f = full_frame(*t.m);
  PLFLOW(*res.r, 5, f, false);
  // From (1.8, 0.9) to (1.2, 0.1): pixels (270, 300) and (210, 380).
  EXPECT_EQ(at(240, 340), 0);
  EXPECT_EQ(at(268, 303), 0);
  EXPECT_EQ(at(212, 377), 0);
  EXPECT_EQ(at(274, 295), BACKGROUND);
  EXPECT_EQ(at(206, 385), BACKGROUND);
  for (int y : {322, 340, 358}) EXPECT_EQ(at(140, y), 0) << y;
  EXPECT_EQ(at(140, 317), BACKGROUND);
  EXPECT_EQ(at(139, 340), BACKGROUND);
  EXPECT_EQ(at(340, 340), BACKGROUND);
}

// --- the outline of the mesh --------------------------------------------------

namespace {

// Edge k of the table as written: (a, b, 0) straight, (a, mid, b) quadratic.
std::vector<int> edge(const PlotWork& w, int k) {
  return {w.edges(k, 1), w.edges(k, 2), w.edges(k, 3)};
}

}  // namespace

TEST(MeshBoundary, SharedSidesOfLinearQuadrilateralsAreInterior) {
  ScriptedSession s("");
  TestMesh t = three_squares();
  Results res;
  PlotWork& w = *res.w;
  ASSERT_EQ(boundary_edges(*t.m, w), 10);  // 12 sides, two of them shared
  int boundary = 0;
  for (int k = 1; k <= 10; ++k) boundary += w.edge_flags(k);
  EXPECT_EQ(boundary, 8);
  EXPECT_EQ(edge(w, 1), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(edge(w, 2), (std::vector<int>{2, 6, 0}));
  EXPECT_EQ(w.edge_flags(2), 0);   // 2-6, met again as 6-2 by element 2
  EXPECT_EQ(w.edge_flags(11), 1);  // entries beyond the count keep their flag

  // Drawn: the frame filled with 7, the outer sides in 8, the shared ones
  // not at all.
  MeshWindow f = full_frame(*t.m);
  EXPECT_EQ(PLBDRY(*t.m, w, f, false, true), 10);
  EXPECT_EQ(at(90, 340), 8);    // x = 0
  EXPECT_EQ(at(390, 340), 8);   // x = 3
  EXPECT_EQ(at(140, 390), 8);   // y = 0
  EXPECT_EQ(at(340, 290), 8);   // y = 1
  EXPECT_EQ(at(190, 340), 7);   // x = 1, shared
  EXPECT_EQ(at(290, 340), 7);   // x = 2, shared
  EXPECT_EQ(at(100, 100), 7);   // inside the frame, off the mesh
  EXPECT_EQ(at(40, 100), BACKGROUND);  // outside the frame
}

TEST(MeshBoundary, EveryAreaElementTypeWalksItsOwnSides) {
  ScriptedSession s("");
  TestMesh t(2, {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}, {0, 2}, {1, 2}});
  Results res;
  struct Case {
    int nside;
    TestMesh::Nodes nodes;
    std::vector<std::vector<int>> edges;
  };
  const std::vector<Case> cases = {
      {3, {1, 2, 3}, {{1, 2, 0}, {2, 3, 0}, {3, 1, 0}}},                      // 3-node triangle
      {4, {1, 2, 3, 4}, {{1, 2, 0}, {2, 3, 0}, {3, 4, 0}, {4, 1, 0}}},        // 4-node quadrilateral
      {3, {1, 2, 3, 4, 5, 6}, {{1, 2, 3}, {3, 4, 5}, {5, 6, 1}}},             // 6-node triangle
      {4, {1, 2, 3, 4, 5, 6}, {{1, 2, 3}, {3, 4, 0}, {4, 5, 6}, {6, 1, 0}}},  // 6-node thin element
      {4, {1, 2, 3, 4, 5, 6, 7, 8}, {{1, 2, 3}, {3, 4, 5}, {5, 6, 7}, {7, 8, 1}}},
      {3, {1, 2, 3, 4, 5}, {{1, 2, 3}, {3, 4, 0}, {5, 1, 0}}},  // 5-node infinite
      {2, {1, 2, 3}, {{1, 2, 0}, {3, 1, 0}}},                   // corner infinite
      {3, {1, 2, 3, 4}, {{1, 2, 0}, {2, 3, 0}, {4, 1, 0}}},     // 4-node infinite
  };
  for (const Case& c : cases) {
    t.m->nelem = 0;
    t.add(c.nside, c.nodes);
    ASSERT_EQ(boundary_edges(*t.m, *res.w), static_cast<int>(c.edges.size()))
        << c.nodes.size() << " nodes, " << c.nside << " sides";
    for (size_t k = 0; k < c.edges.size(); ++k) {
      EXPECT_EQ(edge(*res.w, static_cast<int>(k) + 1), c.edges[k])
          << c.nodes.size() << " nodes, side " << k + 1;
      EXPECT_EQ(res.w->edge_flags(static_cast<int>(k) + 1), 1);
    }
  }
}

TEST(MeshBoundary, QuadraticSidesMeetByTheirMidsideNode) {
  ScriptedSession s("");
  // Two 8-node squares side by side sharing the side 3-4-5, the outer
  // left side bowed out to x = -0.25 at its middle.
  TestMesh t(2, {{0, 0}, {0.5, 0}, {1, 0}, {1, 0.5}, {1, 1}, {0.5, 1}, {0, 1}, {-0.25, 0.5},
                 {1.5, 0}, {2, 0}, {2, 0.5}, {2, 1}, {1.5, 1}});
  t.add(4, {1, 2, 3, 4, 5, 6, 7, 8});
  t.add(4, {3, 9, 10, 11, 12, 13, 5, 4});
  Results res;
  PlotWork& w = *res.w;
  ASSERT_EQ(boundary_edges(*t.m, w), 7);
  EXPECT_EQ(edge(w, 2), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(w.edge_flags(2), 0);
  // Bars, a joint and a rockbolt add nothing.
  t.add(1, {1, 3});
  t.add(1, {1, 2, 3});
  t.add(2, {1, 2, 3, 7, 6, 5});
  t.add(1, {1, 2, 3, 7, 6, 5});
  EXPECT_EQ(boundary_edges(*t.m, w), 7);

  // Box -0.25 .. 2 by 0 .. 1: window -0.925 .. 2.675 across, 2.925 at
  // the top, 480 / 3.6 pixels a unit. The bowed side passes
  // x = -0.25 at y = 0.5; the straight sides run through their midside
  // nodes.
  MeshWindow f = full_frame(*t.m);
  PLBDRY(*t.m, w, f, false, true);
  const auto px = [](double x) { return static_cast<int>(std::lround(480 / 3.6 * (x + 0.925))); };
  const auto py = [](double y) { return static_cast<int>(std::lround(480 / 3.6 * (2.925 - y))); };
  EXPECT_EQ(at(px(-0.25), py(0.5)), 8);
  EXPECT_EQ(at(px(0), py(0.5)), 7);  // not the chord
  EXPECT_EQ(at(px(2), py(0.75)), 8);
  EXPECT_EQ(at(px(1.5), py(1)), 8);
  EXPECT_EQ(at(px(1), py(0.75)), 7);  // the shared side
}

TEST(MeshBoundary, ZoomKeepsOnlyEdgesWhollyInsideTheFrame) {
  ScriptedSession s("");
  TestMesh t = three_squares();
  Results res;
  full_frame(*t.m);
  PLBDRY(*t.m, *res.w, MeshWindow{0.5, 3.5, -0.5, 1.5}, true, false);
  EXPECT_EQ(at(pix_x(2.5), pix_y(0)), 8);           // 3-4
  EXPECT_EQ(at(pix_x(3), pix_y(0.5)), 8);           // 4-8
  EXPECT_EQ(at(pix_x(1.5), pix_y(1)), 8);           // 6-7
  EXPECT_EQ(at(pix_x(0.7), pix_y(0)), BACKGROUND);  // 1-2 reaches out of it
  EXPECT_EQ(at(pix_x(0), pix_y(0.5)), BACKGROUND);  // 5-1 lies outside
}

TEST(MeshBoundary, UnknownTypesAndBadNodesDrawNothingWrong) {
  ScriptedSession s("");
  TestMesh t = three_squares();
  Results res;
  t.add(5, {1, 2, 3, 4, 5});  // five nodes and five sides: no such type
  MeshWindow f = full_frame(*t.m);
  EXPECT_EQ(PLBDRY(*t.m, *res.w, f, false, true), -1);
  EXPECT_EQ(at(90, 340), 7);  // the frame is cleared, no edge drawn
  EXPECT_TRUE(has(s.transcript(), "Element has no recognized type!"));

  // Node numbers outside the mesh: the sides through them are passed by.
  // Element 1 keeps 6-5 and 5-1, element 2 all four sides (its 6-2 no
  // longer meets a 2-6), element 3 only 3-4 and its shared 7-3.
  TestMesh b = three_squares();
  b.m->lnods(1, 2) = 0;
  b.m->lnods(3, 3) = MPOIN + 7;
  EXPECT_EQ(boundary_edges(*b.m, *res.w), 7);
  EXPECT_EQ(res.w->edge_flags(4), 0);  // 3-7
}

TEST(MeshBoundary, MoreThanMedgeEdgesStopsTheWalk) {
  ScriptedSession s("");
  // 5334 separate triangles have 16002 sides.
  TestMesh t(2, {});
  for (int e = 0; e < 5334; ++e) {
    const int n = t.m->npoin;
    for (int k = 0; k < 3; ++k) {
      ++t.m->npoin;
      t.m->coord(n + k + 1, 1) = e + (k == 1);
      t.m->coord(n + k + 1, 2) = k == 2;
    }
    t.add(3, {n + 1, n + 2, n + 3});
  }
  Results res;
  MeshWindow f = full_frame(*t.m);
  EXPECT_EQ(PLBDRY(*t.m, *res.w, f, false, false), -1);
  const std::string tr = s.transcript();
  EXPECT_TRUE(has(tr, "Error: mesh has too many edges - max = 16000"));
  EXPECT_TRUE(has(tr, "Increase parameter medge and recompile."));
  // One triangle fewer fits.
  t.m->nelem = 5333;
  EXPECT_EQ(boundary_edges(*t.m, *res.w), 15999);
}

// --- the interactive plot ------------------------------------------------------

namespace {

// Toolbar of four buttons, 111 pixels each: Continue below row 367,
// Restore full mesh 256..367, Zoom 145..256, Pick Gauss point 34..145.
const std::string CONTINUE = "click 560 460\n";
const std::string RESTORE = "click 560 300\n";
const std::string ZOOM = "click 560 200\n";
const std::string PICK = "click 560 100\n";

}  // namespace

TEST(StressCrosses, ScalingFactorSetsArmLengthsAndBadFactorsGiveTheFirst) {
  ScriptedSession s("snapshot f100.png\n" + CONTINUE +
                    "dialog yes\ndialog OK 50\nsnapshot f50.png\n" + CONTINUE +
                    "dialog help\ndialog yes\ndialog OK -3\nsnapshot again.png\n" + CONTINUE +
                    "dialog yes\ndialog OK 200\n" + CONTINUE + "dialog no\n");
  TestMesh t = three_squares();
  Results res = three_states();
  STRAY(*t.m, *res.r, *res.w, ViewState{});
  const std::string tr = s.transcript();
  EXPECT_TRUE(has(tr, "Initial scaling factor = | 100."));
  EXPECT_TRUE(has(tr, "Stress plot"));  // the help screen of the question
  // sx 8 gives an arm from x 0 to 1 (pixels 90 .. 190) at factor 100 and
  // half of it (115 .. 165) at 50; -3 brings 100 back.
  Snapshot a = snapshot(s, "f100.png"), b = snapshot(s, "f50.png"), c = snapshot(s, "again.png");
  EXPECT_EQ(a.at(100, 340), 0);
  EXPECT_EQ(a.at(180, 340), 0);
  EXPECT_EQ(b.at(100, 340), 7);
  EXPECT_EQ(b.at(118, 340), 0);
  EXPECT_EQ(b.at(162, 340), 0);
  EXPECT_EQ(b.at(170, 340), 7);
  EXPECT_EQ(c.at(100, 340), 0);
  EXPECT_EQ(c.at(180, 340), 0);
  // The rest of the screen: boundary, frame fill, toolbar.
  EXPECT_EQ(a.at(90, 300), 8);
  EXPECT_EQ(a.at(190, 300), 7);
  EXPECT_EQ(a.at(560, 420), 6);  // Continue
  EXPECT_EQ(a.at(560, 300), 4);  // Restore full mesh
  EXPECT_EQ(a.at(300, 35), 15);  // the line under the heading
}

TEST(StressCrosses, ZoomDrawsOnlyWhatLiesInsideAndRestoreBringsAllBack) {
  ScriptedSession s("rclick 560 200\n"  // help on Zoom
                    "rclick 560 100\n"  // no help on Pick Gauss point
                    + ZOOM +
                    "click 20 200\n"            // outside the frame: refused
                    "wclick 1 0\nwclick 1 0\n"  // the same point twice: taken once
                    "wclick 2 1\nsnapshot zoom.png\n" + RESTORE + "snapshot full.png\n" + ZOOM +
                    "wclick 1 0\nwclick 2 1\n" + CONTINUE + "snapshot after.png\ndialog no\n");
  TestMesh t = three_squares();
  Results res = three_states();
  res.add(2.2, 0.5, -2, -2);  // inside the zoomed window, outside its frame
  STRAY(*t.m, *res.r, *res.w, ViewState{});
  // The zoom box 1..2 x 0..1: window 0.7 .. 2.3, 300 pixels a unit, world
  // (x, y) at pixel (300 (x - 0.7), 300 (1.3 - y)); frame 0.9 .. 2.1.
  Snapshot z = snapshot(s, "zoom.png");
  EXPECT_EQ(z.at(240 + 70, 240), 1);  // the cross at (1.5, 0.5), 4 x 75 pixels
  EXPECT_EQ(z.at(240, 240 - 70), 1);
  EXPECT_EQ(z.at(450, 240), BACKGROUND);  // (2.2, 0.5) lies outside the frame
  EXPECT_EQ(z.at(150, 390), 8);           // boundary 2-3 at y = 0
  EXPECT_EQ(z.at(30, 390), BACKGROUND);   // 1-2 crosses the frame's edge
  EXPECT_EQ(z.at(90, 240), 7);            // the shared side x = 1
  // Restored: every cross again, (2.2, 0.5) among them.
  Snapshot f = snapshot(s, "full.png");
  EXPECT_EQ(f.at(100, 340), 0);
  EXPECT_EQ(f.at(pix_x(2.2), 340 - 10), 1);
  Snapshot a = snapshot(s, "after.png");
  EXPECT_EQ(a.at(100, 340), 0);  // Continue from a zoom restores the whole mesh
  EXPECT_TRUE(has(s.transcript(), "VORTAN - help"));
}

TEST(StressCrosses, PickedGaussPointShowsItsStresses) {
  ScriptedSession s(PICK + "wclick 2.45 0.52\n" + PICK + "click 560 300\n" + CONTINUE +
                    "dialog no\n");
  TestMesh t = three_squares();
  Results res = three_states();
  res.r->stres(3, 4) = 2.5;
  STRAY(*t.m, *res.r, *res.w, ViewState{});
  const std::string tr = s.transcript();
  EXPECT_TRUE(has(tr, "Click on chosen Gauss point:"));
  EXPECT_TRUE(has(tr, "Vortan - stresses"));
  EXPECT_TRUE(has(tr, "TAUxy =   4.00"));
  EXPECT_TRUE(has(tr, "Sz =   2.50"));
  EXPECT_TRUE(has(tr, "S1 =   4.00"));
  EXPECT_TRUE(has(tr, "S3 =  -4.00"));
  EXPECT_TRUE(has(tr, "Angle =   45.0"));
  // The second pick went to the toolbar: no second box.
  EXPECT_EQ(tr.find("Vortan - stresses"), tr.rfind("Vortan - stresses"));
}

TEST(FlowLines, PlotOfAScalarProblemPicksFlowRates) {
  ScriptedSession s("snapshot flow.png\n" + PICK + "wclick 1.5 0.5\n" + CONTINUE +
                    "dialog no\n");
  TestMesh t = three_squares(-1);
  Results res;
  res.add(1.5, 0.5, 3, 4);
  res.add(0.5, 0.5, 0, -2);
  STRAY(*t.m, *res.r, *res.w, ViewState{});
  EXPECT_TRUE(has(s.transcript(), "x- and y-flowrates: | (3.0 , 4.0)"));
  // The largest rate component is 4: the line of (3, 4) is 1.25 long,
  // reaching 0.375, 0.5 either way.
  Snapshot f = snapshot(s, "flow.png");
  EXPECT_TRUE(f.in_row(240, 340, 0));
  EXPECT_TRUE(f.in_row(240 + 36, 340 - 48, 0));
  EXPECT_EQ(f.at(240 + 42, 340 - 56), 7);
  EXPECT_EQ(f.at(140, 340 + 24), 0);  // (0, -2): 0.5 long
}

TEST(StressCrosses, NoGaussPointsZeroStressesAndHugeFactorsAreHarmless) {
  ScriptedSession s(PICK + "wclick 1.5 0.5\n" + CONTINUE + "dialog no\n" + CONTINUE +
                    "dialog yes\ndialog OK 1e300\n" + CONTINUE +
                    "dialog yes\ndialog OK 1e-300\n" + CONTINUE + "dialog no\n" + CONTINUE +
                    "dialog no\n");
  TestMesh t = three_squares();
  Results none;
  STRAY(*t.m, *none.r, *none.w, ViewState{});  // no records: nothing to pick
  Results res = three_states();
  STRAY(*t.m, *res.r, *res.w, ViewState{});
  Results zero;
  zero.add(1.5, 0.5, 0, 0, 0);
  STRAY(*t.m, *zero.r, *zero.w, ViewState{});
  EXPECT_FALSE(has(s.transcript(), "Vortan - stresses"));
}

// --- the PostScript picture ------------------------------------------------------

namespace {

// Writes the picture of the crosses into the session's folder.
std::string write_crosses(ScriptedSession& s, MeshModel& m, Results& res, const std::string& name) {
  const std::string path = s.folder() + "/" + name;
  EXPECT_TRUE(PSOPEN(path));
  PSSTRS(m, *res.r, *res.w, ViewState{});
  EXPECT_TRUE(PSCLOS());
  return path;
}

using Page = vortan::test::RenderedPage;
Page render(const std::string& eps) { return vortan::test::render_page(eps); }

// Page points of world (x, y) with the window -0.9 .. 3.9 of three_squares:
// 530 / 4.8 points a unit from the page origin (42, 162).
double page_x(double x) { return 42 + (x + 0.9) * 530 / 4.8; }
double page_y(double y) { return 162 + (y + 0.9) * 530 / 4.8; }

bool has_line(const std::string& text, const std::string& line) {
  for (const auto& l : vortan::test::lines_of(text))
    if (l == line) return true;
  return false;
}

}  // namespace

TEST(StressCrossPicture, ReferenceValueSetsTheArmsOnThePage) {
  ScriptedSession s("key n\nline 8\nkey n\nline 0\nline x\nline 16\n");
  TestMesh t = three_squares();
  Results res = three_states();
  const std::string one = write_crosses(s, *t.m, res, "one.ps");
  const std::string half = write_crosses(s, *t.m, res, "half.ps");
  const std::string text = read_file(one);
  EXPECT_EQ(text.rfind("%!PS-Adobe-2.0EPSF-1.2\n%%Title:VORTAN plots - princ. stresses/flowrates\n", 0),
            0u);
  EXPECT_TRUE(has_line(text, "% frame with labelling next"));
  EXPECT_TRUE(has_line(text, "% mesh boundary"));
  EXPECT_TRUE(has_line(text, "% princ. stress crosses"));
  EXPECT_LT(text.find("% mesh boundary"), text.find("% princ. stress crosses"));
  EXPECT_TRUE(text.size() > 30 && text.substr(text.size() - 10) == "%%Trailer\n");
  const std::string tr = s.transcript();
  EXPECT_TRUE(has(tr, " X-limits of mesh: 0.0 to 3.0"));
  EXPECT_TRUE(has(tr, "Enter a reference value: "));
  EXPECT_LT(plot_state().actscale, 0);  // drawing is back on the screen

  // sx 8 with reference 8: an arm 1 unit long, x 0 .. 1 at y 0.5; with
  // reference 16 half of it, x 0.25 .. 0.75.
  Page a = render(one), b = render(half);
  const double Y = page_y(0.5);
  EXPECT_TRUE(a.dark(page_x(0.5), Y));
  EXPECT_TRUE(a.dark(page_x(0.12), Y));
  EXPECT_TRUE(a.dark(page_x(0.88), Y));
  EXPECT_TRUE(b.dark(page_x(0.5), Y));
  EXPECT_TRUE(b.dark(page_x(0.3), Y));
  EXPECT_FALSE(b.dark(page_x(0.12), Y));
  EXPECT_FALSE(b.dark(page_x(0.88), Y));
  // The outline: x = 0 is drawn, the shared side x = 1 is not.
  EXPECT_TRUE(a.dark(page_x(0), page_y(0.8)));
  EXPECT_FALSE(a.dark(page_x(1), page_y(0.8)));
  // The equal compression at (1.5, 0.5): 0.5 long both ways.
  EXPECT_TRUE(a.dark(page_x(1.5), page_y(0.7)));
  EXPECT_FALSE(a.dark(page_x(1.5), page_y(0.8)));
}

TEST(StressCrossPicture, ZoomedFlowLinesStayInTheirFrame) {
  ScriptedSession s("key y\nline 1 2\nline 0 1\nline 4\n");
  TestMesh t = three_squares(1);
  Results res;
  res.add(1.5, 0.5, 4, 0);   // 1 unit long along x
  res.add(0.5, 0.5, 0, 40);  // outside the zoom
  const std::string path = write_crosses(s, *t.m, res, "flow.ps");
  // The zoom 1..2 x 0..1: window 0.7 .. 2.3, 530 / 1.6 points a unit.
  const auto X = [](double x) { return 42 + (x - 0.7) * 530 / 1.6; };
  const auto Yp = [](double y) { return 162 + (y + 0.3) * 530 / 1.6; };
  Page p = render(path);
  EXPECT_TRUE(p.dark(X(1.5), Yp(0.5)));
  EXPECT_TRUE(p.dark(X(1.1), Yp(0.5)));
  EXPECT_TRUE(p.dark(X(1.5), Yp(0)));     // the boundary 2-3
  EXPECT_FALSE(p.dark(X(0.8), Yp(0)));    // 1-2 crosses the frame's edge
  EXPECT_FALSE(p.dark(X(0.8), Yp(0.9)));  // the long line of (0.5, 0.5)
  EXPECT_TRUE(has(s.transcript(), " Define window:  xmin < x < xmax, ymin < y < ymax."));
}

TEST(StressCrosses, PureShearAloneIsScaledByItsShear) {
  // sx and sy are zero at every point: the scale comes from the shear, so
  // a shear of 4 draws arms 1 unit long on the diagonals.
  ScriptedSession s("snapshot shear.png\n" + CONTINUE + "dialog no\n");
  TestMesh t = three_squares();
  Results res;
  res.add(1.5, 0.5, 0, 0, 4);
  res.add(2.5, 0.5, 0, 0, -2);
  STRAY(*t.m, *res.r, *res.w, ViewState{});
  Snapshot a = snapshot(s, "shear.png");
  EXPECT_TRUE(a.in_row(240 + 30, 340 - 30, 0));  // tension up to the right
  EXPECT_TRUE(a.in_row(240 - 30, 340 + 30, 0));
  EXPECT_TRUE(a.in_row(240 - 30, 340 - 30, 1));  // compression across it
  EXPECT_TRUE(a.in_row(240 + 30, 340 + 30, 1));
  EXPECT_TRUE(a.in_row(340 + 15, 340 + 15, 0));  // -2: tension down to the right
  EXPECT_FALSE(a.in_row(340 + 21, 340 + 21, 0));
}
