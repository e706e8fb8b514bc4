#include "framebuffer.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

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

namespace {

// Whole-pixel floor and ceiling of v held to [-1, limit]: the same as
// std::floor and std::ceil for every value the screen can show, and safe
// for any finite value far outside it.
int floor_within(double v, int limit) {
  if (!(v > -1.0)) return -1;
  if (v > limit) return limit;
  const int t = static_cast<int>(v);
  return t - (t > v);
}
int ceil_within(double v, int limit) {
  if (!(v > -1.0)) return -1;
  if (v > limit) return limit;
  const int t = static_cast<int>(v);
  return t + (t < v);
}

// The nearest whole pixel of a vertex (halves away from zero), held to the
// range the plot routines map points to, so an outline's walk stays short.
int vertex_pixel(double v) {
  v = std::clamp(v, -32768.0, 32767.0);
  return static_cast<int>(v < 0 ? v - 0.5 : v + 0.5);
}

bool on_screen(int x, int y) { return x >= 0 && y >= 0 && x < SCREEN_W && y < SCREEN_H; }

// Bresenham from a pixel by (dx, dy), the far end drawn too, on a picture
// of rows SCREEN_W apart: visit(offset) for each pixel, by its offset from
// the first.
template <class Visit>
constexpr void bresenham(int dx, int dy, Visit visit) {
  const int ax = dx < 0 ? -dx : dx, ay = dy < 0 ? dy : -dy;
  const int sx = dx > 0 ? 1 : -1, sy = dy > 0 ? SCREEN_W : -SCREEN_W;
  const int end = dy * SCREEN_W + dx;
  int err = ax + ay, at = 0;
  for (;;) {
    visit(at);
    if (at == end) return;
    const int e2 = 2 * err;
    if (e2 >= ay) { err += ay; at += sx; }
    if (e2 <= ax) { err += ax; at += sy; }
  }
}

// The pixels of every line of at most SHORT_LINE pixels each way, made
// once: the sides of small polygons (contour bands a few pixels across)
// are drawn from here, the last pixel repeated to fill the list.
constexpr int SHORT_LINE = 4;
struct ShortLine {
  int offset[SHORT_LINE + 1] = {};
};
constexpr auto SHORT_LINES = [] {
  std::array<ShortLine, (2 * SHORT_LINE + 1) * (2 * SHORT_LINE + 1)> t{};
  for (int dy = -SHORT_LINE; dy <= SHORT_LINE; ++dy)
    for (int dx = -SHORT_LINE; dx <= SHORT_LINE; ++dx) {
      ShortLine& s = t[(dy + SHORT_LINE) * (2 * SHORT_LINE + 1) + dx + SHORT_LINE];
      int n = 0;
      bresenham(dx, dy, [&](int at) { s.offset[n++] = at; });
      for (int k = n; k <= SHORT_LINE; ++k) s.offset[k] = s.offset[n - 1];
    }
  return t;
}();

// A line whose two ends are on the screen, so every pixel between is, and
// none is tested: from the first end, at p, by (dx, dy).
inline void line_from(std::uint8_t* p, int dx, int dy, std::uint8_t c) {
  if (static_cast<unsigned>(dx + SHORT_LINE) <= 2 * SHORT_LINE &&
      static_cast<unsigned>(dy + SHORT_LINE) <= 2 * SHORT_LINE) {
    const ShortLine& s = SHORT_LINES[(dy + SHORT_LINE) * (2 * SHORT_LINE + 1) + dx + SHORT_LINE];
#pragma GCC unroll 5
    for (int k = 0; k <= SHORT_LINE; ++k) p[s.offset[k]] = c;
    return;
  }
  bresenham(dx, dy, [p, c](int at) { p[at] = c; });
}

inline void line_on_screen(std::uint8_t* pix, int x1, int y1, int x2, int y2, std::uint8_t c) {
  line_from(pix + y1 * SCREEN_W + x1, x2 - x1, y2 - y1, c);
}

// Rounding of crossings computed from different pieces of one shared edge.
constexpr double SLACK = 1e-6;

// The pixels of a scan line between two crossings, closed on both sides (a
// centre on the edge belongs to both polygons), held to the screen.
inline void span_between(double left, double right, int& a, int& b) {
  a = std::max(ceil_within(left - SLACK, SCREEN_W), 0);
  b = std::min(floor_within(right + SLACK, SCREEN_W), SCREEN_W - 1);
}

// Pixels a..b of a row set to c; a short span in one 8-byte blend.
inline void fill_span(std::uint8_t* row, int a, int b, std::uint8_t c) {
  const int len = b - a + 1;
  if (len <= 0) return;
  if (len <= 8 && a + 8 <= SCREEN_W) {
    std::uint64_t v;
    std::memcpy(&v, row + a, 8);
    v ^= (v ^ c * 0x0101010101010101ULL) & (~std::uint64_t{0} >> (64 - 8 * len));
    std::memcpy(row + a, &v, 8);
    return;
  }
  std::memset(row + a, c, static_cast<size_t>(len));
}

// Polygons of at most this many points whose outline lies on the screen
// (most contour bands) take the quick way.
constexpr int SMALL_POLYGON = 64;

// Each glyph's rows as byte masks over 8 pixels (byte k all ones when
// pixel k from the left is set), made once, with the rows that hold set
// pixels: a glyph wholly on the screen is drawn a row at a time, its 8
// pixels read, blended with the colour through the mask and written back.
struct GlyphMasks {
  int first = 0, last = 0;
  std::uint64_t row[FONT_H] = {};
};
constexpr auto GLYPH_MASKS = [] {
  std::array<GlyphMasks, 95> t{};
  for (int g = 0; g < 95; ++g) {
    t[g].first = FONT_H;
    for (int r = 0; r < FONT_H; ++r) {
      for (int k = 0; k < 8; ++k)
        if (FONT_GLYPHS[g][r] & (0x80 >> k)) t[g].row[r] |= std::uint64_t{0xFF} << (8 * k);
      if (t[g].row[r] != 0) t[g].first = std::min(t[g].first, r), t[g].last = r + 1;
    }
  }
  return t;
}();

void blend_glyph(std::uint8_t* at, const GlyphMasks& g, std::uint64_t colour8) {
  const int last = g.last;
  for (int r = g.first; r < last; ++r) {
    std::uint8_t* p = at + r * SCREEN_W;
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    v ^= (v ^ colour8) & g.row[r];
    std::memcpy(p, &v, 8);
  }
}

// Number labels (digits, a sign, a padding blank) drawn two glyphs at a
// time: each pair's rows as byte masks over 16 pixels, the first glyph's 7
// columns, the second's 7, then two clear bytes, so that a label's pairs,
// 14 pixels apart, are blended 16 pixels at once. Only the rows where these
// glyphs have pixels are kept.
constexpr char PAIR_CHARS[] = "0123456789- ";
constexpr int PAIR_SET = sizeof PAIR_CHARS - 1;
constexpr int PAIR_ROW0 = 2, PAIR_ROWS = 9;
struct PairRows {
  std::uint64_t row[PAIR_ROWS][2] = {};
};
constexpr auto PAIR_MASKS = [] {
  std::array<PairRows, PAIR_SET * PAIR_SET> t{};
  for (int a = 0; a < PAIR_SET; ++a)
    for (int b = 0; b < PAIR_SET; ++b)
      for (int r = 0; r < PAIR_ROWS; ++r) {
        const GlyphMasks& ga = GLYPH_MASKS[PAIR_CHARS[a] - 32];
        const GlyphMasks& gb = GLYPH_MASKS[PAIR_CHARS[b] - 32];
        // Column 7 of every glyph is clear: the second glyph starts at byte 7.
        t[a * PAIR_SET + b].row[r][0] = ga.row[PAIR_ROW0 + r] | gb.row[PAIR_ROW0 + r] << 56;
        t[a * PAIR_SET + b].row[r][1] = gb.row[PAIR_ROW0 + r] >> 8;
      }
  return t;
}();
// A character's place in PAIR_CHARS, or -1.
constexpr auto PAIR_INDEX = [] {
  std::array<signed char, 256> t{};
  t.fill(-1);
  for (int i = 0; i < PAIR_SET; ++i) t[static_cast<unsigned char>(PAIR_CHARS[i])] = i;
  return t;
}();
// The pair set's glyphs have no pixel outside the rows kept.
constexpr bool pair_rows_hold_all() {
  for (int i = 0; i < PAIR_SET; ++i)
    for (int r = 0; r < FONT_H; ++r)
      if ((r < PAIR_ROW0 || r >= PAIR_ROW0 + PAIR_ROWS) && GLYPH_MASKS[PAIR_CHARS[i] - 32].row[r])
        return false;
  return true;
}
static_assert(pair_rows_hold_all());

// The pair of two decimal digits 00 to 99, by their value.
constexpr auto DIGIT_PAIR = [] {
  std::array<std::uint8_t, 100> t{};
  for (int v = 0; v < 100; ++v) t[v] = static_cast<std::uint8_t>(v / 10 * PAIR_SET + v % 10);
  return t;
}();

using Bytes16 = std::uint8_t __attribute__((vector_size(16)));

// Blends one pair's rows into the picture at `at` (the cell's top left).
void blend_pair(std::uint8_t* at, const PairRows& m, Bytes16 colour16) {
  at += PAIR_ROW0 * SCREEN_W;
#pragma GCC unroll 9
  for (int r = 0; r < PAIR_ROWS; ++r, at += SCREEN_W) {
    Bytes16 v, k;
    std::memcpy(&v, at, 16);
    std::memcpy(&k, m.row[r], 16);
    v ^= (v ^ colour16) & k;
    std::memcpy(at, &v, 16);
  }
}

// Draws s at `at` by pairs for as long as its characters are in the pair
// set and the pair's 16 bytes stay on the row (`room` bytes to the right
// edge); the count of characters drawn.
size_t blend_by_pairs(std::uint8_t* at, std::string_view s, std::uint8_t colour, int room) {
  const size_t n = s.size();
  Bytes16 colour16;
  for (int i = 0; i < 16; ++i) colour16[i] = colour;
  size_t i = 0;
  for (; i < n && 7 * static_cast<long>(i) + 16 <= room; i += 2, at += 14) {
    const int a = PAIR_INDEX[static_cast<unsigned char>(s[i])];
    const int b = i + 1 < n ? PAIR_INDEX[static_cast<unsigned char>(s[i + 1])] : PAIR_SET - 1;
    if ((a | b) < 0) break;
    blend_pair(at, PAIR_MASKS[a * PAIR_SET + b], colour16);
  }
  return std::min(i, n);
}

// The count of digits of 0 <= v < 10^8, by comparisons.
int digits_below_1e8(unsigned v) {
  if (v < 10000) return v < 100 ? 1 + (v >= 10) : 3 + (v >= 1000);
  return v < 1000000 ? 5 + (v >= 100000) : 7 + (v >= 10000000);
}

// Number labels are painted rather than blended: for each colour, each
// pair's rows as what to keep of the picture (the bytes of its clear pixels
// all ones) and what to put on its set pixels; a row is then an and, an or
// and a store, one fewer step than the blend.
constexpr int PAIR_COUNT = PAIR_SET * PAIR_SET;
struct PairPaint {
  alignas(16) std::uint64_t keep[PAIR_ROWS][2] = {};
  std::uint64_t ink[PAIR_ROWS][2] = {};
};

// The pairs' paint in each colour, made when the colour is first used.
std::array<std::unique_ptr<PairPaint[]>, 16> g_paints;

[[gnu::noinline]] const PairPaint* make_paints(std::uint8_t c) {
  std::unique_ptr<PairPaint[]>& t = g_paints[c];
  t = std::make_unique<PairPaint[]>(PAIR_COUNT);
  for (int p = 0; p < PAIR_COUNT; ++p)
    for (int r = 0; r < PAIR_ROWS; ++r)
      for (int i = 0; i < 2; ++i) {
        t[p].keep[r][i] = ~PAIR_MASKS[p].row[r][i];
        t[p].ink[r][i] = PAIR_MASKS[p].row[r][i] & (c * 0x0101010101010101ULL);
      }
  return t.get();
}

const PairPaint* pair_paints(std::uint8_t c) {
  const PairPaint* t = g_paints[c & 15].get();
  return t ? t : make_paints(c & 15);
}

// Paints pair p of a label at `at` (the cell's top left).
void paint_pair(std::uint8_t* at, const PairPaint& pair) {
  const PairPaint& m = *std::assume_aligned<16>(&pair);
  at += PAIR_ROW0 * SCREEN_W;
#pragma GCC unroll 9
  for (int r = 0; r < PAIR_ROWS; ++r, at += SCREEN_W) {
    Bytes16 v, k, i;
    std::memcpy(&v, at, 16);
    std::memcpy(&k, m.keep[r], 16);
    std::memcpy(&i, m.ink[r], 16);
    v = (v & k) | i;
    std::memcpy(at, &v, 16);
  }
}

}  // namespace

