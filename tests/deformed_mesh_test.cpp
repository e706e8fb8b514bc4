// The deformed mesh and the displacement vectors: factors, displaced
// positions, the pictures at their pixels, the toolbar dialogue, and the
// PostScript pictures rendered by Ghostscript.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "deformed_mesh.h"
#include "plot.h"
#include "plots.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::lines_of;
using vortan::test::read_file;
using vortan::test::ScriptedSession;
using vortan::test::Snapshot;
using vortan::test::snapshot;
using vortan::test::TestMesh;

namespace {

// Two unit squares side by side: nodes 1 2 3 along y = 0, 4 5 6 along
// y = 1; elements 1 (1 2 5 4) and 2 (2 3 6 5), material types 1 and 3.
// Nodes 3 and 6 move 0.02 in x, node 6 also -0.01 in y.
//
// Mesh width 2, largest component 0.02: initial factor 0.1 x 2 / 0.02 = 10,
// so nodes 3 and 6 are drawn at x = 2.2 and node 6 at y = 0.9. The plot box
// is 0 .. 2.2 by 0 .. 1, D = 2.2: window -0.66 .. 2.86 both ways, 480 / 3.52
// = 136.36 pixels a unit; frame -0.22 .. 2.42.
//   pixel x = (x + 0.66) x 136.36, pixel y = (2.86 - y) x 136.36
//   x = 0 -> 90, 1 -> 226, 2 -> 363, 2.2 -> 390; y = 0 -> 390, 0.5 -> 322,
//   1 -> 254, 0.9 -> 267; frame x -0.22 -> 60, 2.42 -> 420.
struct Case {
  TestMesh t{2, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}};
  std::unique_ptr<ResultSet> r = std::make_unique<ResultSet>();
  std::unique_ptr<PlotWork> w = std::make_unique<PlotWork>();
  ViewState v;
  MeshModel& m = *t.m;
  Case() {
    t.add(4, {1, 2, 5, 4});
    t.add(4, {2, 3, 6, 5});
    m.mattyp(2) = 3;
    r->dofnam = {"", "  X-displ", "  Y-displ", "  Rotation", "  Fourth"};
    r->disp(3, 1) = 0.02;
    r->disp(6, 1) = 0.02;
    r->disp(6, 2) = -0.01;
    CENTRD(m);
  }
};

int at(int x, int y) { return plat().fb().at(x, y); }

// How many pixels of a colour lie in the box around (x, y).
int near(int x, int y, int colour, int r = 1) {
  int c = 0;
  for (int j = y - r; j <= y + r; ++j)
    for (int i = x - r; i <= x + r; ++i) c += at(i, j) == colour;
  return c;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Toolbar bands of nine buttons (49 pixels each): a row inside button k.
int band(int k) { return 478 - 49 * k + 24; }
std::string button(int k) { return "click 560 " + std::to_string(band(k)) + "\n"; }
const std::string CONTINUE = button(1), DECLINE = "dialog no\n";

// Palette indices of the standard palette.
const int BLUE = 1, GREEN = 2, LIGHT_GREY = 7, YELLOW = 14;

}  // namespace

TEST(DisplacementFactors, InitialFactorFromTheLargestComponent) {
  // 10 wide, largest component 0.01: 0.1 x 10 / 0.01 = 100; 0.05 gives 20.
  EXPECT_DOUBLE_EQ(initial_factor(10, 0.01), 100);
  EXPECT_DOUBLE_EQ(initial_factor(10, 0.05), 20);
  // Above 100 it is held at 100.
  EXPECT_DOUBLE_EQ(initial_factor(10, 0.001), 100);

  Case c;
  EXPECT_DOUBLE_EQ(largest_displacement(c.m, *c.r), 0.02);
  c.r->disp(2, 2) = -0.5;  // a negative component counts by its size
  EXPECT_DOUBLE_EQ(largest_displacement(c.m, *c.r), 0.5);
  c.r->disp(2, 2) = NAN;   // a value that is no number is passed by
  EXPECT_DOUBLE_EQ(largest_displacement(c.m, *c.r), 0.02);
  // No displacement at all: 1e-6, and the factor is held at 100.
  for (int n = 1; n <= 6; ++n) c.r->disp(n, 1) = c.r->disp(n, 2) = 0;
  EXPECT_DOUBLE_EQ(largest_displacement(c.m, *c.r), 1.0e-6);
  EXPECT_DOUBLE_EQ(initial_factor(2, 1.0e-6), 100);
}

