// Plot window, mappings, screen primitives and the PostScript records of the
// drawing layer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "plot.h"
#include "test_support.h"
#include "toolbar.h"

using namespace vortan;
using vortan::test::read_file;
using vortan::test::ScriptedSession;
using vortan::test::write_file;

namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

// Runs `body` with the working folder switched to `dir`.
template <class F>
void in_folder(const std::string& dir, F body) {
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  body();
  std::filesystem::current_path(old);
}

}  // namespace

TEST(PlotWindow, ScalesOfATallWindow) {
  ScriptedSession s("");
  double cs;
  STPLOT(0, 10, 0, 20, cs, 1);
  EXPECT_FLOAT_EQ(plot_state().psscale, 26.5f);  // 530 / 20
  EXPECT_LT(plot_state().actscale, 0);           // the screen
  EXPECT_DOUBLE_EQ(cs, 2.0);                     // 20 x 0.1 / 1
  int x0, y0, x1, y1;
  MAPPXL(0, 0, x0, y0);
  MAPPXL(1, 1, x1, y1);
  EXPECT_EQ(x1 - x0, 48);  // 480 / 10 pixels per unit across
  EXPECT_EQ(y0 - y1, 24);  // 480 / 20 pixels per unit up
  EXPECT_EQ(x0, 0);
  EXPECT_EQ(y0, 480);
  // PXLMAP undoes MAPPXL; XTOPT and YTOPT measure points from the corner.
  double x, y;
  PXLMAP(96, 240, x, y);
  EXPECT_NEAR(x, 2.0, 1e-6);
  EXPECT_NEAR(y, 10.0, 1e-6);
  EXPECT_NEAR(XTOPT(2), 53.0, 1e-4);
  EXPECT_NEAR(YTOPT(20), 530.0, 1e-4);
}

TEST(PlotWindow, ClearsOnlyTheDrawingAreaAndSetsDefaults) {
  ScriptedSession s("");
  Framebuffer& fb = plat().fb();
  fb.clear(5);
  SETCOL(3);
  double cs;
  STPLOT(0, 1, 0, 1, cs, 15);
  EXPECT_EQ(fb.at(10, 33), 5);  // heading strip kept
  EXPECT_EQ(fb.at(10, 34), BACKGROUND);
  EXPECT_EQ(fb.at(639, 479), BACKGROUND);
  EXPECT_EQ(plot_state().colour, 15);
  EXPECT_FLOAT_EQ(plot_state().fontsize, 10);
}

TEST(PlotWindow, FontSizeFromTexFile) {
  ScriptedSession s("");
  const std::string dir = s.folder();
  // A commented definition is passed by even though it holds a key.
  write_file(dir + "/top51bit.tex", "%\\font\\rrmm=cmr10 at 14truept\n");
  in_folder(dir, [] {
    double cs;
    STPLOT(0, 1, 0, 1, cs, 1);
    EXPECT_FLOAT_EQ(plot_state().fontsize, 10);
  });
  write_file(dir + "/top51bit.tex",
             "% sizes of this document\n\\font\\rrmm=cmr7 at 8.5truept\n\\relax\n");
  in_folder(dir, [] {
    double cs;
    STPLOT(0, 1, 0, 1, cs, 1);
    EXPECT_FLOAT_EQ(plot_state().fontsize, 8.5f);
  });
  // A key without "truept", or an unreadable size, changes nothing.
  write_file(dir + "/top51bit.tex", "\\font\\rrmm=cmr5 at 9pt\n\\font\\rrmm=cmr10 at xxtruept\n");
  EXPECT_FLOAT_EQ(font_size_from_tex(dir + "/top51bit.tex"), 10);
  EXPECT_FLOAT_EQ(font_size_from_tex(dir + "/missing.tex"), 10);
}