// Inlined into its callers: a screen draws tens of thousands of labels.
[[gnu::always_inline]] inline bool Framebuffer::blend_number(int x, int y, unsigned u, int n,
                                                             int colour) {
  const int top = y - (FONT_H - 3);
  if (top < 0 || top + FONT_H > SCREEN_H || x < 0 || x + CELL_W * n + 9 > SCREEN_W) return false;
  const PairPaint* paints = pair_paints(static_cast<std::uint8_t>(colour & 15));
  // The pairs from the right: an odd count's last digit beside the blank.
  std::uint8_t* at = &pix_[top * SCREEN_W + x] + 14 * ((n - 1) / 2);
  int p = n % 2 ? u % 10 * PAIR_SET + PAIR_SET - 1 : DIGIT_PAIR[u % 100];
  unsigned w = n % 2 ? u / 10 : u / 100;
  for (int k = (n + 1) / 2;;) {
    paint_pair(at, paints[p]);
    if (--k == 0) break;
    p = DIGIT_PAIR[w % 100], w /= 100, at -= 14;
  }
  ++generation_;
  return true;
}

void Framebuffer::number(int x, int y, long v, int colour) {
  if (v >= 0 && v < 100000000 && blend_number(x, y, v, digits_below_1e8(v), colour)) return;
  char buf[24];
  text(x, y, std::string_view(buf, std::to_chars(buf, buf + sizeof buf, v).ptr - buf), colour, 1,
       TextAnchor::Baseline);
}

