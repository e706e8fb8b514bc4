// The high-contrast colours: every label colour reads at 4.5 : 1 or more
// (WCAG's ratio) on each background it is drawn on, with the standard
// palette and with the contour bands; the standard colours stay the default
// and the PostScript colours are never touched.
#include <gtest/gtest.h>

#include <string>

#include "contour_engine.h"
#include "platform/platform.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::ScriptedSession;

namespace {

constexpr double WANTED = 4.5;

struct Pair {
  int label, background;
  const char* where;
};

void expect_readable(const Framebuffer& fb, const Pair& p, const std::string& palette) {
  const double r = contrast_ratio(fb.shown(p.label), fb.shown(p.background));
  EXPECT_GE(r, WANTED) << palette << ": label colour " << p.label << " on " << p.where << " ("
                       << p.background << ") is " << r << " : 1";
}

}  // namespace

TEST(HighContrast, WcagRatiosOfKnownColours) {
  EXPECT_NEAR(contrast_ratio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
  EXPECT_NEAR(contrast_ratio({255, 255, 255}, {255, 255, 255}), 1.0, 1e-9);
  // The prescribed node labels on the prescribed drawing area: about 1.6 to
  // 1.8 : 1, black at 1.6 : 1 and dark red at 1.8 : 1 or so.
  EXPECT_LT(contrast_ratio(standard_rgb(0), standard_rgb(1)), 1.8);
  EXPECT_LT(contrast_ratio(standard_rgb(4), standard_rgb(1)), 2.0);
}

TEST(HighContrast, EveryLabelReadsOnItsBackground) {
  ScriptedSession s("");
  Framebuffer& fb = plat().fb();
  fb.reset_palette();
  fb.set_high_contrast(true);
  std::vector<Pair> pairs;
  // Labels of any colour on the drawing area (node, element and value
  // labels; the frame's coordinates).
  for (int c = 0; c < 16; ++c)
    if (c != 1) pairs.push_back({c, 1, "the drawing area"});
  pairs.push_back({15, 0, "the heading strip"});
  pairs.push_back({14, 0, "the heading strip"});
  pairs.push_back({15, 6, "a brown toolbar button"});
  pairs.push_back({15, 4, "a red toolbar button"});
  for (const Pair& p : pairs) expect_readable(fb, p, "standard");

  // The contour bands: white labels on the filled key and the toolbar,
  // band-coloured labels on the grey strip of the line key (the yellow
  // title is drawn only with the standard colours back).
  set_contour_palette();
  std::vector<Pair> bands = {{15, 0, "the heading strip"},
                             {15, 6, "a toolbar button"},
                             {15, 4, "a toolbar button"}};
  for (int k = 0; k < 11; ++k) {
    bands.push_back({15, icont[k], "a band of the filled key"});
    bands.push_back({icont[k], 7, "the line key's strip"});
  }
  for (const Pair& p : bands) expect_readable(fb, p, "contours");
}

TEST(HighContrast, OnlyTheShownColoursChange) {
  ScriptedSession s("");
  Framebuffer& fb = plat().fb();
  fb.reset_palette();
  set_contour_palette();
  const Rgb band = fb.palette(icont[3]);
  const unsigned long before = fb.generation();
  fb.set_high_contrast(true);
  // The palette the program set, which its PostScript colours come from,
  // is as it was; the screen is redrawn.
  EXPECT_EQ(fb.palette(icont[3]).r, band.r);
  EXPECT_EQ(fb.palette(icont[3]).b, band.b);
  EXPECT_NE(fb.generation(), before);
  fb.set_high_contrast(false);
  for (int c = 0; c < 16; ++c) {
    EXPECT_EQ(fb.shown(c).r, fb.palette(c).r) << c;
    EXPECT_EQ(fb.shown(c).g, fb.palette(c).g) << c;
  }
}
