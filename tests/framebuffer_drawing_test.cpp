// The picture's drawing primitives against what they must draw, worked out
// here independently: text from the font's bits, wherever it falls; and
// polygons and lines whose points the screen cannot hold.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/font_data.h"
#include "platform/framebuffer.h"

using namespace vortan;

namespace {

// A background of stripes, so that a primitive that writes where it must
// not (or blanks what it passes over) shows.
void stripes(Framebuffer& fb) {
  for (int y = 0; y < SCREEN_H; ++y)
    for (int x = 0; x < SCREEN_W; ++x) fb.pixel(x, y, (x + 3 * y) % 7);
}

// The colour text of `s` at (x, y), top anchored, gives pixel (px, py):
// `colour` where a set bit of a glyph covers it, else `before`.
int expected_text_pixel(const std::string& s, int x, int y, int scale, int px, int py,
                        int colour, int before) {
  const int r = (py - y) / scale, dy = py - y;
  if (dy < 0 || r >= FONT_H) return before;
  int hit = before;
  for (size_t i = 0; i < s.size(); ++i) {
    const int left = x + static_cast<int>(i) * 7 * scale, dx = px - left;
    const unsigned char ch = static_cast<unsigned char>(s[i]);
    if (dx < 0 || dx >= 8 * scale || ch < 32 || ch > 126) continue;
    if (FONT_GLYPHS[ch - 32][r] & (0x80 >> (dx / scale))) hit = colour;
  }
  return hit;
}

}  // namespace

// Every label is the font's bits and nothing else: wholly on the screen,
// across each of its edges and corners, at scales 1 and 3, with characters
// outside the font passed over.
TEST(FramebufferText, LabelsAreTheFontsBitsWhereverTheyFall) {
  const std::string text = "N 12345 ~@g\x7f|";
  const int spots[][2] = {{40, 60},   {-20, 100}, {600, 200}, {300, -6},
                          {250, 473}, {-9, -4},   {560, 470}, {0, 0}};
  for (int scale : {1, 3})
    for (const auto& spot : spots) {
      Framebuffer fb, before;
      stripes(fb);
      stripes(before);
      fb.text(spot[0], spot[1], text, 14, scale);
      int wrong = 0;
      for (int y = 0; y < SCREEN_H; ++y)
        for (int x = 0; x < SCREEN_W; ++x)
          if (fb.at(x, y) != expected_text_pixel(text, spot[0], spot[1], scale, x, y, 14,
                                                 before.at(x, y)))
            ++wrong;
      EXPECT_EQ(wrong, 0) << "at (" << spot[0] << ", " << spot[1] << ") scale " << scale;
    }
  // The baseline anchor lifts the text by the glyphs' height above it.
  Framebuffer a, b;
  a.text(100, 100, "42", 9, 1, TextAnchor::Baseline);
  b.text(100, 100 - (FONT_H - 3), "42", 9);
  for (int y = 0; y < SCREEN_H; ++y)
    for (int x = 90; x < 130; ++x) ASSERT_EQ(a.at(x, y), b.at(x, y));
}

// Numbers, drawn two digits at a time, are the font's bits too: from their
// text, and from the number itself, with an odd and even count of digits,
// near the right edge (where the last pairs do not fit) and across edges.
TEST(FramebufferText, NumbersAreTheFontsBitsWhereverTheyFall) {
  const long numbers[] = {0, 7, 42, 305, 12345, 987654, 99999999, 100000000, -5, -1234567,
                          std::numeric_limits<long>::min()};
  const int spots[][2] = {{40, 60}, {600, 200}, {611, 300}, {626, 100}, {-3, 40}, {200, 476}};
  int wrong = 0;
  for (long v : numbers) {
    const std::string digits = std::to_string(v);
    EXPECT_EQ(Framebuffer::decimal_digits(v), static_cast<int>(digits.size())) << v;
    for (const std::string& text : {digits, " -" + digits + " 1"})
      for (const auto& spot : spots) {
        Framebuffer by_text, by_number, centred, before;
        stripes(by_text);
        stripes(by_number);
        stripes(centred);
        stripes(before);
        by_text.text(spot[0], spot[1], text, 11);
        by_number.number(spot[0], spot[1] + FONT_H - 3, v, 11);
        // Centred on a pixel 4 a character right of the text's start, in a
        // run of labels that covers it again.
        const int mid = spot[0] + 4 * static_cast<int>(digits.size());
        const NumberLabel run[] = {{mid, spot[1] + FONT_H - 3, v, 2}, {mid, spot[1] + FONT_H - 3, v, 11}};
        centred.numbers_centred(run);
        for (int y = 0; y < SCREEN_H; ++y)
          for (int x = 0; x < SCREEN_W; ++x) {
            const int want = expected_text_pixel(text, spot[0], spot[1], 1, x, y, 11, before.at(x, y));
            wrong += by_text.at(x, y) != want;
            if (text == digits) wrong += (by_number.at(x, y) != want) + (centred.at(x, y) != want);
          }
      }
  }
  EXPECT_EQ(wrong, 0);
}

// A polygon with a point that is not a number is not drawn; one reaching
// far beyond the screen fills the part the screen holds; a line between
// wild points stays a bounded walk. None may write outside the picture.
TEST(PolygonFill, PointsTheScreenCannotHoldAreSafe) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Framebuffer fb, before;
  stripes(fb);
  stripes(before);
  const std::vector<double> xs = {10, 200, nan}, ys = {10, 30, 300};
  fb.fill_polygon(xs, ys, 15);
  const std::vector<double> xs2 = {10, 200, 100}, ys2 = {10, 30, nan};
  fb.fill_polygon(xs2, ys2, 15);
  for (int y = 0; y < SCREEN_H; ++y)
    for (int x = 0; x < SCREEN_W; ++x) ASSERT_EQ(fb.at(x, y), before.at(x, y));

  // A triangle far wider than the screen below row 10: every row from 10
  // down is filled edge to edge, the rows above are not touched.
  const std::vector<double> wx = {-1e300, 1e300, 320}, wy = {10, 10, 1e300};
  fb.fill_polygon(wx, wy, 12);
  for (int y = 0; y < SCREEN_H; ++y)
    for (int x = 0; x < SCREEN_W; x += 7)
      ASSERT_EQ(fb.at(x, y), y >= 10 ? 12 : before.at(x, y)) << x << ", " << y;

  // Far beyond the screen: the visible part of the line is drawn.
  Framebuffer lines;
  lines.line(-30000, 100, 30000, 100, 5);
  EXPECT_EQ(lines.at(0, 100), 5);
  EXPECT_EQ(lines.at(639, 100), 5);
  EXPECT_EQ(lines.at(320, 101), 0);
}