void Framebuffer::number_centred(int x, int y, long v, int colour) {
  if (v >= 0 && v < 100000000) {
    const int n = digits_below_1e8(v);
    if (blend_number(x - 4 * n, y, v, n, colour)) return;
  }
  number(x - 4 * decimal_digits(v), y, v, colour);
}

void Framebuffer::numbers_centred(std::span<const NumberLabel> labels) {
  for (const NumberLabel& l : labels) {
    if (l.v >= 0 && l.v < 100000000) {
      const int n = digits_below_1e8(l.v);
      if (blend_number(l.x - 4 * n, l.y, l.v, n, l.colour)) continue;
    }
    number_centred(l.x, l.y, l.v, l.colour);
  }
}

void Framebuffer::line(int x1, int y1, int x2, int y2, int colour) {
  // Bresenham; the far end is drawn too.
  const std::uint8_t c = static_cast<std::uint8_t>(colour & 15);
  // Differences and error in long, so no pair of ints can overflow them.
  const long dx = std::labs(long{x2} - x1), dy = -std::labs(long{y2} - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  long err = dx + dy;
  ++generation_;
  if (on_screen(x1, y1) && on_screen(x2, y2)) {
    line_on_screen(pix_.data(), x1, y1, x2, y2, c);
    return;
  }
  // Lines far outside the window are clipped by the pixel test; bound the
  // walk so a wild coordinate cannot stall the program.
  long steps = 0;
  const long max_steps = 4L * (SCREEN_W + SCREEN_H) + std::max(dx, -dy);
  for (;;) {
    if (on_screen(x1, y1)) pix_[y1 * SCREEN_W + x1] = c;
    if ((x1 == x2 && y1 == y2) || ++steps > max_steps) break;
    const long e2 = 2 * err;
    if (e2 >= dy) { err += dy; x1 += sx; }
    if (e2 <= dx) { err += dx; y1 += sy; }
  }
}

void Framebuffer::fill_rect(int x1, int y1, int x2, int y2, int colour) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max(x1, 0); y1 = std::max(y1, 0);
  x2 = std::min(x2, SCREEN_W - 1); y2 = std::min(y2, SCREEN_H - 1);
  const std::uint8_t c = static_cast<std::uint8_t>(colour & 15);
  for (int y = y1; x1 <= x2 && y <= y2; ++y)
    std::fill_n(&pix_[y * SCREEN_W + x1], x2 - x1 + 1, c);
  ++generation_;
}

