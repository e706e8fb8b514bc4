// Bars, beams, rockbolts and joints displaced: the beam curves at points
// worked out by hand, the drawn shapes at their pixels, and the plot's
// dialogue.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "deformed_mesh.h"
#include "element_diagrams.h"
#include "plot.h"
#include "plots.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::ScriptedSession;
using vortan::test::TestMesh;

namespace {

BeamSide two_node(double x1, double y1, double x2, double y2) {
  BeamSide b;
  b.x[0] = x1;
  b.y[0] = y1;
  b.x[1] = x2;
  b.y[1] = y2;
  return b;
}

void expect_point(const CurvePoint& p, double x, double y) {
  EXPECT_NEAR(p.x, x, 1e-12);
  EXPECT_NEAR(p.y, y, 1e-12);
}

int at(int x, int y) { return plat().fb().at(x, y); }

int near(int x, int y, int colour, int r = 1) {
  int c = 0;
  for (int j = y - r; j <= y + r; ++j)
    for (int i = x - r; i <= x + r; ++i) c += at(i, j) == colour;
  return c;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct Results {
  std::unique_ptr<ResultSet> r = std::make_unique<ResultSet>();
  std::unique_ptr<PlotWork> w = std::make_unique<PlotWork>();
  Results() { r->dofnam = {"", "  X-displ", "  Y-displ", "  Rotation", "  Fourth"}; }
};

// Nine toolbar buttons of 49 pixels: a row inside button k.
std::string button(int k) { return "click 560 " + std::to_string(478 - 49 * k + 24) + "\n"; }
const std::string CONTINUE = button(1), DECLINE = "dialog no\n";

}  // namespace

TEST(BeamCurves, CubicTranslationRotationAndInclination) {
  // A beam from (0, 0) to (2, 0), both ends moved 0.1 up, no rotation: a
  // straight line 0.1 above the chord.
  BeamSide b = two_node(0, 0, 2, 0);
  b.b[0] = b.b[1] = 0.1;
  expect_point(CUBIC(-1, b), 0, 0.1);
  expect_point(CUBIC(0, b), 1, 0.1);
  expect_point(CUBIC(0.5, b), 1.5, 0.1);
  EXPECT_NEAR(CUBIC(0.3, b).dy, 0, 1e-12);
  EXPECT_NEAR(CUBIC(0.3, b).dx, 1, 1e-12);  // ds = 1 is half the length

  // Only the end rotation 0.1 at node 2: through both nodes, below the
  // chord in the middle (w = L H4 theta2 = 2 x -1/8 x 0.1), slope 0.1 at the end.
  BeamSide r = two_node(0, 0, 2, 0);
  r.theta2 = 0.1;
  expect_point(CUBIC(-1, r), 0, 0);
  expect_point(CUBIC(1, r), 2, 0);
  expect_point(CUBIC(0, r), 1, -0.025);
  const CurvePoint end = CUBIC(1, r);
  EXPECT_NEAR(end.dy / end.dx, 0.1, 1e-12);

  // A vertical beam moved 0.1 in x: the axial and transverse parts put it
  // back together as a shift in x.
  BeamSide v = two_node(0, 0, 0, 2);
  v.a[0] = v.a[1] = 0.1;
  expect_point(CUBIC(0, v), 0.1, 1);
  expect_point(CUBIC(1, v), 0.1, 2);
  // Stretched along its axis: node 2 moves 0.2 up, the middle 0.1.
  BeamSide s = two_node(0, 0, 0, 2);
  s.b[1] = 0.2;
  expect_point(CUBIC(0, s), 0, 1.1);

  // A beam of no length stays finite.
  BeamSide z = two_node(1, 1, 1, 1);
  z.theta1 = 1;
  z.b[1] = 0.5;
  const CurvePoint p = CUBIC(0.2, z);
  EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.dx));
}

