// Yield zones: the Gauss points of one yield code marked over the mesh, on
// the screen and in the PostScript picture rendered by Ghostscript.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "crosses.h"
#include "platform/platform.h"
#include "plot.h"
#include "plots.h"
#include "test_support.h"
#include "yield_zones.h"

using namespace vortan;
using vortan::test::read_file;
using vortan::test::ScriptedSession;
using vortan::test::Snapshot;
using vortan::test::snapshot;
using vortan::test::TestMesh;

namespace {

// Three unit squares in a row (material types 1, 2, 1), nodes 1-4 along
// y = 0 and 5-8 along y = 1. The window -0.9 .. 3.9 puts world (x, y) at
// pixel (100 (x + 0.9), 100 (3.9 - y)); the character size is
// 4.8 x 0.1 / 15 = 0.032, so a mark reaches 1.6 pixels either way.
TestMesh three_squares() {
  TestMesh t(-2, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}});
  t.add(4, {1, 2, 6, 5});
  t.add(4, {2, 3, 7, 6});
  t.add(4, {3, 4, 8, 7});
  t.m->mattyp(2) = 2;
  return t;
}

int pix_x(double x) { return static_cast<int>(std::lround(100 * (x + 0.9))); }
int pix_y(double y) { return static_cast<int>(std::lround(100 * (3.9 - y))); }

struct Results {
  std::unique_ptr<ResultSet> r = std::make_unique<ResultSet>();
  std::unique_ptr<PlotWork> w = std::make_unique<PlotWork>();
  void add(double x, double y, int code) {
    const int i = ++r->ngaus;
    r->hasgp = 1;
    r->xgaus(i, 1) = x;
    r->xgaus(i, 2) = y;
    r->iyield(i) = code;
  }
};

// Two points of code 2 in element 1, one of code 0 in each element, and a
// code 2 point in element 2.
Results yielded() {
  Results res;
  res.add(0.25, 0.25, 2);
  res.add(0.75, 0.75, 2);
  res.add(0.5, 0.5, 0);
  res.add(1.5, 0.5, 0);
  res.add(2.5, 0.5, 0);
  res.add(1.25, 0.75, 2);
  return res;
}

// A mark in the snapshot: the point and one pixel to each side in colour 15.
bool marked(const Snapshot& shot, double x, double y) {
  const int ix = pix_x(x), iy = pix_y(y);
  return shot.at(ix, iy) == 15 && shot.at(ix - 1, iy) == 15 && shot.at(ix + 1, iy) == 15 &&
         shot.at(ix, iy - 1) == 15 && shot.at(ix, iy + 1) == 15;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

int count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t k = text.find(part); k != std::string::npos; k = text.find(part, k + 1)) ++n;
  return n;
}

int at(int x, int y) { return plat().fb().at(x, y); }

}  // namespace

TEST(YieldMarks, OnlyPointsOfTheCodeAreMarkedAsSmallCrosses) {
  ScriptedSession s("");
  TestMesh t = three_squares();
  Results res = yielded();
  MeshWindow f;
  result_window(*t.m, f);
  EXPECT_EQ(PLYLD(*res.r, 2, f, false), 3);
  // (0.25, 0.25) at pixel (115, 365): an upright cross 3 pixels across.
  EXPECT_EQ(at(115, 365), 15);
  EXPECT_EQ(at(114, 365), 15);
  EXPECT_EQ(at(116, 365), 15);
  EXPECT_EQ(at(115, 364), 15);
  EXPECT_EQ(at(115, 366), 15);
  EXPECT_EQ(at(114, 364), BACKGROUND);  // not a diagonal
  EXPECT_EQ(at(118, 365), BACKGROUND);
  EXPECT_EQ(at(pix_x(1.25), pix_y(0.75)), 15);
  EXPECT_EQ(at(pix_x(0.5), pix_y(0.5)), BACKGROUND);  // code 0
  // Code 0 marks every point that has not yielded.
  EXPECT_EQ(PLYLD(*res.r, 0, f, false), 3);
  EXPECT_EQ(at(pix_x(2.5), pix_y(0.5)), 15);
  // Zoomed: points outside the frame are passed by.
  EXPECT_EQ(PLYLD(*res.r, 2, MeshWindow{0, 1, 0, 1}, true), 2);
  // A code no point has, no records at all, a count beyond the table, a
  // point that is not a number.
  EXPECT_EQ(PLYLD(*res.r, 7, f, false), 0);
  res.add(NAN, 0.5, 7);
  EXPECT_EQ(PLYLD(*res.r, 7, f, false), 0);
  res.r->ngaus = 0;
  EXPECT_EQ(PLYLD(*res.r, 0, f, false), 0);
  res.r->ngaus = MGAUS + 1;
  PLYLD(*res.r, 0, f, true);
}