void Framebuffer::fill_polygon(std::span<const double> xs, std::span<const double> ys,
                               int colour) {
  const size_t n = std::min(xs.size(), ys.size());
  if (n == 0) return;
  if (n <= SMALL_POLYGON && fill_small_polygon(xs.data(), ys.data(), static_cast<int>(n), colour))
    return;
  fill_polygon_general(xs.first(n), ys.first(n), colour);
}

// The same rule as the general way, with fixed lists: the vertices' nearest
// pixels found once (all on the screen), each scan line's crossings sorted
// in place, the outline drawn unclipped. False, having drawn nothing, when
// the polygon does not lie on the screen.
bool Framebuffer::fill_small_polygon(const double* xs, const double* ys, int n, int colour) {
  // A last point that repeats the first adds nothing: its edges are the
  // closing one, of no length, and the one before, the same without it.
  if (n > 1 && xs[n - 1] == xs[0] && ys[n - 1] == ys[0]) --n;
  int vx[SMALL_POLYGON], vy[SMALL_POLYGON], at[SMALL_POLYGON];
  double lo = ys[0], hi = ys[0];
  for (int i = 0; i < n; ++i) {
    // More than half a pixel inside the screen (never a NaN): the nearest
    // pixel, halves up, is on it.
    if (!((xs[i] > -0.5) & (xs[i] < SCREEN_W - 0.5) & (ys[i] > -0.5) & (ys[i] < SCREEN_H - 0.5)))
      return false;
    vx[i] = static_cast<int>(xs[i] + 0.5);
    vy[i] = static_cast<int>(ys[i] + 0.5);
    at[i] = vy[i] * SCREEN_W + vx[i];
    lo = std::min(lo, ys[i]);
    hi = std::max(hi, ys[i]);
  }
  const std::uint8_t c = static_cast<std::uint8_t>(colour & 15);
  const int ymin = std::max(ceil_within(lo, SCREEN_H), 0);
  const int ymax = std::min(floor_within(hi, SCREEN_H), SCREEN_H - 1);
  double cross[SMALL_POLYGON];
  for (int y = ymin; y <= ymax; ++y) {
    // Each edge counts on its half-open y range, as in the general way.
    int count = 0;
    for (int i = 0, p = n - 1; i < n; p = i++) {
      const double ya = ys[p], yb = ys[i];
      if ((ya <= y && yb > y) || (yb <= y && ya > y))
        cross[count++] = xs[p] + (y - ya) * (xs[i] - xs[p]) / (yb - ya);
    }
    for (int k = 1; k < count; ++k)  // insertion sort: a few crossings
      for (int j = k; j > 0 && cross[j] < cross[j - 1]; --j) std::swap(cross[j], cross[j - 1]);
    std::uint8_t* row = &pix_[y * SCREEN_W];
    // The crossings lie between the screen's first and last pixel centres,
    // half a pixel out at most: their whole pixels, as span_between finds
    // them, without its holding to the screen.
    for (int k = 0; k + 1 < count; k += 2) {
      const double left = cross[k] - SLACK, right = cross[k + 1] + SLACK;
      const int l = static_cast<int>(left), r = static_cast<int>(right);
      fill_span(row, std::max(l + (l < left), 0), std::min(r - (r > right), SCREEN_W - 1), c);
    }
  }
  // The outline; a side within one pixel after the first is that pixel,
  // already drawn as the end of the side before.
  std::uint8_t* const pix = pix_.data();
  line_from(pix + at[0], vx[n > 1] - vx[0], vy[n > 1] - vy[0], c);
  for (int i = 1; i < n; ++i) {
    const int j = i + 1 < n ? i + 1 : 0;
    if (at[j] != at[i]) line_from(pix + at[i], vx[j] - vx[i], vy[j] - vy[i], c);
  }
  ++generation_;
  return true;
}