TEST(DisplacementFactors, TypedFactorsRefusedOrHeld) {
  ScriptedSession s("");
  EXPECT_DOUBLE_EQ(accepted_factor(-2, 10, 1e8), 10);  // negative: the initial factor
  EXPECT_DOUBLE_EQ(accepted_factor(0, 10, 1e8), 10);
  EXPECT_DOUBLE_EQ(accepted_factor(NAN, 10, 1e8), 10);
  EXPECT_DOUBLE_EQ(accepted_factor(35, 10, 1e8), 35);
  EXPECT_FALSE(has(s.transcript(), "held"));
  EXPECT_DOUBLE_EQ(accepted_factor(1e30, 10, 1e8), 1e8);
  EXPECT_TRUE(has(s.transcript(), "Exaggeration factor held to"));
  // The limit draws the largest displacement a million mesh widths long.
  EXPECT_DOUBLE_EQ(factor_limit(2, 0.02), 1e6 * 2 / 0.02);
  EXPECT_DOUBLE_EQ(factor_limit(0.1, 0.02), 1e6 / 0.02);
  EXPECT_DOUBLE_EQ(magnified(1e300, 1e300), 0.0);
}

TEST(DisplacedPositions, EveryNodeMovedAndCentroidsDisplaced) {
  Case c;
  // Node 7 belongs to no element; an earlier plot left rubbish in cdef.
  c.m.npoin = 7;
  c.m.coord(7, 1) = 5;
  c.m.coord(7, 2) = 5;
  c.r->disp(7, 1) = 0.1;
  c.w->cdef(7, 1) = 99;
  displace(c.m, *c.r, *c.w, 10);
  EXPECT_DOUBLE_EQ(c.w->cdef(3, 1), 2.2);
  EXPECT_DOUBLE_EQ(c.w->cdef(6, 1), 2.2);
  EXPECT_DOUBLE_EQ(c.w->cdef(6, 2), 0.9);
  EXPECT_DOUBLE_EQ(c.w->cdef(1, 1), 0);
  EXPECT_DOUBLE_EQ(c.w->cdef(7, 1), 6);  // moved like the others
  // Element 2: nodes 2 3 6 5 at x 1, 2.2, 2.2, 1 and y 0, 0, 0.9, 1.
  EXPECT_DOUBLE_EQ(c.m.xycen(2, 1), 1.6);
  EXPECT_DOUBLE_EQ(c.m.xycen(2, 2), 0.475);
  double box[4];
  displaced_box(c.m, *c.w, box);
  EXPECT_DOUBLE_EQ(box[0], 0);
  EXPECT_DOUBLE_EQ(box[1], 6);
  EXPECT_DOUBLE_EQ(box[3], 5);
}

TEST(DisplacedPositions, OneDimensionalElementsAreBarsJointsAndBolts) {
  TestMesh t(2, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}});
  const int bar2 = t.add(1, {1, 2}), bar3 = t.add(1, {1, 2, 3});
  const int bolt = t.add(1, {1, 2, 3, 6, 5, 4}), joint = t.add(2, {1, 2, 3, 6, 5, 4});
  const int infjoint = t.add(2, {1, 2, 5, 4}), corner = t.add(2, {4, 1, 2});
  const int tri = t.add(3, {1, 2, 5});
  for (int e : {bar2, bar3, bolt, joint, infjoint}) EXPECT_TRUE(is_one_dimensional(*t.m, e)) << e;
  EXPECT_FALSE(is_one_dimensional(*t.m, corner));  // the corner infinite element
  EXPECT_FALSE(is_one_dimensional(*t.m, tri));
}

