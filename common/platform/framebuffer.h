// The graphics window's picture: 640 x 480 pixels of 16 palette indices.
// Both backends show this same picture, so what a test sees is what a user
// sees.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vortan {

constexpr int SCREEN_W = 640;
constexpr int SCREEN_H = 480;

struct Rgb {
  std::uint8_t r, g, b;
};

// A node or element number on the screen: v's text centred on pixel x as
// Framebuffer::number_centred draws it, its baseline on row y.
struct NumberLabel {
  int x, y;
  long v;
  int colour;
};

// Where a text string is placed relative to its (x, y) pixel.
enum class TextAnchor { Top, Baseline };

class Framebuffer {
 public:
  Framebuffer();

  void clear(int colour);
  void pixel(int x, int y, int colour);
  int at(int x, int y) const;
  void line(int x1, int y1, int x2, int y2, int colour);
  // Fills the closed rectangle with corners (x1, y1) and (x2, y2).
  void fill_rect(int x1, int y1, int x2, int y2, int colour);
  // Fills a polygon given by pixel vertices, which may lie between pixels
  // (the centre of pixel (x, y) is the point (x, y)). Even-odd rule; a pixel
  // whose centre lies on an edge is filled, so two polygons that share an
  // edge, even one broken at different points on each side, leave no pixel
  // between them. The outline through the nearest pixels is drawn too.
  void fill_polygon(std::span<const double> xs, std::span<const double> ys, int colour);
  // The same pixels by the general way, which fill_polygon takes for
  // polygons of many points or reaching off the screen; kept apart so that
  // the quick way for small ones can be checked against it.
  void fill_polygon_general(std::span<const double> xs, std::span<const double> ys, int colour);
  // Draws text with the built-in fixed font, magnified by `scale`.
  void text(int x, int y, std::string_view s, int colour, int scale = 1,
            TextAnchor anchor = TextAnchor::Top);
  // Draws the decimal number v as text(x, y, its digits, colour, 1,
  // TextAnchor::Baseline) does, without making the text.
  void number(int x, int y, long v, int colour);
  // The same with v's text centred on x as the screen's node and element
  // numbers are: it starts 4 pixels a character to the left of x.
  void number_centred(int x, int y, long v, int colour);
  // Each label as number_centred draws it, in order: a screen of numbers
  // at once.
  void numbers_centred(std::span<const NumberLabel> labels);
  // The characters of v's decimal text, its sign included.
  static int decimal_digits(long v);
  static int text_width(std::string_view s, int scale = 1);
  static int text_height(int scale = 1);

  // Palette: the standard EGA colours at start; an entry can be set from a
  // 6-bit EGA code or from red, green and blue directly.
  void set_palette_ega(int index, int ega_code);
  void set_palette_rgb(int index, Rgb c);
  Rgb palette(int index) const { return palette_[index & 15]; }
  void reset_palette();

  // The colours shown on the screen and in PNG files (never in PostScript):
  // the palette, or with high contrast on, other colours for the same
  // indices, so that every label reads at 4.5 : 1 or more on what it is
  // drawn on (see high_contrast_rgb).
  void set_high_contrast(bool on);
  bool high_contrast() const { return high_contrast_; }
  Rgb shown(int index) const;

  // Writes the picture through the palette as a PNG file, replacing the
  // file only when the whole is written; false with `why` said on failure.
  bool write_png(const std::string& path, std::string& why) const;

  // Bumped on every change, so a window backend knows when to redraw.
  unsigned long generation() const { return generation_; }
  const std::uint8_t* data() const { return pix_.data(); }

 private:
  std::vector<std::uint8_t> pix_;
  std::array<Rgb, 16> palette_;
  unsigned long generation_ = 0;
  bool high_contrast_ = false;
  std::vector<double> crossings_;  // fill_polygon's scan-line crossings

  bool fill_small_polygon(const double* xs, const double* ys, int n, int colour);
  void fill_rows(std::span<const double> xs, std::span<const double> ys, int ymin, int ymax,
                 int colour);
  // number()'s label of u, below 10^8, of n digits, by pairs of digits
  // where it lies wholly on the screen; false, with nothing drawn, where not.
  bool blend_number(int x, int y, unsigned u, int n, int colour);
  void glyph(int left, int top, const std::uint8_t* rows, std::uint8_t colour, int scale);
};

// Writes w x h RGB triples, row by row, as a PNG file, as write_png does.
bool write_rgb_png(const std::string& path, int w, int h, const std::uint8_t* rgb,
                   std::string& why);

// The high-contrast colour of palette entry `index` holding `c`. Entries at
// their standard colour take a fixed table: the drawing area (1) black, the
// heading strip (0) and the toolbar buttons (4, 6) mid-dark, so that white
// labels read on them and they read as labels on the drawing area, and the
// key strip (7) near white; every other colour light. An entry the program
// has set to a colour of its own (a contour band) is darkened until white
// labels read on it and it reads as a label on the key strip.
Rgb high_contrast_rgb(int index, Rgb c);
// WCAG's relative luminance and contrast ratio (1 to 21).
double relative_luminance(Rgb c);
double contrast_ratio(Rgb a, Rgb b);
// The standard colour of an index.
Rgb standard_rgb(int index);

// The RGB colour of a 6-bit EGA palette code: bits 0, 1, 2 add blue, green,
// red at two thirds; bits 3, 4, 5 add them at one third.
Rgb ega_code_rgb(int code);

}  // namespace vortan