TEST(ScreenPrimitives, LinesInScreenColourClippedToTheDrawingArea) {
  ScriptedSession s("");
  double cs;
  STPLOT(0, 10, 0, 10, cs, 1);  // 48 pixels per unit both ways
  Framebuffer& fb = plat().fb();
  SETCOL(14);
  JOINP1(1, 5, 5, 5);  // row (10-5) x 48 = 240, columns 48..240
  EXPECT_EQ(fb.at(48, 240), 14);
  EXPECT_EQ(fb.at(150, 240), 14);
  EXPECT_EQ(fb.at(240, 240), 14);
  EXPECT_EQ(fb.at(241, 240), BACKGROUND);
  // A line running off to the right stops at the toolbar; one running up
  // stops under the heading strip.
  fb.fill_rect(500, 36, 638, 478, 6);
  JOINP1(5, 2, 12, 2);
  EXPECT_EQ(fb.at(499, 384), 14);
  EXPECT_EQ(fb.at(500, 384), 6);
  JOINP1(2, 5, 2, 11);
  EXPECT_EQ(fb.at(96, 35), 14);
  EXPECT_EQ(fb.at(96, 34), BACKGROUND);

  SETCOL(12);
  MARPT(5, 5, 0.5);  // 24 pixels either side of (240, 240)
  EXPECT_EQ(fb.at(216, 240), 12);
  EXPECT_EQ(fb.at(264, 240), 12);
  EXPECT_EQ(fb.at(240, 216), 12);
  EXPECT_EQ(fb.at(240, 265), BACKGROUND);

  SETCOL(13);
  GGBOX(1, 3, 1, 3);  // pixels 48..144 both ways
  EXPECT_EQ(fb.at(48, 400), 13);
  EXPECT_EQ(fb.at(144, 400), 13);
  EXPECT_EQ(fb.at(100, 432), 13);
  EXPECT_EQ(fb.at(100, 336), 13);
  EXPECT_EQ(fb.at(100, 400), BACKGROUND);

  const double xs[3] = {6, 8, 6}, ys[3] = {6, 6, 8};
  FILPOL(3, xs, ys, 4);
  EXPECT_EQ(fb.at(300, 180), 4);  // inside (6.25, 6.25)
  EXPECT_EQ(fb.at(370, 110), BACKGROUND);
}

TEST(ScreenPrimitives, LabelsAndFrame) {
  ScriptedSession s("");
  double cs;
  STPLOT(0, 10, 0, 10, cs, 1);
  Framebuffer& fb = plat().fb();
  auto count = [&](int x1, int y1, int x2, int y2, int colour) {
    int c = 0;
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) c += fb.at(x, y) == colour;
    return c;
  };
  // Centred on (240, 240): the text lies either side of column 240.
  LABPT1(5, 5, "888", AL_CENTRE + AL_MIDDLE, 14);
  EXPECT_GT(count(229, 230, 239, 250, 14), 0);
  EXPECT_GT(count(241, 230, 251, 250, 14), 0);
  EXPECT_EQ(count(0, 0, 226, 479, 14), 0);
  // Starting at the point: nothing to its left.
  LABPT1(2, 2, "77", AL_LEFT, 11);
  EXPECT_EQ(count(0, 350, 95, 400, 11), 0);
  EXPECT_GT(count(96, 370, 112, 384, 11), 0);
  // A label outside the drawing area is not drawn.
  LABPT1(11, 5, "5", AL_LEFT, 9);
  EXPECT_EQ(count(500, 0, 639, 479, 9), 0);

  FAXES(1, 9, 1, 9, cs, -1);
  EXPECT_EQ(fb.at(48, 200), 15);   // left edge x = 1
  EXPECT_EQ(fb.at(432, 200), 15);  // right edge x = 9
  EXPECT_EQ(fb.at(200, 432), 15);  // bottom y = 1
  EXPECT_EQ(fb.at(200, 48), 15);   // top y = 9
  // Coordinate labels under the bottom edge and right of the right edge.
  EXPECT_GT(count(30, 446, 70, 470, 15), 0);
  EXPECT_GT(count(436, 40, 499, 440, 15), 0);
}

TEST(ScreenPrimitives, AxesThroughTheOrigin) {
  ScriptedSession s("");
  double cs;
  STPLOT(-5, 5, -5, 5, cs, 1);
  FAXES(-4, 4, -4, 4, cs, 1);
  Framebuffer& fb = plat().fb();
  EXPECT_EQ(fb.at(240, 100), 15);  // x = 0
  EXPECT_EQ(fb.at(100, 240), 15);  // y = 0
  EXPECT_EQ(fb.at(48, 100), BACKGROUND);  // no frame
}