TEST(DeformedMesh, BothMeshesAtTheirPixels) {
  Case c;
  ScriptedSession s(CONTINUE + DECLINE);
  SPLAY(c.m, *c.r, *c.w, c.v);
  const std::string t = s.transcript();
  EXPECT_TRUE(has(t, "Initial exaggeration factor = | 10.0"));
  EXPECT_TRUE(has(t, "Try another exaggeration factor?"));
  EXPECT_FLOAT_EQ(plot_state().xmin, -0.66f);
  EXPECT_FLOAT_EQ(plot_state().xmax, 2.86f);
  EXPECT_FLOAT_EQ(plot_state().ymax, 2.86f);
  // The undeformed right side x = 2 in colour 14, the displaced one at
  // x = 2.2 in the ordinary colour 2, and node 6 drawn at y = 0.9.
  EXPECT_GT(near(363, 322, 14), 0);
  EXPECT_GT(near(390, 340, 2), 0);
  EXPECT_GT(near(385, 267, 2), 0);  // displaced top side 5-6 ends near y 0.9
  EXPECT_EQ(near(376, 322, 2, 3), 0);  // nothing between the two
  EXPECT_EQ(near(376, 322, 14, 3), 0);
  // The left side x = 0 is not displaced: the ordinary colour over the
  // highlight.
  EXPECT_GT(near(90, 322, 2), 0);
  // The frame is filled with colour 7 inside its line; outside, colour 1.
  EXPECT_EQ(at(300, 150), 7);
  EXPECT_EQ(at(40, 150), 1);
  EXPECT_EQ(at(60, 150), 15);
  // Counts under the picture and the nine-button toolbar.
  EXPECT_GT(near(75, 467, 15, 4), 0);  // "       2 elements," from x 16
  EXPECT_EQ(at(600, 420), 4);          // button 2 is filled with colour 4
  // Centroids are the undeformed ones again afterwards.
  EXPECT_DOUBLE_EQ(c.m.xycen(2, 1), 1.5);
  EXPECT_LT(plot_state().actscale, 0);
}

TEST(DeformedMesh, AnotherFactorRefusedFactorAndHelp) {
  {
    Case c;
    // Factor 5: node 3 drawn at 2 + 5 x 0.02 = 2.1.
    ScriptedSession s(CONTINUE + "dialog yes\ndialog ok 5\n" + CONTINUE + DECLINE);
    SPLAY(c.m, *c.r, *c.w, c.v);
    EXPECT_DOUBLE_EQ(c.w->cdef(3, 1), 2.1);
    EXPECT_TRUE(has(s.transcript(), "Enter an exaggeration factor: | [5]"));
  }
  {
    Case c;
    // Factor 5, then -2 (back to 10), then help before declining.
    ScriptedSession s(CONTINUE + "dialog yes\ndialog ok 5\n" + CONTINUE +
                      "dialog yes\ndialog ok -2\n" + CONTINUE + "dialog help\n" + DECLINE);
    SPLAY(c.m, *c.r, *c.w, c.v);
    EXPECT_TRUE(has(s.transcript(), "VORTAN - help"));
    EXPECT_DOUBLE_EQ(c.w->cdef(3, 1), 2.2);
  }
  {
    Case c;
    // A huge factor is held: the picture stays within drawable numbers.
    ScriptedSession s(CONTINUE + "dialog yes\ndialog ok 1e29\n" + CONTINUE + DECLINE);
    SPLAY(c.m, *c.r, *c.w, c.v);
    EXPECT_TRUE(has(s.transcript(), "Exaggeration factor held to"));
    EXPECT_DOUBLE_EQ(c.w->cdef(3, 1), 2 + 1e6 * 2);
    EXPECT_TRUE(std::isfinite(plot_state().xmax));
  }
}

TEST(DeformedMesh, ZeroDisplacementsDrawOneMeshOverTheOther) {
  Case c;
  for (int n = 1; n <= 6; ++n) c.r->disp(n, 1) = c.r->disp(n, 2) = 0;
  ScriptedSession s(CONTINUE + DECLINE);
  SPLAY(c.m, *c.r, *c.w, c.v);
  EXPECT_TRUE(has(s.transcript(), "Initial exaggeration factor = | 100."));
  for (int n = 1; n <= 6; ++n) {
    EXPECT_EQ(c.w->cdef(n, 1), c.m.coord(n, 1));
    EXPECT_EQ(c.w->cdef(n, 2), c.m.coord(n, 2));
  }
  // Window from the mesh alone: -0.6 .. 2.6, 150 pixels a unit; the
  // displaced mesh covers the highlight completely.
  EXPECT_FLOAT_EQ(plot_state().xmin, -0.6f);
  EXPECT_GT(near(390, 315, 2, 0), 0);
  EXPECT_EQ(near(390, 315, 14, 2), 0);
}

