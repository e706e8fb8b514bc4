#include "window_layout.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace vortan {

double ui_scale(int, int screen_h) { return std::max(1.0, screen_h / 1000.0); }

double fitting_scale(int sw, int sh, int text_w1) {
  const int margin = 10, frame = 40;  // as plan_windows leaves them
  const double by_w = (sw - 3 * margin - frame / 2) / static_cast<double>(SCREEN_W + text_w1);
  const double by_h = (sh - frame - 2 * margin) / (SCREEN_H + BASE_FONT_SIZE + 12.0);
  // In half steps, a little under the exact fit so that fonts rounded up
  // still fit: whole steps keep the picture's pixels sharp.
  // Beyond twice its size the picture grows only with the screen's height,
  // where the text window's taller glyphs would stand out.
  const double fit = std::floor(2 * 0.98 * std::min(by_w, by_h)) / 2;
  return std::max(ui_scale(sw, sh), std::min(fit, 2.0));
}

int scaled(int size, double ui) { return static_cast<int>(std::lround(size * ui)); }

WindowPlan plan_windows(int sw, int sh, double ui, int text_min_w) {
  const int margin = 10, frame = 40;  // room for the window manager's frames
  WindowPlan p;
  // Exactly 4:3, so that the picture fills the window and every pixel of
  // it maps to the same point of the screen both ways.
  int gw = 4 * scaled(SCREEN_W / 4, ui), gh = 3 * scaled(SCREEN_H / 3, ui);
  // A picture taller than the screen shrinks to fit, keeping 4:3.
  if (gh > sh - frame - 2 * margin) {
    gh = std::max(SCREEN_H / 2, sh - frame - 2 * margin);
    gw = gh * 4 / 3;
  }
  const int text_w = sw - gw - 3 * margin - frame / 2;
  if (text_w >= text_min_w) {
    p.side_by_side = true;
    p.text = {margin, margin, text_w, std::max(200, sh - frame - 2 * margin)};
    p.graphics = {sw - gw - margin, margin, gw, gh};
  } else {
    p.text = {margin, margin, sw * 3 / 4, sh * 3 / 4};
    p.graphics = {std::max(0, (sw - gw) / 2), std::max(0, (sh - gh) / 2), gw, gh};
  }
  return p;
}

Rect fit_picture(int w, int h) {
  Rect r;
  r.w = std::min(w, h * 4 / 3);
  r.h = r.w * 3 / 4;
  r.x = (w - r.w) / 2;
  r.y = (h - r.h) / 2;
  return r;
}

bool window_to_pixel(const Rect& fit, int x, int y, int& px, int& py) {
  if (fit.w <= 0 || fit.h <= 0) return false;
  const long dx = x - fit.x, dy = y - fit.y;
  if (dx < 0 || dy < 0 || dx >= fit.w || dy >= fit.h) return false;
  // Pixel centres: the window point's centre over the picture's pixel grid.
  px = static_cast<int>((2 * dx + 1) * SCREEN_W / (2L * fit.w));
  py = static_cast<int>((2 * dy + 1) * SCREEN_H / (2L * fit.h));
  return true;
}

void pixel_to_window(const Rect& fit, int px, int py, int& x, int& y) {
  x = fit.x + static_cast<int>((2L * px + 1) * fit.w / (2 * SCREEN_W));
  y = fit.y + static_cast<int>((2L * py + 1) * fit.h / (2 * SCREEN_H));
}