void Framebuffer::fill_polygon_general(std::span<const double> xs, std::span<const double> ys,
                                       int colour) {
  const size_t n = std::min(xs.size(), ys.size());
  if (n == 0) return;
  // A polygon with a point that cannot be mapped is not drawn.
  double lo = ys[0], hi = ys[0];
  for (size_t i = 0; i < n; ++i) {
    if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) return;
    lo = std::min(lo, ys[i]);
    hi = std::max(hi, ys[i]);
  }
  const int ymin = std::max(ceil_within(lo, SCREEN_H), 0);
  const int ymax = std::min(floor_within(hi, SCREEN_H), SCREEN_H - 1);
  if (ymin <= ymax) fill_rows(xs.first(n), ys.first(n), ymin, ymax, colour);
  // The outline is part of the polygon, as on the original screens, so thin
  // polygons do not vanish.
  int x0 = vertex_pixel(xs[0]), y0 = vertex_pixel(ys[0]);
  const int first_x = x0, first_y = y0;
  for (size_t i = 0; i < n; ++i) {
    const int x1 = i + 1 < n ? vertex_pixel(xs[i + 1]) : first_x;
    const int y1 = i + 1 < n ? vertex_pixel(ys[i + 1]) : first_y;
    // A side within one pixel after the first is that pixel, already drawn
    // as the end of the side before.
    if (i == 0 || x1 != x0 || y1 != y0) line(x0, y0, x1, y1, colour);
    x0 = x1, y0 = y1;
  }
  ++generation_;
}