namespace {

// Toolbar of four buttons, 111 pixels each: Continue below row 367,
// Restore full mesh 256..367, Zoom 145..256, Another yield code 34..145.
const std::string CONTINUE = "click 560 460\n";
const std::string RESTORE = "click 560 300\n";
const std::string ZOOM = "click 560 200\n";
const std::string ANOTHER = "click 560 100\n";

}  // namespace

TEST(YieldZonePlot, CodeByCodeOverTheMeshOfTheChosenMaterial) {
  ScriptedSession s("dialog OK 2\nsnapshot two.png\n"
                    "rclick 560 100\n"  // help on Another yield code: the code stays
                    "rclick 560 460\n"  // no help on Continue
                    + ANOTHER + "dialog OK 0\nsnapshot zero.png\n" + CONTINUE);
  TestMesh t = three_squares();
  Results res = yielded();
  ViewState v;
  v.matsel = 1;
  YSPLAY(*t.m, *res.r, *res.w, v);
  const std::string tr = s.transcript();
  EXPECT_EQ(count(tr, "Yield code to plot:"), 2);
  EXPECT_EQ(count(tr, "VORTAN - help"), 1);
  EXPECT_TRUE(has(tr, "Yield Zones"));

  Snapshot a = snapshot(s, "two.png");
  EXPECT_TRUE(marked(a, 0.25, 0.25));
  EXPECT_TRUE(marked(a, 0.75, 0.75));
  EXPECT_TRUE(marked(a, 1.25, 0.75));  // marked although element 2 is not drawn
  EXPECT_FALSE(marked(a, 0.5, 0.5));
  // Elements of material type 1 in colour 14; element 2 is not drawn.
  EXPECT_EQ(a.at(pix_x(0), pix_y(0.5)), 14);
  EXPECT_EQ(a.at(pix_x(2.5), pix_y(0)), 14);
  EXPECT_EQ(a.at(pix_x(1.5), pix_y(0)), 7);
  EXPECT_EQ(a.at(100, 100), 7);  // the frame cleared to colour 7
  EXPECT_EQ(a.at(560, 420), 6);  // Continue
  EXPECT_EQ(a.at(560, 100), 4);  // Another yield code
  // "Yield code = " and the code in 8 columns at (16, 463).
  int white = 0;
  for (int y = 463; y < 475; ++y)
    for (int x = 16; x < 16 + 21 * 8; ++x) white += a.at(x, y) == 15;
  EXPECT_GT(white, 40);

  Snapshot b = snapshot(s, "zero.png");
  EXPECT_FALSE(marked(b, 0.25, 0.25));
  EXPECT_TRUE(marked(b, 0.5, 0.5));
  EXPECT_TRUE(marked(b, 1.5, 0.5));
  EXPECT_TRUE(marked(b, 2.5, 0.5));
}