namespace {

// Per destination column (or row): the two source pixels and the weight
// of the second, in 1/256.
struct Tap {
  int a, b, wb;
};

void taps(int dest, int src, std::vector<Tap>& t) {
  t.resize(dest);
  for (int i = 0; i < dest; ++i) {
    if (dest % src == 0) {
      // A whole factor repeats each pixel: sharp, as on a plain screen.
      t[i] = {i * src / dest, i * src / dest, 0};
      continue;
    }
    double u = std::clamp((i + 0.5) * src / dest - 0.5, 0.0, src - 1.0);
    int a = static_cast<int>(u);
    t[i] = {a, std::min(a + 1, src - 1), static_cast<int>(std::lround((u - a) * 256))};
  }
}

// The window's columns: their taps, and for each source column e the
// first window column whose second tap reaches e (w for e past the last).
struct ColumnMap {
  std::vector<Tap> t;
  int reaching[SCREEN_W + 1];
};

void column_map(int w, ColumnMap& m) {
  taps(w, SCREEN_W, m.t);
  int x = 0;
  for (int e = 0; e <= SCREEN_W; ++e) {
    while (x < w && m.t[x].b < e) ++x;
    m.reaching[e] = x;
  }
}

// A window row is blended from one key per source column: the pixel's
// index where one source row is shown, else the two indices, above and
// below, in one byte. A key stands for its colour blended down the column,
// times 256 in each channel, packed so that one multiplication weighs two
// channels: red at bit 0 and blue at bit 32 of one word, green in the
// other. A channel's blend stays under 2^24, so the channels never mix.
struct Packed {
  std::uint64_t rb, g;
};

Packed packed(Rgb c, int weight) {
  return {(c.r | static_cast<std::uint64_t>(c.b) << 32) * weight,
          static_cast<std::uint64_t>(c.g) * weight};
}

// Eight pixels of one colour as 24 bytes, from the key's packed blend.
struct Eight {
  std::uint64_t w[3];
};

Eight eight_of(Packed v) {
  const std::uint64_t r = ((v.rb + 128) >> 8) & 255, b = ((v.rb + (128ull << 32)) >> 40) & 255;
  const std::uint64_t p = r | ((v.g + 128) >> 8) << 8 | b << 16;
  return {{p | p << 24 | p << 48, p >> 16 | p << 8 | p << 32 | p << 56, p >> 8 | p << 16 | p << 40}};
}

// The keys of window rows blended at weight wy (0: single rows): key k is
// hi[k >> 4] + lo[k & 15]; the colours of runs of one key made once for
// the weight.
struct RowKeys {
  Packed hi[16], lo[16];
  Eight one[16];    // a single row's colours
  Eight pair[256];  // a blended row's, made as its keys are met
  int made[256];    // the weight pair[k] was made at
  int wy = -1;
  // Blends across two keys, as met: the keys, the weight across and the
  // row's weight (each 0 to 256) as the tag (0: empty, as the keys differ),
  // the colour's bytes in the value.
  static constexpr int BLENDS = 4096;
  struct Blend {
    std::uint64_t tag;
    std::uint32_t rgb;
  } blend[BLENDS];
};

// Window pixels [x0, x1) of the row in one colour, eight at a time: the
// last eight may run past x1, over pixels written afterwards, but never
// past the end of the picture.
void fill(std::uint8_t* row, int x0, int x1, const Eight& e, const std::uint8_t* end) {
  std::uint8_t* o = row + 3 * x0;
  std::uint8_t* const stop = row + 3 * x1;
  if (stop + 24 <= end) {
    do {
      std::memcpy(o, e.w, 24);
      o += 24;
    } while (o < stop);
    return;
  }
  for (; o < stop && o + 24 <= end; o += 24) std::memcpy(o, e.w, 24);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(e.w);
  for (int i = 0; o < stop; ++i) *o++ = bytes[i];
}

// The first source column from `from` on whose key is not k.
int run_end(const std::uint8_t* key, int from, std::uint8_t k) {
  const std::uint64_t all = 0x0101010101010101ull * k;
  int j = from + 1;
  for (; j + 8 <= SCREEN_W; j += 8) {
    std::uint64_t v;
    std::memcpy(&v, key + j, 8);
    v ^= all;
    if (v != 0)
      return j + (std::endian::native == std::endian::little ? std::countr_zero(v)
                                                             : std::countl_zero(v)) / 8;
  }
  while (j < SCREEN_W && key[j] == k) ++j;
  return j;
}

const Eight& run_colour(RowKeys& rk, std::uint8_t k) {
  if (rk.wy == 0) return rk.one[k & 15];
  if (rk.made[k] != rk.wy) {
    const Packed h = rk.hi[k >> 4], l = rk.lo[k & 15];
    rk.pair[k] = eight_of({h.rb + l.rb, h.g + l.g});
    rk.made[k] = rk.wy;
  }
  return rk.pair[k];
}

// The colour between keys ka and kb, kb weighing wb / 256, as bytes red,
// green and blue from the lowest.
std::uint32_t blend_across(const RowKeys& rk, std::uint8_t ka, std::uint8_t kb, int wb) {
  const Packed ha = rk.hi[ka >> 4], la = rk.lo[ka & 15];
  const Packed hb = rk.hi[kb >> 4], lb = rk.lo[kb & 15];
  const std::uint64_t wa = 256 - wb;
  const std::uint64_t rb = (ha.rb + la.rb) * wa + (hb.rb + lb.rb) * wb + (32768 | 32768ull << 32);
  const std::uint64_t g = (ha.g + la.g) * wa + (hb.g + lb.g) * wb + 32768;
  return static_cast<std::uint32_t>((rb >> 16 & 255) | (g >> 16 & 255) << 8 | (rb >> 48 & 255) << 16);
}

// One window row: runs of like keys in one colour, the columns between
// two keys blended across.
void blend_row(const std::uint8_t* key, RowKeys& rk, const ColumnMap& m, int w,
               std::uint8_t* out, const std::uint8_t* end) {
  // Held in locals: the bytes written might otherwise be the tables read.
  const Tap* const taps = m.t.data();
  const int* const reaching = m.reaching;
  RowKeys::Blend* const blends = rk.blend;
  const std::uint64_t row_tag = static_cast<std::uint64_t>(rk.wy) << 32;
  int x = 0;
  while (x < w) {
    const Tap t = taps[x];
    const std::uint8_t ka = key[t.a], kb = key[t.b];
    if (ka == kb) {
      const int stop = reaching[run_end(key, t.a, ka)];
      fill(out, x, stop, run_colour(rk, ka), end);
      x = stop;
      continue;
    }
    const std::uint64_t tag = static_cast<std::uint64_t>(ka | kb << 8 | t.wb << 16) | row_tag;
    RowKeys::Blend& b = blends[(tag * 0x9E3779B97F4A7C15ull) >> 52];
    if (b.tag != tag) b = {tag, blend_across(rk, ka, kb, t.wb)};
    std::uint8_t* o = out + 3 * x;
    if (o + 4 <= end) std::memcpy(o, &b.rgb, 4);  // the fourth byte is the next pixel's
    else for (int c = 0; c < 3; ++c) o[c] = static_cast<std::uint8_t>(b.rgb >> 8 * c);
    ++x;
  }
}

// The row's keys: single rows weigh their colours by 256, blended rows the
// upper by 256 - wy and the lower by wy.
void row_keys(const Rgb colour[16], int wy, RowKeys& rk) {
  rk.wy = wy;
  for (int i = 0; i < 16; ++i) {
    rk.hi[i] = wy == 0 ? Packed{0, 0} : packed(colour[i], 256 - wy);
    rk.lo[i] = packed(colour[i], wy == 0 ? 256 : wy);
  }
}

// The window rows made last, by their keys and weight.
struct RecentRows {
  static constexpr int N = 8;
  int y[N] = {-1, -1, -1, -1, -1, -1, -1, -1}, wy[N] = {};
  std::uint8_t key[N][SCREEN_W];
  int last = 0;
  // The row made of these keys at this weight; -1 when none, newest first.
  int find(const std::uint8_t* k, int w) const {
    for (int i = 0; i < N; ++i) {
      const int at = (last + N - i) % N;
      if (y[at] >= 0 && wy[at] == w && std::memcmp(key[at], k, SCREEN_W) == 0) return y[at];
    }
    return -1;
  }
  void keep(int row, const std::uint8_t* k, int w) {
    last = (last + 1) % N;
    y[last] = row;
    wy[last] = w;
    std::memcpy(key[last], k, SCREEN_W);
  }
};

}  // namespace