void Framebuffer::fill_rows(std::span<const double> xs, std::span<const double> ys, int ymin,
                            int ymax, int colour) {
  const size_t n = xs.size();
  // The crossings of one scan line, at most one an edge; the list is kept
  // between polygons, so that filling many small ones allocates nothing.
  std::vector<double>& cross = crossings_;
  if (cross.size() < n) cross.resize(n);
  const std::uint8_t c = static_cast<std::uint8_t>(colour & 15);
  for (int y = ymin; y <= ymax; ++y) {
    // Each edge counts on its half-open y range, so a vertex on the scan
    // line is met once by the edges that leave it upwards or downwards.
    size_t count = 0;
    for (size_t i = 0, p = n - 1; i < n; p = i++) {
      const double ya = ys[p], yb = ys[i];
      if ((ya <= y && yb > y) || (yb <= y && ya > y))
        cross[count++] = xs[p] + (y - ya) * (xs[i] - xs[p]) / (yb - ya);
    }
    if (count == 2) {
      if (cross[1] < cross[0]) std::swap(cross[0], cross[1]);
    } else {
      std::sort(cross.begin(), cross.begin() + count);
    }
    std::uint8_t* row = &pix_[y * SCREEN_W];
    for (size_t k = 0; k + 1 < count; k += 2) {
      int a, b;
      span_between(cross[k], cross[k + 1], a, b);
      for (int x = a; x <= b; ++x) row[x] = c;
    }
  }
}