TEST(PostScriptRecords, LinesPolygonsLabelsAndCompaction) {
  ScriptedSession s("");
  const std::string path = s.folder() + "/rec.ps";
  double cs;
  STPLOT(0, 10, 0, 20, cs, 1);
  ASSERT_TRUE(PSOPEN(path));
  set_ps_mode(true);
  JOINP1(0, 0, 10, 20);
  JOINP1(1, 2, -1, 0.6);
  const double xs[7] = {0, 1, 1, 0, 0, 2, 2}, ys[7] = {0, 0, 1, 1, 2, 2, 3};
  FILPOL(7, xs, ys, 3);
  PSFILL(0.5, 0.25, 1);
  PSLAB(2, 4, "12", AL_CENTRE);
  PSLAB(2, 4, "a (b)", AL_LEFT + AL_BELOW);
  std::vector<double> many(4000, 1.0);
  FILPOL(4000, many.data(), many.data(), 3);  // too many vertices: nothing
  set_ps_mode(false);
  JOINP1(0, 0, 1, 1);  // back on the screen: not in the file
  ASSERT_TRUE(PSCLOS());
  const std::vector<std::string> want = {
      "n 0.0 0.0 m 265.0 530.0 l sr",
      "n 26.5 53.0 m -26.5 15.9 l sr",
      "n 0.0 0.0 m",
      "26.5 0.0 r 0.0 26.5 r -26.5 0.0 r 0.0 26.5 r 53.0 0.0 r",
      "0.0 26.5 r",
      "ggg",
      "/fillcolory [ 0.50 0.25 1.00] def",
      "/Helvetica-Bold findfont 10.0 scalefont setfont",
      "53.0 106.0 m (12) cent pop",
      "53.0 96.0 m (a \\(b\\)) show",
  };
  EXPECT_EQ(lines_of(read_file(path)), want);
}

TEST(PostScriptRecords, EndingWithAndWithoutAFile) {
  // Without a file ENPLOT only waits for its key.
  {
    ScriptedSession s("key a\n");
    EXPECT_FALSE(ps_open());
    ENPLOT();
    PSEND();
    EXPECT_FALSE(ps_open());
  }
  ScriptedSession s("line\n");
  const std::string path = s.folder() + "/end.ps";
  ASSERT_TRUE(PSOPEN(path));
  ENPLO2();
  EXPECT_TRUE(PSCLOS());
  EXPECT_EQ(read_file(path), "grestore\nshowpage % Allowed by EPS!\n%%Trailer\n");
  EXPECT_FALSE(PSCLOS());  // nothing open
  EXPECT_FALSE(PSOPEN(s.folder() + "/no/such/folder/x.ps"));
}

TEST(Toolbar, NineButtonsOfFortyNinePixels) {
  ScriptedSession s("");
  int ybar[10];
  RIGBAR(9, 9, ybar);
  EXPECT_EQ(ybar[0], 479);
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(ybar[i - 1] - ybar[i], i == 1 ? 50 : 49);
  EXPECT_EQ(ybar[1], 429);
  EXPECT_EQ(ybar[9], 37);
  Framebuffer& fb = plat().fb();
  EXPECT_EQ(fb.at(630, 455), 6);  // button 1, odd
  EXPECT_EQ(fb.at(630, 400), 4);  // button 2, even
  EXPECT_EQ(fb.at(630, 60), 6);   // button 9
  // Closed ranges tested from button 1 up: an edge row goes to the lower
  // button; rows above the top button belong to none.
  EXPECT_EQ(bar_button_closed(9, ybar, 479), 1);
  EXPECT_EQ(bar_button_closed(9, ybar, 429), 1);
  EXPECT_EQ(bar_button_closed(9, ybar, 428), 2);
  EXPECT_EQ(bar_button_closed(9, ybar, 380), 2);
  EXPECT_EQ(bar_button_closed(9, ybar, 37), 9);
  EXPECT_EQ(bar_button_closed(9, ybar, 36), 0);
}