TEST(DeformedMesh, MaterialTypeAndOneDimensionalElements) {
  Case c;
  c.v.matsel = 3;
  c.t.add(1, {1, 5});  // a bar across element 1: never drawn here
  ScriptedSession s(CONTINUE + DECLINE);
  SPLAY(c.m, *c.r, *c.w, c.v);
  // Only element 2 (type 3) is drawn, in both meshes: the left side x = 0
  // stays empty, the side x = 1 is there.
  EXPECT_EQ(near(90, 322, 2, 2) + near(90, 322, 14, 2), 0);
  EXPECT_GT(near(226, 322, 2) + near(226, 322, 14), 0);
  EXPECT_EQ(near(158, 322, 5, 3), 0);  // the bar's middle is not drawn
  // Directly: corner infinite elements are drawn, bars and joints are not.
  MeshWindow f{-1, 3, -1, 3};
  c.t.add(2, {1, 2, 3, 6, 5, 4});  // joint
  c.t.add(2, {4, 1, 2});           // corner infinite element
  EXPECT_EQ(PLMSHO(c.m, 0, c.m.coord, f, false, false, false), 3);
}

TEST(DisplacementVectors, OneLineAtEveryNodeWhateverTheMaterial) {
  Case c;
  c.v.matsel = 3;
  c.r->disp(1, 2) = 0.02;  // node 1 moves up to y = 0.2: pixels 390 -> 363
  ScriptedSession s(CONTINUE + DECLINE);
  VSPLAY(c.m, *c.r, *c.w, c.v);
  // Node 1 belongs to element 1 only (type 1, not drawn), its vector still is.
  EXPECT_GT(near(90, 376, 2, 0), 0);
  EXPECT_EQ(near(90, 300, 2, 1), 0);  // the side x = 0 is not drawn
  // Node 3: from (363, 390) to (390, 390).
  EXPECT_GT(near(376, 390, 2, 0), 0);
  // Node 6: from (363, 254) towards (390, 267).
  EXPECT_GT(near(376, 260, 2, 1), 0);
  // The undeformed mesh of element 2 in colour 14; no displaced mesh.
  EXPECT_GT(near(363, 322, 14), 0);
  EXPECT_EQ(near(390, 322, 2, 2), 0);
}

TEST(DeformedMesh, PicksAtTheDisplacedPositions) {
  Case c;
  c.m.ndof(3) = 3;  // node 3 carries a rotation too
  c.r->disp(3, 3) = 0.5;
  // Pick node by mouse at node 3's displaced position (2.2, 0); pick node
  // 5 by number after a wrong one; element 9 refused, element 2 shown.
  ScriptedSession s(button(9) + "wclick 2.2 0\nsnapshot pick.png\n" + button(8) + "dialog ok 9\ndialog ok 5\n" +
                    button(5) + "dialog ok 9\ndialog ok 2\n" + "rclick 560 " +
                    std::to_string(band(4)) + "\n" + CONTINUE + DECLINE);
  SPLAY(c.m, *c.r, *c.w, c.v);
  const std::string t = s.transcript();
  EXPECT_TRUE(has(t, "Click on chosen node:"));
  // Three values for node 3 with its three d.o.f., two for node 5.
  EXPECT_TRUE(has(t, "Node no. 3 |  | X-displ   0.200E-01 | Y-displ    0.00 | Rotation  0.500 |"));
  EXPECT_TRUE(has(t, "No such node!"));
  EXPECT_TRUE(has(t, "Node no. 5 |  | X-displ    0.00 | Y-displ    0.00 | buttons"));
  // Node 3's mark at its displaced position (390, 390), where only the
  // displaced mesh's green sides meet.
  const Snapshot shot = snapshot(s, "pick.png");
  EXPECT_TRUE(shot.near(390, 390, YELLOW, 1));
  EXPECT_TRUE(has(t, "No such element!"));
  EXPECT_TRUE(has(t, "VORTAN - help"));  // right click on Zoom
}