int Framebuffer::decimal_digits(long v) {
  if (v < 0) return decimal_digits(v == LONG_MIN ? LONG_MAX : -v) + 1;
  return v < 10 ? 1 : v < 100 ? 2 : v < 1000 ? 3 : v < 10000 ? 4 : v < 100000 ? 5 : 5 + decimal_digits(v / 100000);
}

int Framebuffer::text_width(std::string_view s, int scale) {
  return static_cast<int>(s.size()) * CELL_W * std::max(scale, 1);
}

int Framebuffer::text_height(int scale) { return FONT_H * std::max(scale, 1); }

void Framebuffer::glyph(int left, int top, const std::uint8_t* rows, std::uint8_t colour,
                        int scale) {
  // Each row of the glyph is a bit mask; its runs of set bits are written
  // as spans, clipped to the screen once a span.
  for (int r = 0; r < FONT_H; ++r) {
    unsigned bits = rows[r];
    if (bits == 0) continue;
    const int y0 = std::max(top + r * scale, 0), y1 = std::min(top + (r + 1) * scale, SCREEN_H);
    if (y0 >= y1) continue;
    for (int c = 0; bits != 0;) {
      const int skip = std::countl_zero(static_cast<std::uint8_t>(bits << c));
      c += skip;
      const int run = std::countl_one(static_cast<std::uint8_t>(bits << c));
      const int xa = std::max(left + c * scale, 0);
      const int xb = std::min(left + (c + run) * scale, SCREEN_W);
      c += run;
      bits &= c >= 8 ? 0u : 0xFFu >> c;
      for (int y = y0; y < y1; ++y)
        for (int x = xa; x < xb; ++x) pix_[y * SCREEN_W + x] = colour;
    }
  }
}

void Framebuffer::text(int x, int y, std::string_view s, int colour, int scale,
                       TextAnchor anchor) {
  scale = std::max(scale, 1);
  // The glyphs' baseline lies 3 rows above the bottom of the cell.
  const int top = anchor == TextAnchor::Top ? y : y - (FONT_H - 3) * scale;
  const std::uint8_t c = static_cast<std::uint8_t>(colour & 15);
  // Text wholly off the screen is passed over at once.
  if (top >= SCREEN_H || top + FONT_H * scale <= 0 || x >= SCREEN_W) return;
  if (scale == 1 && top >= 0 && top + FONT_H <= SCREEN_H && x >= 0 &&
      x + text_width(s) + FONT_W - CELL_W <= SCREEN_W) {
    std::uint8_t* at = &pix_[top * SCREEN_W + x];
    // The glyphs the pairs leave are drawn one by one.
    const size_t paired = blend_by_pairs(at, s, c, SCREEN_W - x);
    at += CELL_W * paired;
    const std::uint64_t colour8 = c * 0x0101010101010101ULL;
    for (unsigned char ch : s.substr(paired)) {
      if (ch >= 32 && ch <= 126) blend_glyph(at, GLYPH_MASKS[ch - 32], colour8);
      at += CELL_W;
    }
    ++generation_;
    return;
  }
  int cx = x;
  for (unsigned char ch : s) {
    if (cx >= SCREEN_W) break;
    if (ch >= 32 && ch <= 126 && cx + 8 * scale > 0) glyph(cx, top, FONT_GLYPHS[ch - 32], c, scale);
    cx += CELL_W * scale;
  }
  ++generation_;
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