TEST(Toolbar, PressesAreTakenByTheDrawingAreaOrTheToolbarAtTheirEdges) {
  auto press = [](int x, int y) { return MouseState{x, y, MOUSE_LEFT}; };
  // The heading's edge row 35 belongs to neither the drawing area nor the
  // rows below the heading, but the toolbar takes it.
  EXPECT_TRUE(in_drawing_area(press(499, 36)));
  EXPECT_FALSE(in_drawing_area(press(500, 36)));
  EXPECT_FALSE(in_drawing_area(press(0, 35)));
  EXPECT_TRUE(on_toolbar(press(500, 35)));
  EXPECT_FALSE(on_toolbar(press(500, 34)));
  EXPECT_FALSE(on_toolbar(press(499, 479)));
  EXPECT_FALSE(below_heading(press(560, 35)));
  EXPECT_TRUE(below_heading(press(560, 36)));
}

// Points far beyond the page (a Gauss point at 1E+300) and texts with any
// bytes: every number stays a plain number within the reach, the part of a
// line on the page keeps its direction, every text is a well-formed string.
TEST(PostScriptRecords, HugeValuesAndOddTextsStayPostScript) {
  ScriptedSession s("");
  const std::string path = s.folder() + "/huge.ps";
  double cs;
  STPLOT(0, 1, 0, 1, cs, 1);  // 530 points per unit
  ASSERT_TRUE(PSOPEN(path));
  set_ps_mode(true);
  JOINP1(0, 0, 1.0e300, 0);        // along the x axis, cut at the reach
  JOINP1(1.0e300, 5, 2.0e300, 5);  // wholly beyond it: nothing
  JOINP1(0, 0, std::nan(""), 1);   // not finite: nothing
  const double xs[3] = {0, 1.0e300, 0}, ys[3] = {0, 0, 1};
  FILPOL(3, xs, ys, 3);
  PSLAB(1.0e300, 0, "far", AL_LEFT);  // beyond the page: left out
  PSLAB(0, 0, std::string("a\\b\n\xe9") + '\0', AL_LEFT);
  PSFILL(std::nan(""), 2, -1);
  set_ps_mode(false);
  ASSERT_TRUE(PSCLOS());
  const std::vector<std::string> want = {
      "n 0.0 0.0 m 20000.0 0.0 l sr",
      "n 0.0 0.0 m",
      "10000.0 0.0 r -10000. 530.0 r",
      "ggg",
      "/Helvetica-Bold findfont 10.0 scalefont setfont",
      "0.0 0.0 m (a\\\\b\\012\\351\\000) show",
      "/fillcolory [ 1.00 1.00 0.00] def",
  };
  EXPECT_EQ(lines_of(read_file(path)), want);
  EXPECT_TRUE(picture_box_fits(-1.0e30, 1.0e30, 0, 1));
  EXPECT_FALSE(picture_box_fits(0, 1.0e300, 0, 1));
  EXPECT_FALSE(picture_box_fits(0, 1, std::nan(""), 1));
}

// A coordinate as the records carry it, made the general way: C's correctly
// rounded one-decimal form, or the whole number and its point when that is
// wider than the field; empty when neither fits (no coordinate is that wide).
std::string tenths_by_printf(double v, int w) {
  char text[64];
  std::snprintf(text, sizeof text, "%.1f", v);
  if (static_cast<int>(std::strlen(text)) > w) std::snprintf(text, sizeof text, "%.0f.", v);
  return static_cast<int>(std::strlen(text)) > w ? "" : text;
}

std::string tenths(double v, int w) {
  char text[64];
  return std::string(text, put_tenths(text, v, w));
}