TEST(YieldZonePlot, ZoomHidesPointsOutsideAndRestoreMarksThemAgain) {
  ScriptedSession s("dialog OK 2\n" + ZOOM +
                    "wclick 0 0\nwclick 0 0\nwclick 1 1\n"  // a repeated corner is passed by
                    "snapshot zoom.png\n" + RESTORE + "snapshot full.png\n" + ZOOM +
                    "wclick 0 0\nwclick 1 1\n" + CONTINUE);
  TestMesh t = three_squares();
  Results res = yielded();
  YSPLAY(*t.m, *res.r, *res.w, ViewState{});
  EXPECT_TRUE(has(s.transcript(), "Click on opposite corners defining zoom area:"));
  // The zoom 0..1: window -0.3 .. 1.3, 300 pixels a unit; frame -0.1 .. 1.1.
  const auto zx = [](double x) { return static_cast<int>(std::lround(300 * (x + 0.3))); };
  const auto zy = [](double y) { return static_cast<int>(std::lround(300 * (1.3 - y))); };
  Snapshot z = snapshot(s, "zoom.png");
  EXPECT_EQ(z.at(zx(0.25), zy(0.25)), 15);
  EXPECT_EQ(z.at(zx(0.75), zy(0.75)), 15);
  EXPECT_EQ(z.at(zx(1.25), zy(0.75)), 1);  // (1.25, 0.75) lies outside the frame
  EXPECT_EQ(z.at(zx(0), zy(0.5)), 14);     // element 1, wholly inside
  EXPECT_EQ(z.at(zx(1), zy(0.5)), 14);
  // The line under the heading and the toolbar are drawn again; the yield
  // code line stays.
  EXPECT_EQ(z.at(300, 34), 15);
  EXPECT_EQ(z.at(560, 420), 6);
  Snapshot f = snapshot(s, "full.png");
  EXPECT_TRUE(marked(f, 1.25, 0.75));
  EXPECT_TRUE(marked(f, 0.25, 0.25));
}

TEST(YieldZonePlot, NoGaussPointsMarksNothing) {
  ScriptedSession s("dialog OK 1\nsnapshot none.png\n" + CONTINUE);
  TestMesh t = three_squares();
  Results res;
  YSPLAY(*t.m, *res.r, *res.w, ViewState{});
  Snapshot a = snapshot(s, "none.png");
  int white = 0;
  for (int y = 61; y < 420; ++y)  // inside the frame
    for (int x = 61; x < 420; ++x) white += a.at(x, y) == 15;
  EXPECT_EQ(white, 0);
}

// --- the PostScript picture ------------------------------------------------------

namespace {

using Page = vortan::test::RenderedPage;
Page render(const std::string& eps) { return vortan::test::render_page(eps); }

}  // namespace

TEST(YieldZonePicture, MeshAndMarksOfTheCodeOnThePage) {
  ScriptedSession s("line x\nline 2\nkey n\n");
  TestMesh t = three_squares();
  Results res = yielded();
  const std::string path = s.folder() + "/yield.ps";
  ASSERT_TRUE(PSOPEN(path));
  PSYSTR(*t.m, *res.r, *res.w, ViewState{});
  ASSERT_TRUE(PSCLOS());
  const std::string text = read_file(path);
  EXPECT_EQ(text.rfind("%!PS-Adobe-2.0EPSF-1.2\n%%Title:VORTAN plots - yield zone\n", 0), 0u);
  const size_t mesh = text.find("\n% original mesh\n"), marks = text.find("\n% yield points  next\n");
  ASSERT_NE(mesh, std::string::npos);
  ASSERT_NE(marks, std::string::npos);
  EXPECT_LT(text.find("\n% frame with labelling next\n"), mesh);
  EXPECT_LT(mesh, marks);
  // Three marks of two strokes each after the comment, then the closing
  // records.
  EXPECT_EQ(count(text.substr(marks), " l sr"), 6);
  EXPECT_EQ(text.substr(text.size() - 10), "%%Trailer\n");
  const std::string tr = s.transcript();
  EXPECT_TRUE(has(tr, "Enter the yield code to plot: "));
  EXPECT_TRUE(has(tr, "Incorrect input: type an integer"));
  EXPECT_LT(tr.find("Enter the yield code to plot: "), tr.find(" X-limits of mesh: "));
  EXPECT_LT(plot_state().actscale, 0);

  // 530 / 4.8 points a unit from the page origin (42, 162); a mark reaches
  // half of 0.032 units, 1.8 points, either way.
  const auto X = [](double x) { return 42 + (x + 0.9) * 530 / 4.8; };
  const auto Y = [](double y) { return 162 + (y + 0.9) * 530 / 4.8; };
  Page p = render(path);
  EXPECT_TRUE(p.dark(X(0.25), Y(0.25), 0));
  EXPECT_TRUE(p.dark(X(1.25), Y(0.75), 0));
  EXPECT_FALSE(p.dark(X(0.5), Y(0.5), 3));  // code 0
  EXPECT_TRUE(p.dark(X(0.5), Y(0)));        // the mesh, every element
  EXPECT_TRUE(p.dark(X(1), Y(0.5)));
}