TEST(DeformedMesh, ZoomOnOneElementAndAnEmptyZoom) {
  Case c;
  // Zoom on element 1: corners (-0.1, -0.1) and (1.1, 1.1); window
  // -0.46 .. 1.46, 250 pixels a unit. Element 2 reaches beyond: not drawn.
  ScriptedSession s(button(4) + "wclick -0.1 -0.1\nwclick -0.1 -0.1\nwclick 1.1 1.1\n" +
                    "snapshot zoom.png\n" + button(2) + button(4) +
                    "wclick 2.3 1.5\nwclick 2.4 2.0\n" + CONTINUE + DECLINE);
  SPLAY(c.m, *c.r, *c.w, c.v);
  const std::string t = s.transcript();
  // Only the empty zoom is reported, once for each mesh.
  size_t first = t.find("No elt lies inside zoom area! Try again with larger area.");
  ASSERT_NE(first, std::string::npos);
  size_t second = t.find("No elt lies inside zoom area!", first + 10);
  EXPECT_NE(second, std::string::npos);
  EXPECT_EQ(t.find("No elt lies inside zoom area!", second + 10), std::string::npos);
  // Continue restored the whole picture.
  EXPECT_FLOAT_EQ(plot_state().xmin, -0.66f);
  // The zoomed picture: element 1's side x = 1 at pixel 365 (ordinary colour
  // over the highlight); element 2's displaced right side nowhere.
  const Snapshot shot = snapshot(s, "zoom.png");
  // The corners come back from pixels, so each side within 2 pixels.
  EXPECT_TRUE(shot.near(365, 240, GREEN, 2));   // x = 1 at y = 0.5: (365, 240)
  EXPECT_TRUE(shot.near(115, 240, GREEN, 2));   // x = 0
  EXPECT_EQ(shot.at(240, 240), LIGHT_GREY);     // inside element 1
  EXPECT_EQ(shot.at(440, 240), BLUE);           // beyond the frame (1.22 -> pixel 420)
}

// --- PostScript pictures -----------------------------------------------------

namespace {

// The picture rendered by Ghostscript at 72 dpi, cropped to its bounding
// box 100 170 630 700: page point (X, Y) is image pixel (X - 100, 700 - Y).
struct Page {
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
  bool dark(double X, double Y, int r = 1) const {
    const int x = static_cast<int>(X - 100), y = static_cast<int>(700 - Y);
    for (int j = y - r; j <= y + r; ++j)
      for (int i = x - r; i <= x + r; ++i) {
        if (i < 0 || j < 0 || i >= w || j >= h) continue;
        const unsigned char* p = &rgb[3 * (j * w + i)];
        if (p[0] + p[1] + p[2] < 3 * 128) return true;
      }
    return false;
  }
};

bool render(const std::string& eps, Page& page, std::string& messages) {
  return vortan::test::render_eps(eps, eps + ".png", messages) &&
         vortan::test::read_png_rgb(eps + ".png", page.w, page.h, page.rgb);
}

std::string write_eps(ScriptedSession& s, Case& c, bool vectors) {
  const std::string path = s.folder() + (vectors ? "/va.ps" : "/ma.ps");
  EXPECT_TRUE(PSOPEN(path));
  if (vectors)
    PSVMSH(c.m, *c.r, *c.w, c.v);
  else
    PSMESH(c.m, *c.r, *c.w, c.v);
  EXPECT_TRUE(PSCLOS());
  return path;
}

int count_with(const std::vector<std::string>& lines, const std::string& part) {
  int n = 0;
  for (const auto& l : lines) n += has(l, part);
  return n;
}

// With factor 10 the plot box is 0 .. 2.2 by 0 .. 1: window -0.66 .. 2.86,
// 530 / 3.52 points a unit, page origin at (42, 162).
double X(double x) { return 42 + (x + 0.66) * 530 / 3.52; }
double Y(double y) { return 162 + (y + 0.66) * 530 / 3.52; }

}  // namespace