void scale_picture(const Framebuffer& fb, int w, int h, std::vector<std::uint8_t>& rgb) {
  if (w <= 0 || h <= 0) return rgb.clear();  // a window with no room shows nothing
  rgb.resize(static_cast<size_t>(w) * h * 3);
  auto cols = std::make_unique<ColumnMap>();
  column_map(w, *cols);
  std::vector<Tap> ty;
  taps(h, SCREEN_H, ty);
  Rgb colour[16];
  auto rk = std::make_unique<RowKeys>();
  for (int i = 0; i < 16; ++i) {
    colour[i] = fb.shown(i);
    rk->one[i] = eight_of(packed(colour[i], 256));
  }
  std::fill(std::begin(rk->made), std::end(rk->made), 0);
  for (auto& b : rk->blend) b.tag = 0;
  auto recent = std::make_unique<RecentRows>();
  const size_t stride = static_cast<size_t>(w) * 3;
  std::uint8_t* const end = rgb.data() + rgb.size();
  std::uint8_t pairs[SCREEN_W];
  for (int y = 0; y < h; ++y) {
    std::uint8_t* out = rgb.data() + y * stride;
    const std::uint8_t* r0 = fb.data() + static_cast<size_t>(ty[y].a) * SCREEN_W;
    const std::uint8_t* r1 = fb.data() + static_cast<size_t>(ty[y].b) * SCREEN_W;
    // Two alike rows blend to either of them: the row's own pixels are its keys.
    const bool one_row = ty[y].wb == 0 || r0 == r1 || std::memcmp(r0, r1, SCREEN_W) == 0;
    const int wy = one_row ? 0 : ty[y].wb;
    const std::uint8_t* key = r0;
    if (!one_row) {
      for (int j = 0; j < SCREEN_W; ++j)
        pairs[j] = static_cast<std::uint8_t>((r0[j] & 15) << 4 | (r1[j] & 15));
      key = pairs;
    }
    // Rows of the same keys at the same weight are alike.
    const int seen = recent->find(key, wy);
    if (seen >= 0) {
      std::memcpy(out, rgb.data() + seen * stride, stride);
      continue;
    }
    if (wy != rk->wy) row_keys(colour, wy, *rk);
    blend_row(key, *rk, *cols, w, out, end);
    recent->keep(y, key, wy);
  }
}

std::string save_picture_png(const Framebuffer& fb, int w, int h, const std::string& path,
                             Rect area) {
  if (w < 1 || h < 1) return "the picture has no size";
  std::vector<std::uint8_t> rgb;
  scale_picture(fb, w, h, rgb);
  if (area.w > 0 && area.h > 0) {
    // The part's pixels at the same scale, cut out of the whole.
    const int x0 = area.x * w / SCREEN_W, y0 = area.y * h / SCREEN_H;
    const int x1 = std::min(w, (area.x + area.w) * w / SCREEN_W);
    const int y1 = std::min(h, (area.y + area.h) * h / SCREEN_H);
    std::vector<std::uint8_t> cut;
    for (int y = y0; y < y1; ++y)
      cut.insert(cut.end(), rgb.begin() + (static_cast<size_t>(y) * w + x0) * 3,
                 rgb.begin() + (static_cast<size_t>(y) * w + x1) * 3);
    rgb.swap(cut);
    w = x1 - x0;
    h = y1 - y0;
    if (w < 1 || h < 1) return "the picture has no size";
  }
  std::string why;
  return write_rgb_png(path, w, h, rgb.data(), why) ? "" : why;
}

}  // namespace vortan
