// Where the windows stand and how big things are drawn on a desktop: one
// scale from the screen's size for every window, the two windows side by
// side where the screen is wide enough, and the 640 x 480 picture fitted to
// the graphics window at 4:3. Kept free of any toolkit so that it can be
// tested on its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framebuffer.h"

namespace vortan {

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

// The one scale of text, widgets and the picture: 1 on screens up to 1000
// pixels high, growing with the height above that.
double ui_scale(int screen_w, int screen_h);

// The largest scale, in half steps, at which the text window (`text_w1`
// wide at scale 1) and the picture stand side by side on the screen, and
// the picture under the screen's top; at most 2, never less than ui_scale.
double fitting_scale(int screen_w, int screen_h, int text_w1);

// Font size in pixels of the dialogs, status boxes and text window: its
// glyphs are as high as those of the graphics window's labels (8 x 13
// cells), so at any scale the texts of all windows match.
constexpr int BASE_FONT_SIZE = 12;
int scaled(int size, double ui);

struct WindowPlan {
  Rect text, graphics;
  bool side_by_side = false;
};

// The text window (at least `text_min_w` wide) on the left and the
// graphics window, the picture at `ui` times its size, on the right; where
// both do not fit, the text window takes three quarters of the screen and
// the graphics window stands in the middle over it.
WindowPlan plan_windows(int screen_w, int screen_h, double ui, int text_min_w);

// The largest 4:3 rectangle in a window of w x h, centred.
Rect fit_picture(int w, int h);
// The framebuffer pixel under window point (x, y); false outside the picture.
bool window_to_pixel(const Rect& fit, int x, int y, int& px, int& py);
// The window point at the middle of framebuffer pixel (px, py); maps back
// to (px, py) whenever the picture is at least 640 x 480.
void pixel_to_window(const Rect& fit, int px, int py, int& x, int& y);

// The picture in its shown colours as w x h RGB triples: whole factors
// repeat pixels, other sizes are interpolated so that lines stay smooth.
void scale_picture(const Framebuffer& fb, int w, int h, std::vector<std::uint8_t>& rgb);

// Saves the picture at w x h as a PNG file, or only the part of it that is
// `part` of the 640 x 480 picture (w 0: all of it): written beside the
// target and renamed over it only when complete. Empty when saved, else
// what failed.
std::string save_picture_png(const Framebuffer& fb, int w, int h, const std::string& path,
                             Rect part = {});

}  // namespace vortan