TEST(DisplacementPostScript, NoMeshChosenLeavesFrameOnly) {
  Case c;
  ScriptedSession s("line 10\nkey n\nkey n\nkey n\n");
  const auto l = lines_of(read_file(write_eps(s, c, false)));
  ASSERT_GT(l.size(), 30u);
  EXPECT_EQ(l[0], "%!PS-Adobe-2.0EPSF-1.2");
  EXPECT_EQ(l[1], "%%Title:VORTAN plots - deformed mesh");
  EXPECT_EQ(l[2].rfind("%%Creators:", 0), 0u);
  EXPECT_EQ(l[3].rfind("%%CreationDate:", 0), 0u);
  EXPECT_EQ(l[4], "%%BoundingBox:100 170 630 700");
  EXPECT_EQ(l[27], "/fillcolory [  1  1  1] def");
  EXPECT_EQ(l[28], "% frame with labelling next");
  EXPECT_EQ(count_with(l, " l sr"), 4);  // the frame's four sides, nothing more
  EXPECT_EQ(count_with(l, "% original mesh"), 0);
  EXPECT_EQ(count_with(l, "% deformed mesh next"), 0);
  EXPECT_EQ(l[l.size() - 3], "grestore");
  EXPECT_EQ(l[l.size() - 1], "%%Trailer");
  const std::string t = s.transcript();
  EXPECT_TRUE(has(t, "Enter an exaggeration factor: 10"));
  EXPECT_TRUE(has(t, " X-limits of mesh: 0.0 to 2.2"));
  EXPECT_TRUE(has(t, " Y-limits of mesh: 0.0 to 1.0"));
  EXPECT_LT(plot_state().actscale, 0);  // back on the screen
}

TEST(DisplacementPostScript, BothMeshesRenderedAtTheirPoints) {
  Case c;
  ScriptedSession s("line 10\nkey n\nkey y\nkey y\n");
  const std::string eps = write_eps(s, c, false);
  const auto l = lines_of(read_file(eps));
  EXPECT_EQ(count_with(l, "% original mesh"), 1);
  EXPECT_EQ(count_with(l, "% deformed mesh next"), 1);
  EXPECT_EQ(count_with(l, " l sr"), 4 + 8 + 8);  // frame, two meshes of 7 sides + shared
  Page p;
  std::string messages;
  ASSERT_TRUE(render(eps, p, messages)) << messages;
  EXPECT_EQ(messages, "");
  EXPECT_TRUE(p.dark(X(2), Y(0.5)));     // undeformed right side
  EXPECT_TRUE(p.dark(X(2.2), Y(0.45)));  // displaced right side, 0 .. 0.9
  EXPECT_TRUE(p.dark(X(0), Y(0.5)));
  EXPECT_FALSE(p.dark(X(2.1), Y(0.5), 3));  // between them: white
  EXPECT_FALSE(p.dark(X(0.5), Y(0.5), 5));  // inside element 1
}

TEST(DisplacementPostScript, VectorsAndAnEmptyZoom) {
  {
    Case c;
    ScriptedSession s("line 10\nkey n\nkey n\nkey y\n");
    const std::string eps = write_eps(s, c, true);
    const auto l = lines_of(read_file(eps));
    EXPECT_EQ(l[1], "%%Title:VORTAN plots - nodal vectors");
    EXPECT_EQ(count_with(l, "% nodal vectors next"), 1);
    EXPECT_EQ(count_with(l, " l sr"), 4 + 6);  // one line a node
    Page p;
    std::string messages;
    ASSERT_TRUE(render(eps, p, messages)) << messages;
    EXPECT_TRUE(p.dark(X(2.1), Y(0)));       // node 3: (2, 0) to (2.2, 0)
    EXPECT_FALSE(p.dark(X(2), Y(0.5), 3));   // no mesh
    EXPECT_FALSE(p.dark(X(1.1), Y(0.5), 3));
  }
  {
    Case c;
    // A zoom box beside the mesh: the message, and no mesh lines.
    ScriptedSession s("line 10\nkey y\nline 5 6\nline 5, 6\nkey y\nkey y\n");
    const auto l = lines_of(read_file(write_eps(s, c, false)));
    EXPECT_TRUE(has(s.transcript(), "No elt lies inside zoom area! Try again with larger area."));
    EXPECT_EQ(count_with(l, " l sr"), 4);
  }
}

TEST(DisplacementPostScript, HugeOrBadFactorsKeepTheFileSound) {
  Case c;
  ScriptedSession s("line x\nline 1e35\nkey n\nkey y\nkey y\n");
  const std::string eps = write_eps(s, c, false);
  const std::string t = s.transcript();
  EXPECT_TRUE(has(t, "Incorrect input: type a real number"));
  EXPECT_TRUE(has(t, "Exaggeration factor held to"));
  Page p;
  std::string messages;
  EXPECT_TRUE(render(eps, p, messages)) << messages;
  EXPECT_EQ(messages, "");
}
