// The graphics window's picture: 640 x 480 pixels of 16 palette indices.
// Both backends show this same picture, so what a test sees is what a user
// sees.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vortan {

constexpr int SCREEN_W = 640;
constexpr int SCREEN_H = 480;

struct Rgb {
  std::uint8_t r, g, b;
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
  // Draws text with the built-in fixed font, magnified by `scale`.
  void text(int x, int y, const std::string& s, int colour, int scale = 1,
            TextAnchor anchor = TextAnchor::Top);
  static int text_width(const std::string& s, int scale = 1);
  static int text_height(int scale = 1);

  // Palette: the standard EGA colours at start; an entry can be set from a
  // 6-bit EGA code or from red, green and blue directly.
  void set_palette_ega(int index, int ega_code);
  void set_palette_rgb(int index, Rgb c);
  Rgb palette(int index) const { return palette_[index & 15]; }
  void reset_palette();

  // Writes the picture through the palette as a PNG file; false on failure.
  bool write_png(const std::string& path) const;

  // Bumped on every change, so a window backend knows when to redraw.
  unsigned long generation() const { return generation_; }
  const std::uint8_t* data() const { return pix_.data(); }

 private:
  std::vector<std::uint8_t> pix_;
  std::array<Rgb, 16> palette_;
  unsigned long generation_ = 0;
  std::vector<double> crossings_;  // fill_polygon's scan-line crossings
};

// Writes w x h RGB triples, row by row, as a PNG file; false on failure.
bool write_rgb_png(const std::string& path, int w, int h, const std::uint8_t* rgb);

// The RGB colour of a 6-bit EGA palette code: bits 0, 1, 2 add blue, green,
// red at two thirds; bits 3, 4, 5 add them at one third.
Rgb ega_code_rgb(int code);

}  // namespace vortan
