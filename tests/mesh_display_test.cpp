// Mesh drawing, numbering, picking and the inspection screen, checked in the
// framebuffer and the transcript.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "mesh_display.h"
#include "platform/platform.h"
#include "plot.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::ScriptedSession;

namespace {

// Two unit squares side by side: nodes 1 2 3 along y = 0, 4 5 6 along
// y = 1. Fixity: 1 and 4 fixed both ways (11), 2 and 5 fixed in x (10),
// 3 fixed in y (01), 6 free.
//
// With the full-mesh window (-0.6 .. 2.6 both ways, 150 pixels per unit)
// node (x, y) lies at pixel (150 (x + 0.6), 150 (2.6 - y)):
// 1 (90, 390), 2 (240, 390), 3 (390, 390), 4 (90, 240), 5 (240, 240),
// 6 (390, 240); the frame -0.2 .. 2.2 runs along pixels 60 and 420.
MeshModel* two_squares() {
  static MeshModel m;
  clear_mesh(m);
  const double xy[7][2] = {{0, 0}, {0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}};
  const int kode[7] = {0, 11, 10, 1, 11, 10, 0};
  m.npoin = 6;
  m.ndofn = 2;
  for (int n = 1; n <= 6; ++n) {
    m.coord(n, 1) = xy[n][0];
    m.coord(n, 2) = xy[n][1];
    m.kode(n) = kode[n];
    m.ndof(n) = 2;
  }
  m.ndof(3) = 3;  // node 3 carries a rotation too: its code reads 001
  const int nodes[3][4] = {{0}, {1, 2, 5, 4}, {2, 3, 6, 5}};
  m.nelem = 2;
  for (int e = 1; e <= 2; ++e) {
    for (int k = 1; k <= 4; ++k) m.lnods(e, k) = nodes[e][k - 1];
    m.nnode(e) = 4;
    m.nside(e) = 4;
    m.matset(e) = e;
    m.mattyp(e) = e + 2;
  }
  CENTRD(m);
  return &m;
}

MeshWindow full_window(const MeshModel& m) {
  double x1, x2, y1, y2;
  BOUNDS(m.npoin, m.coord, x1, x2, y1, y2);
  MeshWindow w;
  STZOOM(x1, x2, y1, y2, w);
  return w;
}

int count_colour(int x1, int y1, int x2, int y2, int colour) {
  int c = 0;
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) c += plat().fb().at(x, y) == colour;
  return c;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST(MeshDrawing, WindowsFromTheNodeBounds) {
  ScriptedSession s("");
  MeshModel& m = *two_squares();
  double x1, x2, y1, y2;
  BOUNDS(m.npoin, m.coord, x1, x2, y1, y2);
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(x2, 2);
  EXPECT_EQ(y1, 0);
  EXPECT_EQ(y2, 1);
  MeshWindow w = full_window(m);
  // Square, based on the larger side 2.
  EXPECT_DOUBLE_EQ(w.xmin, -0.2);
  EXPECT_DOUBLE_EQ(w.xmax, 2.2);
  EXPECT_DOUBLE_EQ(w.ymin, -0.2);
  EXPECT_DOUBLE_EQ(w.ymax, 2.2);
  EXPECT_FLOAT_EQ(plot_state().xmin, -0.6f);
  EXPECT_FLOAT_EQ(plot_state().ymax, 2.6f);
  EXPECT_FLOAT_EQ(plot_state().psscale, 530.0f / 3.2f);
  // A zoom keeps PostScript output on when it was on.
  set_ps_mode(true);
  STZOOM(1, 0, 0, 0.5, w);  // corners in either order
  EXPECT_GT(plot_state().actscale, 0);
  EXPECT_DOUBLE_EQ(w.xmin, -0.1);
  EXPECT_DOUBLE_EQ(w.xmax, 1.1);
  set_ps_mode(false);
  // A single node still gets a window with extent.
  STZOOM(3, 3, 4, 4, w);
  EXPECT_GT(w.xmax, w.xmin);
}

TEST(MeshDrawing, SideColoursFromFixityCodes) {
  EXPECT_EQ(side_colour(10, 1, false), 2);   // 10 and 01: ordinary
  EXPECT_EQ(side_colour(1, 10, false), 2);
  EXPECT_EQ(side_colour(11, 0, false), 2);   // a free end
  EXPECT_EQ(side_colour(11, 11, false), 0);  // fully fixed both ends
  EXPECT_EQ(side_colour(10, 10, false), 8);  // restrained both ends
  EXPECT_EQ(side_colour(11, 10, false), 8);
  EXPECT_EQ(side_colour(11, 11, true), 14);  // highlight wins
  EXPECT_EQ(node_label_colour(11), 0);
  EXPECT_EQ(node_label_colour(10), 8);
  EXPECT_EQ(node_label_colour(1), 8);
  EXPECT_EQ(node_label_colour(0), 4);
  EXPECT_EQ(node_label_colour(111), 4);
}

TEST(MeshDrawing, SidesLandOnTheirPixelsInTheirColours) {
  ScriptedSession s("");
  MeshModel& m = *two_squares();
  MeshWindow w = full_window(m);
  EXPECT_EQ(PLMESH(m, w, false, false, true), 2);
  Framebuffer& fb = plat().fb();
  EXPECT_EQ(fb.at(90, 315), 0);   // 4-1: both ends 11
  EXPECT_EQ(fb.at(165, 390), 8);  // 1-2: 11 and 10
  EXPECT_EQ(fb.at(240, 315), 8);  // 2-5: 10 and 10
  EXPECT_EQ(fb.at(315, 390), 2);  // 2-3: 10 and 01
  EXPECT_EQ(fb.at(390, 315), 2);  // 3-6: a free end
  EXPECT_EQ(fb.at(315, 240), 2);  // 6-5
  EXPECT_EQ(fb.at(165, 315), BACKGROUND);  // inside element 1
  EXPECT_EQ(fb.at(91, 315), BACKGROUND);
}

TEST(MeshDrawing, BadNodeNumbersAreSkippedNotFollowed) {
  ScriptedSession s("");
  MeshModel& m = *two_squares();
  // What a file may hold: a node the mesh never gives, an element without
  // nodes (counts beyond the tables are refused by the reader).
  m.lnods(2, 3) = MPOIN;
  m.nnode(1) = 0;
  MeshWindow w = full_window(m);
  EXPECT_EQ(PLMESH(m, w, false, false, true), 0);
  CENTRD(m);
  LABELM(m, 1, 2, w);
  LABNOD(m, -5, 99999, w);
  LABNDE(m, 40000, 14);
  LABELT(m, -1, 14);
  EXPECT_EQ(count_colour(0, 35, 499, 479, 14), 0);
}

TEST(MeshDrawing, CurvedSidesPassThroughTheMidsideNode) {
  ScriptedSession s("");
  MeshModel m;
  clear_mesh(m);
  // A 6-node triangle whose side 1-2-3 bows down through (1, -0.3); side
  // 3-4-5 is straight. A bar from node 1 to node 5 lies on side 5-6-1.
  const double xy[7][2] = {{0, 0}, {0, 0}, {1, -0.3}, {2, 0}, {1.5, 1}, {1, 2}, {0.5, 1}};
  m.npoin = 6;
  for (int n = 1; n <= 6; ++n) {
    m.coord(n, 1) = xy[n][0];
    m.coord(n, 2) = xy[n][1];
  }
  m.nelem = 2;
  for (int k = 1; k <= 6; ++k) m.lnods(1, k) = k;
  m.nnode(1) = 6;
  m.nside(1) = 3;
  m.lnods(2, 1) = 1;
  m.lnods(2, 2) = 5;
  m.nnode(2) = 2;
  m.nside(2) = 1;
  MeshWindow w = full_window(m);
  EXPECT_EQ(PLMESH(m, w, false, false, true), 2);
  int ix, iy;
  MAPPXL(1, -0.3, ix, iy);
  EXPECT_GT(count_colour(ix - 1, iy - 1, ix + 1, iy + 1, 2), 0);  // on the curve
  MAPPXL(1, 0, ix, iy);
  EXPECT_EQ(count_colour(ix - 2, iy - 2, ix + 2, iy + 2, 2), 0);  // not the chord
  MAPPXL(0.5, -0.225, ix, iy);  // the curve at s = -0.5
  EXPECT_GT(count_colour(ix - 1, iy - 1, ix + 1, iy + 1, 2), 0);
  MAPPXL(0.25, 0.5, ix, iy);  // bars come after area elements, in colour 5
  EXPECT_GT(count_colour(ix - 1, iy - 1, ix + 1, iy + 1, 5), 0);
  EXPECT_EQ(count_colour(ix - 1, iy - 1, ix + 1, iy + 1, 2), 0);
  // Without one-dimensional elements the side shows through.
  EXPECT_EQ(PLMESH(m, w, false, true, true), 1);
  EXPECT_GT(count_colour(ix - 1, iy - 1, ix + 1, iy + 1, 2), 0);
  EXPECT_EQ(count_colour(ix - 1, iy - 1, ix + 1, iy + 1, 5), 0);
}

TEST(MeshDrawing, NodeNumbersInFixityColours) {
  ScriptedSession s("");
  MeshModel& m = *two_squares();
  MeshWindow w = full_window(m);
  PLMESH(m, w, false, false, true);
  LABNOD(m, 1, 6, w);
  // Each number sits just above its node.
  EXPECT_GT(count_colour(84, 226, 96, 236, 0), 0);   // node 4, code 11
  EXPECT_GT(count_colour(384, 376, 396, 386, 8), 0);  // node 3, code 01
  EXPECT_GT(count_colour(234, 226, 246, 236, 8), 0);  // node 5, code 10
  EXPECT_GT(count_colour(384, 226, 396, 236, 4), 0);  // node 6, free
  EXPECT_EQ(count_colour(384, 226, 396, 236, 8), 0);
  // Zoomed on element 1, node 6 is not numbered.
  STZOOM(0, 1, 0, 1, w);
  PLMESH(m, w, true, false, false);
  LABNOD(m, 1, 6, w);
  int ix, iy;
  MAPPXL(2, 1, ix, iy);
  EXPECT_GT(ix, 499);  // off the drawing area, and not drawn on the toolbar
  EXPECT_EQ(count_colour(500, 36, 639, 479, 4), 0);
}

TEST(Picking, EqualDistancesChooseTheLowerNumber) {
  Table2<double, 4, 2> pts;
  pts(1, 1) = 2;  // point 1 at (2, 0), point 2 at (0, 0)
  pts(2, 1) = 0;
  const MeshWindow all{-10, 10, -10, 10};
  EXPECT_EQ(nearest_point(2, pts, 1.0, 0.0, all), 1);
  pts(1, 1) = 0;  // and the other way round
  pts(2, 1) = 2;
  EXPECT_EQ(nearest_point(2, pts, 1.0, 0.0, all), 1);
  // Differences of at most 1e-6 count as none.
  pts(1, 1) = 1.0 + 1.0e-6;
  pts(2, 1) = 1.0;
  EXPECT_EQ(nearest_point(2, pts, 1.0, 0.0, all), 1);
  pts(1, 1) = 1.0 + 1.0e-5;
  EXPECT_EQ(nearest_point(2, pts, 1.0, 0.0, all), 2);
  // Farther than sqrt(1e9) is never picked; outside the window neither.
  pts(1, 1) = 1.0e5;
  EXPECT_EQ(nearest_point(1, pts, 0.0, 0.0, all), 0);
  pts(1, 1) = 5;
  EXPECT_EQ(nearest_point(1, pts, 0.0, 0.0, MeshWindow{-1, 1, -1, 1}), 0);
}

TEST(Picking, NodesAndElementsByMouse) {
  ScriptedSession s(
      "move 100 100\n"
      "click 100 20\n"  // the heading strip: passed by
      "wclick 1.05 0.95\n"
      "click 600 300\n"   // the toolbar: no pick
      "wclick 1.4 0.6\n"  // element 2's centroid is nearer
      "wclick 1.05 0.6\n");
  MeshModel& m = *two_squares();
  MeshWindow w = full_window(m);
  PLMESH(m, w, false, false, true);
  EXPECT_EQ(PICKNZ(m, "Click on chosen node in mesh:", w), 5);
  EXPECT_EQ(plat().fb().at(240, 240), 2);  // the dots repainted
  EXPECT_EQ(PICKND(m, "Click on chosen node in mesh:"), 0);
  EXPECT_EQ(PICKEL(m, "Click mouse on chosen element in mesh:"), 2);
  // Zoomed on element 1, element 2 cannot be picked.
  MeshWindow z;
  STZOOM(0, 1, 0, 1, z);
  EXPECT_EQ(PICKLZ(m, "Click mouse on chosen element in mesh:", z), 1);
  EXPECT_TRUE(has(s.transcript(), "tell: Click on chosen node in mesh:"));
}

TEST(Picking, InsideARegion) {
  const double sx[4] = {0, 2, 2, 0}, sy[4] = {0, 0, 2, 2};
  EXPECT_TRUE(inside_region(4, sx, sy, 1, 1));
  EXPECT_TRUE(inside_region(4, sx, sy, 2, 1));  // on an edge
  EXPECT_TRUE(inside_region(4, sx, sy, 1, 0));
  EXPECT_TRUE(inside_region(4, sx, sy, 0, 0));  // on a vertex
  EXPECT_FALSE(inside_region(4, sx, sy, 3, 1));
  EXPECT_FALSE(inside_region(4, sx, sy, 2, 3));  // in line with an edge, beyond it
  // Clockwise vertices give the same answer.
  const double cx[4] = {0, 0, 2, 2}, cy[4] = {0, 2, 2, 0};
  EXPECT_TRUE(inside_region(4, cx, cy, 0.5, 1.5));
  EXPECT_FALSE(inside_region(4, cx, cy, -0.5, 1.5));
  // A small region (a mesh in metres of a few millimetres) works alike.
  const double tx[3] = {0, 0.01, 0}, ty[3] = {0, 0, 0.01};
  EXPECT_TRUE(inside_region(3, tx, ty, 0.002, 0.002));
  EXPECT_FALSE(inside_region(3, tx, ty, 0.008, 0.008));
  EXPECT_FALSE(inside_region(1, tx, ty, 0, 0));
}

TEST(Picking, RegionAndClickSelection) {
  MeshModel& m = *two_squares();
  Table1<int, MELEM> marks;
  auto reset = [&] {
    marks(1) = 4;
    marks(2) = 4;
  };
  {  // a region round element 1's centroid
    ScriptedSession s(
        "rclick 200 200\n"
        "wclick -0.1 -0.1\nwclick 0.9 -0.1\nwclick 0.9 0.9\nwclick -0.1 0.9\n"
        "rclick 200 200\n");
    MeshWindow w = full_window(m);
    reset();
    EXPECT_EQ(PICKLL(m, marks, w), 1);
    EXPECT_EQ(marks(1), -4);
    EXPECT_EQ(marks(2), 4);
    EXPECT_TRUE(has(s.transcript(), "Click on (max. 9) vertices of region,"));
  }
  {  // clicks flip the sign: element 1 twice, element 2 once
    ScriptedSession s("wclick 0.5 0.5\nwclick 1.5 0.5\nwclick 0.5 0.5\nclick 600 300\n");
    MeshWindow w = full_window(m);
    reset();
    EXPECT_EQ(PICKLL(m, marks, w), 1);
    EXPECT_EQ(marks(1), 4);
    EXPECT_EQ(marks(2), -4);
  }
  {  // one vertex only, nothing chosen before
    ScriptedSession s("rclick 200 200\nclick 200 200\nrclick 200 200\n");
    MeshWindow w = full_window(m);
    reset();
    EXPECT_EQ(PICKLL(m, marks, w), 0);
    std::string t = s.transcript();
    EXPECT_TRUE(has(t, "No region selected!"));
    EXPECT_FALSE(has(t, "No elements selected!"));
  }
  {  // one vertex after a click: the selection ends with that element
    ScriptedSession s("wclick 1.5 0.5\nrclick 200 200\nrclick 200 200\n");
    MeshWindow w = full_window(m);
    reset();
    EXPECT_EQ(PICKLL(m, marks, w), 1);
    EXPECT_EQ(marks(2), -4);
    EXPECT_TRUE(has(s.transcript(), "No region selected!"));
  }
  {  // straight to the toolbar
    ScriptedSession s("click 600 300\n");
    MeshWindow w = full_window(m);
    reset();
    EXPECT_EQ(PICKLL(m, marks, w), 0);
    EXPECT_TRUE(has(s.transcript(), "No elements selected!"));
  }
}

TEST(InspectionScreen, LayoutAndContinue) {
  ScriptedSession s("snapshot displ.png\nclick 630 455\n");
  MeshModel& m = *two_squares();
  DISPL(m, "Check mesh details, then click on Continue...");
  Framebuffer& fb = plat().fb();
  EXPECT_EQ(fb.at(90, 315), 0);
  EXPECT_EQ(fb.at(315, 390), 2);
  EXPECT_EQ(fb.at(60, 200), 15);   // frame left x = -0.2
  EXPECT_EQ(fb.at(200, 420), 15);  // frame bottom y = -0.2
  EXPECT_EQ(fb.at(630, 455), 6);   // Continue, odd
  EXPECT_EQ(fb.at(630, 400), 4);   // Restore full mesh, even
  EXPECT_GT(count_colour(16, 463, 250, 477, 15), 0);  // the counts
  EXPECT_DOUBLE_EQ(m.xycen(2, 1), 1.5);
  EXPECT_DOUBLE_EQ(m.xycen(2, 2), 0.5);
  std::string t = s.transcript();
  EXPECT_TRUE(has(t, "tell: Check mesh details, then click on Continue..."));
}

TEST(InspectionScreen, EmptyZoomAndZoomHelp) {
  ScriptedSession s(
      "rclick 630 300\n"   // help on Zoom
      "rclick 630 200\n"   // right click elsewhere: nothing
      "click 630 300\n"    // Zoom
      "click 600 100\n"    // the toolbar is not a corner
      "wclick 0.4 0.4\nwclick 0.6 0.6\n"
      "click 630 455\n");
  MeshModel& m = *two_squares();
  DISPL(m, "heading");
  std::string t = s.transcript();
  EXPECT_TRUE(has(t, "VORTAN - help"));
  EXPECT_TRUE(has(t, "Click mouse on opposite corners defining zoom area:"));
  EXPECT_TRUE(has(t, "No elt lies inside zoom area! Try again with larger area."));
}

TEST(InspectionScreen, ZoomNumberAndPick) {
  ScriptedSession s(
      "click 630 300\n"                          // Zoom on element 1
      "wclick -0.05 -0.05\nwclick 1.05 1.05\n"
      "snapshot zoom.png\n"
      "click 630 200\n"                          // Number nodes
      "click 630 60\nwclick 1 1\n"               // Pick node by mouse: node 5
      "click 630 100\ndialog OK 0\ndialog OK 3\n"  // Pick node by no.
      "click 630 250\ndialog OK 7\ndialog OK 2\n"  // Pick elt by no.
      "click 630 150\nwclick 0.45 0.55\n"         // Pick elt by mouse
      "click 630 350\n"                          // Number elements
      "snapshot picked.png\n"
      "click 630 400\n"                          // Restore full mesh
      "click 630 455\n");
  MeshModel& m = *two_squares();
  DISPL(m, "heading");
  std::string t = s.transcript();
  EXPECT_TRUE(has(t, "Coordinates: "));
  EXPECT_TRUE(has(t, "Fixity code: 10"));
  EXPECT_TRUE(has(t, "Error: no such node!"));
  EXPECT_TRUE(has(t, "Fixity code: 001"));
  EXPECT_TRUE(has(t, "Error: no such element!"));
  EXPECT_TRUE(has(t, "Material property set: 2"));
  EXPECT_TRUE(has(t, "Material type: 4"));
  EXPECT_TRUE(has(t, "Material property set: 1"));
  EXPECT_FALSE(has(t, "No elt lies inside zoom area!"));
  // Left from a zoom, the full-mesh window is back.
  EXPECT_FLOAT_EQ(plot_state().xmin, -0.6f);
}

// A whole screen of numbers lands where each number alone lands (mapped by
// MAPPXL): centroids scattered over and around the drawing area, and put
// half a pixel either side of the area's edges and of pixel boundaries,
// in an ordinary and in a zoomed, off-centre window.
TEST(MeshDrawing, ManyNumbersLandWhereEachAloneLands) {
  ScriptedSession s("");
  static MeshModel m;
  clear_mesh(m);
  m.nelem = 0;
  std::srand(7);
  for (const double box : {1.0, 0.13}) {
    MeshWindow w;
    STZOOM(0.2, 0.2 + box, -0.1, -0.1 + box, w);
    const PlotState& p = plot_state();
    auto put = [&](double x, double y) {
      ++m.nelem;
      m.xycen(m.nelem, 1) = x;
      m.xycen(m.nelem, 2) = y;
    };
    m.nelem = 0;
    // Pixel column c + f, row r + f as world points, near each edge.
    const double px = p.width / 480.0, edges[] = {-1, 0, 1, 34, 35, 36, 478, 479, 498, 499, 500};
    const double fractions[] = {-0.5000001, -0.5, -0.4999999, 0, 0.4999999, 0.5, 0.5000001};
    for (double c : edges)
      for (double f : fractions) {
        put(p.xmin + (c + f - p.xoff) * px, p.ymax - (250 - p.yoff) * px);
        put(p.xmin + (250 - p.xoff) * px, p.ymax - (c + f - p.yoff) * px);
      }
    while (m.nelem < 3000)
      put(p.xmin + (std::rand() % 60000 / 100.0 - 50 - p.xoff) * px,
          p.ymax - (std::rand() % 55000 / 100.0 - 20 - p.yoff) * px);
    Framebuffer& fb = plat().fb();
    fb.clear(1);
    LABELM(m, 1, m.nelem, WHOLE_PLANE);
    const Framebuffer all = fb;
    fb.clear(1);
    for (int e = 1; e <= m.nelem; ++e) LABELT(m, e, 15);
    int differ = 0, lit = 0;
    for (int y = 0; y < SCREEN_H; ++y)
      for (int x = 0; x < SCREEN_W; ++x) {
        differ += all.at(x, y) != fb.at(x, y);
        lit += fb.at(x, y) == 15;
      }
    EXPECT_EQ(differ, 0) << "window " << box;
    EXPECT_GT(lit, 10000);
  }
}
