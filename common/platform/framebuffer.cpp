#include "framebuffer.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "file_replace.h"
#include "font_data.h"

namespace vortan {

namespace {

// Each character cell is 7 pixels wide; the glyphs of the fixed font use
// columns 0..6 of their 8-bit rows.
constexpr int CELL_W = 7;

constexpr Rgb EGA_DEFAULT[16] = {
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0xAA}, {0x00, 0xAA, 0x00}, {0x00, 0xAA, 0xAA},
    {0xAA, 0x00, 0x00}, {0xAA, 0x00, 0xAA}, {0xAA, 0x55, 0x00}, {0xAA, 0xAA, 0xAA},
    {0x55, 0x55, 0x55}, {0x55, 0x55, 0xFF}, {0x55, 0xFF, 0x55}, {0x55, 0xFF, 0xFF},
    {0xFF, 0x55, 0x55}, {0xFF, 0x55, 0xFF}, {0xFF, 0xFF, 0x55}, {0xFF, 0xFF, 0xFF}};

// The standard colours as shown with high contrast, by index.
constexpr Rgb HIGH_CONTRAST[16] = {
    {0x75, 0x75, 0x75}, {0x00, 0x00, 0x00}, {0x00, 0xC8, 0x00}, {0x00, 0xC8, 0xC8},
    {0xE6, 0x1E, 0x1E}, {0xE6, 0x50, 0xE6}, {0xAF, 0x64, 0x00}, {0xFA, 0xFA, 0xFA},
    {0xAA, 0xAA, 0xAA}, {0x78, 0x96, 0xFF}, {0x55, 0xFF, 0x55}, {0x55, 0xFF, 0xFF},
    {0xFF, 0x6E, 0x6E}, {0xFF, 0x6E, 0xFF}, {0xFF, 0xFF, 0xDC}, {0xFF, 0xFF, 0xFF}};

// Darkest luminance a colour set by the program may keep: white labels read
// on it, and it reads as a label on the near-white key strip.
constexpr double DARK_ENOUGH = 0.17;

double linear(std::uint8_t v) {
  const double c = v / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double relative_luminance(Rgb c) {
  return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double contrast_ratio(Rgb a, Rgb b) {
  const double la = relative_luminance(a), lb = relative_luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb standard_rgb(int index) { return EGA_DEFAULT[index & 15]; }

Rgb high_contrast_rgb(int index, Rgb c) {
  index &= 15;
  const Rgb s = EGA_DEFAULT[index];
  if (c.r == s.r && c.g == s.g && c.b == s.b) return HIGH_CONTRAST[index];
  // Scaled down, keeping its hue, until dark enough.
  Rgb d = c;
  for (double k = 1.0; relative_luminance(d) > DARK_ENOUGH; k *= 0.97)
    d = Rgb{static_cast<std::uint8_t>(c.r * k), static_cast<std::uint8_t>(c.g * k),
            static_cast<std::uint8_t>(c.b * k)};
  return d;
}

Rgb Framebuffer::shown(int index) const {
  return high_contrast_ ? high_contrast_rgb(index, palette_[index & 15]) : palette_[index & 15];
}

void Framebuffer::set_high_contrast(bool on) {
  high_contrast_ = on;
  ++generation_;
}

Rgb ega_code_rgb(int code) {
  int b = ((code & 1) ? 0xAA : 0) + ((code & 8) ? 0x55 : 0);
  int g = ((code & 2) ? 0xAA : 0) + ((code & 16) ? 0x55 : 0);
  int r = ((code & 4) ? 0xAA : 0) + ((code & 32) ? 0x55 : 0);
  return Rgb{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
             static_cast<std::uint8_t>(b)};
}

Framebuffer::Framebuffer() : pix_(SCREEN_W * SCREEN_H, 0) { reset_palette(); }

void Framebuffer::reset_palette() {
  std::copy(std::begin(EGA_DEFAULT), std::end(EGA_DEFAULT), palette_.begin());
  ++generation_;
}

void Framebuffer::set_palette_ega(int index, int ega_code) {
  set_palette_rgb(index, ega_code_rgb(ega_code));
}

void Framebuffer::set_palette_rgb(int index, Rgb c) {
  palette_[index & 15] = c;
  ++generation_;
}

void Framebuffer::clear(int colour) {
  std::fill(pix_.begin(), pix_.end(), static_cast<std::uint8_t>(colour & 15));
  ++generation_;
}

void Framebuffer::pixel(int x, int y, int colour) {
  if (x < 0 || y < 0 || x >= SCREEN_W || y >= SCREEN_H) return;
  pix_[y * SCREEN_W + x] = static_cast<std::uint8_t>(colour & 15);
  ++generation_;
}

int Framebuffer::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= SCREEN_W || y >= SCREEN_H) return -1;
  return pix_[y * SCREEN_W + x];
}

void Framebuffer::line(int x1, int y1, int x2, int y2, int colour) {
  // Bresenham; the far end is drawn too.
  int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  // Lines far outside the window are clipped by the pixel test; bound the
  // walk so a wild coordinate cannot stall the program.
  long steps = 0;
  const long max_steps = 4L * (SCREEN_W + SCREEN_H) + std::max(dx, -dy);
  for (;;) {
    pixel(x1, y1, colour);
    if ((x1 == x2 && y1 == y2) || ++steps > max_steps) break;
    int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x1 += sx; }
    if (e2 <= dx) { err += dx; y1 += sy; }
  }
}

void Framebuffer::fill_rect(int x1, int y1, int x2, int y2, int colour) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max(x1, 0); y1 = std::max(y1, 0);
  x2 = std::min(x2, SCREEN_W - 1); y2 = std::min(y2, SCREEN_H - 1);
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) pix_[y * SCREEN_W + x] = static_cast<std::uint8_t>(colour & 15);
  ++generation_;
}