TEST(BeamCurves, QuarticThroughThreeNodes) {
  BeamSide b = two_node(0, 0, 1, 0);
  b.x[2] = 2;
  b.y[2] = 0;
  // Turned rigidly by 0.1 about its middle node: ends 0.1 down and up, both
  // end rotations 0.1. A rigid turn stays straight: w = 0.1 s.
  b.b[0] = -0.1;
  b.b[2] = 0.1;
  b.theta1 = b.theta2 = 0.1;
  expect_point(QUART(-1, b), 0, -0.1);
  expect_point(QUART(0, b), 1, 0);
  expect_point(QUART(0.5, b), 1.5, 0.05);
  expect_point(QUART(-0.5, b), 0.5, -0.05);
  // Only the end rotation 0.1 at node 3: through all three nodes, and at
  // s = 0.5 w = (L / 2) R3 theta2 = 1 x -0.140625 x 0.1.
  BeamSide r = two_node(0, 0, 1, 0);
  r.x[2] = 2;
  r.theta2 = 0.1;
  expect_point(QUART(-1, r), 0, 0);
  expect_point(QUART(0, r), 1, 0);
  expect_point(QUART(1, r), 2, 0);
  expect_point(QUART(0.5, r), 1.5, -0.0140625);
  const CurvePoint end = QUART(1, r);
  EXPECT_NEAR(end.dy / end.dx, 0.1, 1e-12);
  // The middle node moved alone: w = (1 - s^2)^2 x 0.2.
  BeamSide m = two_node(0, 0, 1, 0);
  m.x[2] = 2;
  m.b[1] = 0.2;
  expect_point(QUART(0.5, m), 1.5, 0.5625 * 0.2);
  // A curved undeformed bar: the base curve passes through its middle node.
  BeamSide c = two_node(0, 0, 1, 0.5);
  c.x[2] = 2;
  expect_point(QUART(0, c), 1, 0.5);
  expect_point(QUART(0.5, c), 1.5, 0.375);
}

namespace {

// A square area element (nodes 1-4, 0..2 by 0..2) and a bar from node 5
// (0, 4) to node 6 (2, 4). With no x or y displacement the factor is 100
// and cdef = coord; box 0..2 by 0..4, D = 4: window -1.2 .. 5.2, 75 pixels
// a unit: pixel x = (x + 1.2) 75, y = (5.2 - y) 75. Nodes 5 and 6 at
// (90, 90) and (240, 90); the square's left side at pixel x 90, y 240..390.
struct BarCase {
  TestMesh t{3, {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 4}, {2, 4}}};
  Results res;
  ViewState v;
  MeshModel& m = *t.m;
  BarCase() {
    t.add(4, {1, 2, 3, 4});
    t.add(1, {5, 6});
    res.r->disp(6, 3) = 0.01;  // rotation of node 6: 1.0 at factor 100
  }
};

}  // namespace

TEST(OneDimensionalPlot, BarAsBeamBendsAsBarStaysStraight) {
  {
    BarCase c;
    ScriptedSession s(CONTINUE + DECLINE);
    SPLY1D(c.m, *c.res.r, *c.res.w, c.v, true);
    EXPECT_TRUE(has(s.transcript(), "Initial exaggeration factor = | 100."));
    EXPECT_FLOAT_EQ(plot_state().xmin, -1.2f);
    EXPECT_FLOAT_EQ(plot_state().ymax, 5.2f);
    // Middle of the beam: w = 2 x -1/8 x 1.0 = -0.25, at (1, 3.75): pixel
    // (165, 109); the chord stays at row 90 in colour 2.
    EXPECT_GT(near(165, 109, 5), 0);
    EXPECT_GT(near(165, 90, 2, 0), 0);
    // Both ends on the undeformed nodes.
    EXPECT_GT(near(91, 90, 5), 0);
    EXPECT_GT(near(239, 90, 5), 0);
    // The outline of the square in colour 8 on the frame's colour 7.
    EXPECT_GT(near(90, 315, 8, 0), 0);
    EXPECT_EQ(at(165, 315), 7);
  }
  {
    BarCase c;
    ScriptedSession s(CONTINUE + DECLINE);
    SPLY1D(c.m, *c.res.r, *c.res.w, c.v, false);
    // A bar: one straight line between its (undisplaced) nodes over the chord.
    EXPECT_GT(near(165, 90, 5, 0), 0);
    EXPECT_EQ(near(165, 109, 5, 3), 0);
  }
}

