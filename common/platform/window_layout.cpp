#include "window_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

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

}  // namespace

void scale_picture(const Framebuffer& fb, int w, int h, std::vector<std::uint8_t>& rgb) {
  rgb.resize(static_cast<size_t>(w) * h * 3);
  if (w <= 0 || h <= 0) return;
  std::vector<std::uint8_t> src(static_cast<size_t>(SCREEN_W) * SCREEN_H * 3);
  const std::uint8_t* pix = fb.data();
  Rgb shown[16];
  for (int i = 0; i < 16; ++i) shown[i] = fb.shown(i);
  for (int i = 0; i < SCREEN_W * SCREEN_H; ++i) {
    const Rgb c = shown[pix[i] & 15];
    src[3 * i] = c.r;
    src[3 * i + 1] = c.g;
    src[3 * i + 2] = c.b;
  }
  std::vector<Tap> tx, ty;
  taps(w, SCREEN_W, tx);
  taps(h, SCREEN_H, ty);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* r0 = &src[static_cast<size_t>(ty[y].a) * SCREEN_W * 3];
    const std::uint8_t* r1 = &src[static_cast<size_t>(ty[y].b) * SCREEN_W * 3];
    const int wy = ty[y].wb;
    std::uint8_t* out = &rgb[static_cast<size_t>(y) * w * 3];
    for (int x = 0; x < w; ++x) {
      const int a = 3 * tx[x].a, b = 3 * tx[x].b, wx = tx[x].wb;
      for (int c = 0; c < 3; ++c) {
        const int top = r0[a + c] * (256 - wx) + r0[b + c] * wx;
        const int bottom = r1[a + c] * (256 - wx) + r1[b + c] * wx;
        out[3 * x + c] = static_cast<std::uint8_t>((top * (256 - wy) + bottom * wy + 32768) >> 16);
      }
    }
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