namespace {

// The nearest whole pixel of a vertex (halves away from zero).
int vertex_pixel(double v) { return static_cast<int>(v < 0 ? v - 0.5 : v + 0.5); }

}  // namespace

void Framebuffer::fill_polygon(std::span<const double> xs, std::span<const double> ys,
                               int colour) {
  const size_t n = std::min(xs.size(), ys.size());
  if (n == 0) return;
  const double lo = *std::min_element(ys.begin(), ys.begin() + n);
  const double hi = *std::max_element(ys.begin(), ys.begin() + n);
  const int ymin = static_cast<int>(std::max(std::ceil(lo), 0.0));
  const int ymax = static_cast<int>(std::min(std::floor(hi), SCREEN_H - 1.0));
  // The crossings of one scan line, at most one an edge; the list is kept
  // between polygons, so that filling many small ones allocates nothing.
  std::vector<double>& cross = crossings_;
  if (cross.size() < n) cross.resize(n);
  // Rounding of crossings computed from different pieces of one shared edge.
  constexpr double SLACK = 1e-6;
  const std::uint8_t c = static_cast<std::uint8_t>(colour & 15);
  for (int y = ymin; y <= ymax; ++y) {
    // Each edge counts on its half-open y range, so a vertex on the scan
    // line is met once by the edges that leave it upwards or downwards.
    size_t count = 0;
    for (size_t i = 0; i < n; ++i) {
      const size_t j = i + 1 < n ? i + 1 : 0;
      const double ya = ys[i], yb = ys[j];
      if ((ya <= y && yb > y) || (yb <= y && ya > y))
        cross[count++] = xs[i] + (y - ya) * (xs[j] - xs[i]) / (yb - ya);
    }
    std::sort(cross.begin(), cross.begin() + count);
    for (size_t k = 0; k + 1 < count; k += 2) {
      // Closed on both sides: a centre on the edge belongs to both polygons.
      const double a = std::max(std::ceil(cross[k] - SLACK), 0.0);
      const double b = std::min(std::floor(cross[k + 1] + SLACK), SCREEN_W - 1.0);
      for (int x = static_cast<int>(a); x <= static_cast<int>(b); ++x) pix_[y * SCREEN_W + x] = c;
    }
  }
  // The outline is part of the polygon, as on the original screens, so thin
  // polygons do not vanish.
  for (size_t i = 0; i < n; ++i) {
    const size_t j = i + 1 < n ? i + 1 : 0;
    line(vertex_pixel(xs[i]), vertex_pixel(ys[i]), vertex_pixel(xs[j]), vertex_pixel(ys[j]),
         colour);
  }
  ++generation_;
}

int Framebuffer::text_width(const std::string& s, int scale) {
  return static_cast<int>(s.size()) * CELL_W * std::max(scale, 1);
}

int Framebuffer::text_height(int scale) { return FONT_H * std::max(scale, 1); }

void Framebuffer::text(int x, int y, const std::string& s, int colour, int scale,
                       TextAnchor anchor) {
  scale = std::max(scale, 1);
  // The glyphs' baseline lies 3 rows above the bottom of the cell.
  const int top = anchor == TextAnchor::Top ? y : y - (FONT_H - 3) * scale;
  int cx = x;
  for (unsigned char ch : s) {
    if (ch >= 32 && ch <= 126) {
      const std::uint8_t* g = FONT_GLYPHS[ch - 32];
      for (int r = 0; r < FONT_H; ++r)
        for (int c = 0; c < 8; ++c)
          if (g[r] & (0x80 >> c))
            for (int dy = 0; dy < scale; ++dy)
              for (int dx = 0; dx < scale; ++dx)
                pixel(cx + c * scale + dx, top + r * scale + dy, colour);
    }
    cx += CELL_W * scale;
  }
}

namespace {

void append_png(png_structp png, png_bytep data, png_size_t n) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), n);
}

void flush_nothing(png_structp) {}

// An 8-bit PNG of h rows of `stride` bytes, made in memory so that it
// reaches the user's file through the safe writer like every other output.
// `palette` (16 entries) makes it a palette picture, else RGB. False when
// libpng fails.
bool encode_png(std::string& out, int w, int h, const png_color* palette, size_t stride,
                const std::uint8_t* rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, &out, append_png, flush_nothing);
  png_set_IHDR(png, info, w, h, 8, palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (palette) png_set_PLTE(png, info, palette, 16);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) png_write_row(png, const_cast<png_bytep>(rows + y * stride));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool write_encoded(const std::string& path, bool made, const std::string& bytes,
                   std::string& why) {
  if (!made) {
    why = "cannot write " + path + ": the picture could not be encoded";
    return false;
  }
  return replace_file(path, bytes, why);
}

}  // namespace

bool Framebuffer::write_png(const std::string& path, std::string& why) const {
  png_color pal[16];
  for (int i = 0; i < 16; ++i) {
    const Rgb c = shown(i);
    pal[i] = png_color{c.r, c.g, c.b};
  }
  std::string bytes;
  const bool made = encode_png(bytes, SCREEN_W, SCREEN_H, pal, SCREEN_W, pix_.data());
  return write_encoded(path, made, bytes, why);
}

bool write_rgb_png(const std::string& path, int w, int h, const std::uint8_t* rgb,
                   std::string& why) {
  std::string bytes;
  const bool made = encode_png(bytes, w, h, nullptr, static_cast<size_t>(w) * 3, rgb);
  return write_encoded(path, made, bytes, why);
}

}  // namespace vortan