TEST(OneDimensionalPlot, JointFacesAndRockbolt) {
  ScriptedSession s("");
  // A quadratic joint: face 1-2-3 along y = 0 and face 4-5-6 along y = 0.5.
  // Node 2 moves 0.1 down, node 5 0.1 up; largest 0.1, D = 2, factor 2.
  TestMesh t(2, {{0, 0}, {1, 0}, {2, 0}, {2, 0.5}, {1, 0.5}, {0, 0.5}});
  t.add(2, {1, 2, 3, 4, 5, 6});
  Results res;
  res.r->disp(2, 2) = -0.1;
  res.r->disp(5, 2) = 0.1;
  // Window for 0..2 by -0.2..0.7: x -0.6 .. 2.6, y -0.8 .. 2.4, 150 a unit.
  MeshWindow frame;
  STZOOM(0, 2, -0.2, 0.7, frame);
  PLT1DO(*t.m, *res.r, frame, false, 2, true);
  // Faces through the displaced middle nodes (1, -0.2) and (1, 0.7): pixels
  // (240, 390) and (240, 255); the chord 1-3 at row 360 in colour 2.
  EXPECT_GT(near(240, 390, 6), 0);
  EXPECT_GT(near(240, 255, 6), 0);
  EXPECT_GT(near(240, 360, 2, 0), 0);
  // Face 1 at s = -0.5: (0.5, -0.15), pixel (165, 382.5).
  EXPECT_GT(near(165, 382, 6), 0);
  // A joint is never a beam: the faces stay curved through displaced nodes
  // whatever the answer. With the middle nodes in line the face is straight.
  plat().fb().clear(1);
  res.r->disp(2, 2) = res.r->disp(5, 2) = 0;
  PLT1DO(*t.m, *res.r, frame, false, 2, false);
  EXPECT_GT(near(240, 360, 6, 0), 0);

  // A rockbolt as a beam bends by the rotations of its side's end nodes 1
  // and 3; node 6, next to node 1, does not bend it.
  plat().fb().clear(1);
  TestMesh b(3, {{0, 0}, {1, 0}, {2, 0}, {2, 0}, {1, 0}, {0, 0}});
  b.add(1, {1, 2, 3, 4, 5, 6});
  Results rb;
  rb.r->disp(6, 3) = 0.1;
  PLT1DO(*b.m, *rb.r, frame, false, 1, true);
  EXPECT_GT(near(315, 360, 4, 0), 0);  // straight along the chord
  EXPECT_EQ(near(315, 362, 4, 1), 0);
  rb.r->disp(3, 3) = 0.1;               // the rotation at its far end bends it
  plat().fb().clear(1);
  PLT1DO(*b.m, *rb.r, frame, false, 1, true);
  // s = 0.5: w = 1 x -0.140625 x 0.1, just below the chord (y px 362).
  EXPECT_GT(near(315, 362, 4, 1), 0);
  EXPECT_EQ(near(315, 360, 4, 0), 0);
}

TEST(OneDimensionalPlot, ZoomAndOddElements) {
  ScriptedSession s("");
  TestMesh t(2, {{0, 0}, {1, 0}, {2, 0}, {3, 0}});
  t.add(1, {1, 2});
  t.add(1, {2, 3, 4});  // quadratic bar reaching x = 3
  t.add(2, {1, 2, 3});  // corner infinite element: not one-dimensional
  t.add(1, {1, 99});    // a node the mesh does not have
  t.add(5, {1, 2, 3, 4, 1});  // no such type
  Results res;
  MeshWindow frame;
  STZOOM(0, 1.5, -0.75, 0.75, frame);  // frame -0.15 .. 1.65
  PLT1DO(*t.m, *res.r, frame, true, 1, false);
  // Bar 1 is drawn, the quadratic bar is not: its nodes reach beyond.
  int x, y;
  MAPPXL(0.5, 0, x, y);
  EXPECT_GT(near(x, y, 5, 0), 0);
  MAPPXL(1.5, 0, x, y);
  EXPECT_EQ(near(x, y, 5, 2) + near(x, y, 2, 2), 0);
}

TEST(OneDimensionalPlot, MeshWithoutBarsAndTypedNumbers) {
  // Only the square: the outline is drawn and nothing else. Wrong typed
  // numbers go to the text window.
  TestMesh t(2, {{0, 0}, {2, 0}, {2, 2}, {0, 2}});
  t.add(4, {1, 2, 3, 4});
  Results res;
  ViewState v;
  ScriptedSession s(button(5) + "dialog ok 7\ndialog ok 1\n" + button(8) +
                    "dialog ok 0\ndialog ok 3\n" + CONTINUE + DECLINE);
  SPLY1D(*t.m, *res.r, *res.w, v, true);
  const std::string tr = s.transcript();
  EXPECT_TRUE(has(tr, "Error: no such element!"));
  EXPECT_TRUE(has(tr, "Error: no such node!"));
  EXPECT_TRUE(has(tr, " Node no. 3"));
  EXPECT_TRUE(has(tr, "X-displ"));
  EXPECT_TRUE(has(tr, "Y-displ"));
  EXPECT_FALSE(has(tr, "Rotation"));  // two d.o.f. at node 3
}

TEST(OneDimensionalPlot, EmptyMeshEndsQuietly) {
  TestMesh t(2, {});
  Results res;
  ViewState v;
  ScriptedSession s(button(5) + button(3) + button(6) + CONTINUE + DECLINE);
  SPLY1D(*t.m, *res.r, *res.w, v, false);
  EXPECT_TRUE(has(s.transcript(), "Error: no such element!"));
}