// The fast form of a coordinate against C's rounding: ties of the binary
// value (x.25, x.75), their neighbours, signed zeros, values that round to
// zero, the widths' edges at the reach and random values of every size.
TEST(PostScriptNumbers, TenthsAsCRoundsThem) {
  std::vector<double> vs = {0.0, -0.0, 0.04, -0.04, -0.05, 0.05, 0.15, 0.25, -0.25, 0.35, 0.45,
                            0.95, 1.25, 2.75, 9999.95, -9999.95, 9999.94, -9999.96, 20000.0,
                            -20000.0, 99999.95, 1e-300, -1e-300, 123456.78, 4194303.75};
  for (int k = 0; k < 4000; ++k) vs.push_back(k * 0.25 - 500);  // every quarter a tie or exact
  unsigned long seed = 12345;
  auto next = [&] { return (seed = seed * 6364136223846793005UL + 1442695040888963407UL) >> 11; };
  for (int k = 0; k < 30000; ++k) {
    const double unit = static_cast<double>(next()) / static_cast<double>(1UL << 53);
    const double v = (unit - 0.5) * std::pow(10.0, static_cast<double>(next() % 11) - 4);
    vs.push_back(v);
    vs.push_back(std::round(v * 20) / 20);  // near the half-tenths
  }
  const size_t plain = vs.size();
  for (size_t i = 0; i < plain; ++i) {
    vs.push_back(std::nextafter(vs[i], 1e9));
    vs.push_back(std::nextafter(vs[i], -1e9));
  }
  for (int k = -200000; k <= 200000; ++k) vs.push_back(k / 10.0);  // every tenth of the reach
  int wrong = 0;
  for (double v : vs)
    for (int w : {6, 7, 12})
      if (!tenths_by_printf(v, w).empty() && tenths(v, w) != tenths_by_printf(v, w) &&
          ++wrong < 10)
        ADD_FAILURE() << v << " in " << w << ": " << tenths(v, w) << " not "
                      << tenths_by_printf(v, w);
  EXPECT_EQ(wrong, 0);
}

// A picture larger than what is gathered before it goes to the file: every
// record whole and in order, a polygon's moves five to a record, 0.0 and
// -0.0 each as itself, a label longer than the gathering keeps every byte.
TEST(PostScriptRecords, LargePictureComesOutWhole) {
  ScriptedSession s("");
  const std::string path = s.folder() + "/large.ps";
  double cs;
  STPLOT(0, 1000, 0, 1000, cs, 1);  // 0.53 points per unit
  ASSERT_TRUE(PSOPEN(path));
  set_ps_mode(true);
  const double k = plot_state().psscale;
  auto held = [k](double v) { return std::round(v * k * 10) / 10; };
  std::vector<std::string> want;
  std::vector<double> xs(3001), ys(3001);
  for (int i = 0; i <= 3000; ++i) {  // rounded both ways, and to -0.0
    xs[i] = i % 7 - 3.05;
    ys[i] = i % 3 == 0 ? -0.05 : i % 3 == 1 ? 0 : 1;
  }
  for (int i = 0; i < 14000; ++i) {  // more than one piece of what is gathered
    JOINP1(i * 0.1, 3, 1000 - i * 0.1, -3);
    want.push_back("n " + tenths_by_printf(i * 0.1 * k, 7) + " 1.6 m " +
                   tenths_by_printf((1000 - i * 0.1) * k, 7) + " -1.6 l sr");
    if (i % 2000 == 0) {
      FILPOL(3001, xs.data(), ys.data(), 3);
      want.push_back("n " + tenths_by_printf(held(xs[0]), 7) + " " +
                     tenths_by_printf(held(ys[0]), 7) + " m");
      std::string moves;
      for (int j = 1; j <= 3000; ++j) {
        moves += tenths_by_printf(held(xs[j]) - held(xs[j - 1]), 7) + " " +
                 tenths_by_printf(held(ys[j]) - held(ys[j - 1]), 7) + " r";
        moves += j % 5 == 0 ? "\n" : " ";
      }
      for (const std::string& l : lines_of(moves)) want.push_back(l);
      want.push_back("ggg");
    }
  }
  PSLAB(0, 0, "+", AL_LEFT);  // the same coordinate with its sign: kept apart
  PSLAB(-0.0, 0, "-", AL_LEFT);
  want.push_back("/Helvetica-Bold findfont 10.0 scalefont setfont");
  want.push_back("0.0 0.0 m (+) show");
  want.push_back("-0.0 0.0 m (-) show");
  const std::string text(100000, '(');
  PSLAB(0, 0, text, AL_LEFT);
  std::string escaped;
  for (int i = 0; i < 100000; ++i) escaped += "\\(";
  want.push_back("0.0 0.0 m (" + escaped + ") show");
  set_ps_mode(false);
  ASSERT_TRUE(PSCLOS());
  EXPECT_EQ(lines_of(read_file(path)), want);
}
