// The toolkit-free parts of the desktop windows: presses kept for the polls,
// the windows' places and the picture's fit, and the dialog layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/dialog_layout.h"
#include "platform/press_queue.h"
#include "platform/window_layout.h"

using namespace vortan;

TEST(PressQueue, PressesMadeBetweenPollsAreTakenInOrderEachFollowedByItsRelease) {
  PressQueue q;
  MouseState pointer{7, 8, 0};
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(press_down(q, 10 * i, 100 + i, MOUSE_LEFT));
  for (int i = 0; i < 8; ++i) {
    MouseState down = press_poll(q, pointer);
    EXPECT_EQ(down.x, 10 * i);
    EXPECT_EQ(down.y, 100 + i);
    EXPECT_EQ(down.buttons, MOUSE_LEFT);
    MouseState up = press_poll(q, pointer);
    EXPECT_EQ(up.x, 10 * i);  // released where it went down
    EXPECT_EQ(up.buttons, 0);
  }
  MouseState idle = press_poll(q, pointer);
  EXPECT_EQ(idle.x, 7);
  EXPECT_EQ(idle.buttons, 0);
}

TEST(PressQueue, AFullQueueRefusesAndForgettingSaysHowManyWent) {
  PressQueue q;
  for (int i = 0; i < MAX_PRESSES; ++i) ASSERT_TRUE(press_down(q, i, i, MOUSE_RIGHT));
  EXPECT_FALSE(press_down(q, 1, 1, MOUSE_LEFT));
  EXPECT_EQ(press_poll(q, {}).buttons, MOUSE_RIGHT);
  EXPECT_EQ(press_forget(q), MAX_PRESSES - 1);
  EXPECT_EQ(press_poll(q, {}).buttons, 0);  // neither a press nor a pending release
}

TEST(WindowLayout, WideScreensSetTheWindowsSideBySideAndNarrowOnesOverlap) {
  for (auto [w, h] : {std::pair{1600, 1200}, std::pair{3840, 2160}}) {
    const double ui = ui_scale(w, h);
    WindowPlan p = plan_windows(w, h, ui, 700);
    ASSERT_TRUE(p.side_by_side) << w;
    EXPECT_LE(p.text.x + p.text.w, p.graphics.x);
    EXPECT_LE(p.graphics.x + p.graphics.w, w);
    EXPECT_NEAR(p.graphics.w, scaled(640, ui), 4);
    EXPECT_EQ(p.graphics.w * 3, p.graphics.h * 4);
  }
  // The largest scale in half steps that fits beside the text window (485
  // pixels wide at scale 1): 1920 x 1080 takes 1.5, not the 1.08 of its
  // height, and both windows still fit; the next half step would not.
  for (auto [w, h] : {std::pair{1920, 1080}, std::pair{2400, 1350}}) {
    const double ui = fitting_scale(w, h, 485);
    const WindowPlan p = plan_windows(w, h, ui, scaled(485, ui));
    EXPECT_TRUE(p.side_by_side) << w;
    EXPECT_LE(p.graphics.y + p.graphics.h + scaled(24, ui), h - 40) << w;
    EXPECT_GT(scaled(640, ui + 0.5) + scaled(485, ui + 0.5) + 50, w) << w;  // no room left
  }
  EXPECT_DOUBLE_EQ(fitting_scale(1920, 1080, 485), 1.5);
  EXPECT_DOUBLE_EQ(fitting_scale(2560, 1440, 485), 2.0);
  EXPECT_DOUBLE_EQ(fitting_scale(3840, 2160, 485), 2.16);  // its height's
  // A small screen keeps the scale of its height.
  EXPECT_DOUBLE_EQ(fitting_scale(1366, 768, 485), 1.0);
  EXPECT_DOUBLE_EQ(fitting_scale(800, 600, 485), 1.0);
  EXPECT_DOUBLE_EQ(ui_scale(3840, 2160), 2.16);
  EXPECT_FALSE(plan_windows(1024, 768, 1.0, 700).side_by_side);
}

TEST(WindowLayout, ThePictureFitsAt4To3AndEveryPixelMapsBackExactly) {
  Rect f = fit_picture(1000, 600);  // wider than 4:3: bands left and right
  EXPECT_EQ(f.w, 800);
  EXPECT_EQ(f.h, 600);
  EXPECT_EQ(f.x, 100);
  int px, py;
  EXPECT_FALSE(window_to_pixel(f, 99, 300, px, py));
  for (int w : {640, 768, 1000, 1382, 2560}) {
    Rect r = fit_picture(w, w * 3 / 4);
    for (int x = 0; x < SCREEN_W; x += 7) {
      int wx, wy;
      pixel_to_window(r, x, x % SCREEN_H, wx, wy);
      ASSERT_TRUE(window_to_pixel(r, wx, wy, px, py));
      ASSERT_EQ(px, x) << w;
      ASSERT_EQ(py, x % SCREEN_H) << w;
    }
  }
}

TEST(WindowLayout, WholeFactorsRepeatPixelsAndOthersBlend) {
  Framebuffer fb;
  fb.clear(0);
  fb.pixel(10, 10, 15);
  std::vector<std::uint8_t> rgb;
  scale_picture(fb, 1280, 960, rgb);
  auto at = [&](int w, int x, int y) { return rgb[(static_cast<size_t>(y) * w + x) * 3]; };
  EXPECT_EQ(at(1280, 20, 20), 255);
  EXPECT_EQ(at(1280, 21, 21), 255);
  EXPECT_EQ(at(1280, 22, 21), 0);
  scale_picture(fb, 960, 720, rgb);
  const int c = at(960, 15, 15);
  EXPECT_GT(c, 0);  // the white pixel spread over its neighbours
  EXPECT_LT(at(960, 16, 15), 255);
}

namespace {

// The picture as first scaled, pixel by pixel with floating taps: what the
// fast scaler must give exactly.
std::vector<std::uint8_t> reference_scale(const Framebuffer& fb, int w, int h) {
  auto tap = [](int i, int dest, int src, int& a, int& b) {
    if (dest % src == 0) return a = b = i * src / dest, 0;
    double u = std::clamp((i + 0.5) * src / dest - 0.5, 0.0, src - 1.0);
    a = static_cast<int>(u), b = std::min(a + 1, src - 1);
    return static_cast<int>(std::lround((u - a) * 256));
  };
  Rgb shown[16];
  for (int i = 0; i < 16; ++i) shown[i] = fb.shown(i);
  std::vector<std::uint8_t> rgb;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int xa, xb, ya, yb;
      const int wx = tap(x, w, SCREEN_W, xa, xb), wy = tap(y, h, SCREEN_H, ya, yb);
      const Rgb p[4] = {shown[fb.at(xa, ya)], shown[fb.at(xb, ya)], shown[fb.at(xa, yb)],
                        shown[fb.at(xb, yb)]};
      for (auto ch : {&Rgb::r, &Rgb::g, &Rgb::b}) {
        const int top = p[0].*ch * (256 - wx) + p[1].*ch * wx;
        const int bottom = p[2].*ch * (256 - wx) + p[3].*ch * wx;
        rgb.push_back(static_cast<std::uint8_t>((top * (256 - wy) + bottom * wy + 32768) >> 16));
      }
    }
  return rgb;
}

}  // namespace

TEST(WindowLayout, ScaledPictureMatchesThePixelByPixelBlendAtEverySize) {
  Framebuffer fb;
  fb.clear(0);
  fb.set_palette_rgb(5, Rgb{12, 200, 77});
  unsigned seed = 7;  // noise of few colours: like keys met at many weights
  for (int y = 300; y < 480; ++y)
    for (int x = 0; x < 640; ++x) fb.pixel(x, y, ((seed = seed * 1103515245 + 12345) >> 16) % 3);
  fb.fill_rect(0, 0, 639, 20, 5);
  fb.fill_rect(40, 100, 41, 300, 14);
  for (int i = 0; i < 12; ++i) fb.line(3 * i, 470, 620, 25 + 37 * i, i);
  fb.text(0, 470, "1234 Node 56 Element", 15);
  fb.text(100, 200, "ABC", 0, 3);
  const int sizes[][2] = {{640, 480}, {960, 720}, {1920, 1440}, {1280, 720},
                          {1382, 1037}, {321, 241}, {641, 479}, {1, 1}, {2000, 3},
                          {658, 517}};  // weights of 256 (lround of 255.5 and more)
  for (bool contrast : {false, true}) {
    fb.set_high_contrast(contrast);
    std::vector<std::uint8_t> rgb;
    for (const auto& s : sizes) {
      scale_picture(fb, s[0], s[1], rgb);
      const auto want = reference_scale(fb, s[0], s[1]);
      ASSERT_EQ(rgb.size(), want.size());
      const auto diff = std::mismatch(rgb.begin(), rgb.end(), want.begin());
      ASSERT_TRUE(diff.first == rgb.end())
          << s[0] << " x " << s[1] << " contrast " << contrast << ": byte "
          << diff.first - rgb.begin();
    }
  }
  std::vector<std::uint8_t> rgb(9);
  scale_picture(fb, -640, 480, rgb);  // a window squeezed to nothing
  EXPECT_TRUE(rgb.empty());
}

namespace {

DialogMeasure fixed_measure() {
  DialogMeasure m;
  m.text_w = [](const std::string& s) { return 8 * static_cast<int>(s.size()); };
  m.line_w = [](size_t, const std::string& s) { return 8 * static_cast<int>(s.size()); };
  m.line_h = [](size_t) { return 20; };
  m.field_w = [](const DialogField& f) { return 10 * f.width; };
  m.row_h = 24;
  m.gap = 8;
  m.tab = 64;
  return m;
}

bool beside(const DialogBox& label, const DialogBox& field) {
  return label.w > 0 && label.y == field.y && label.x + label.w <= field.x;
}

}  // namespace

TEST(DialogLayout, HeadsStandOverTheirColumnsAndLabelsBesideTheirFields) {
  DialogSpec d;
  d.lines = {DialogLine{"Define element type by no. of sides and nodes"},
             DialogLine{.text = "No. of  sides", .red = true, .heads = true},
             DialogLine{.text = "No. of nodes", .red = true, .heads = true}};
  d.fields = {integer_field("", 1, 1, 4, 3), integer_field("", 1, 1, 8, 3),
              integer_field("Material type = ", 1, 1, 8, 3)};
  d.fields[0].column = 1;
  d.fields[1].column = 2;
  DialogLayout l = layout_dialog(d, fixed_measure());
  const DialogBox& h1 = l.line_parts[1][0];
  const DialogBox& h2 = l.line_parts[2][0];
  EXPECT_EQ(h1.y, h2.y);  // one row of heads
  EXPECT_EQ(l.fields[0].x, h1.x);
  EXPECT_EQ(l.fields[1].x, h2.x);
  EXPECT_GE(h2.x, h1.x + h1.w);
  EXPECT_EQ(l.fields[0].y, l.fields[1].y);
  EXPECT_GT(l.fields[0].y, h1.y);
  EXPECT_TRUE(beside(l.labels[2], l.fields[2]));
  EXPECT_GT(l.fields[2].y, l.fields[0].y);  // reading order kept: top to bottom
}

TEST(DialogLayout, TabsAlignPartsNotesFollowTheirFieldsAndLabelsMayHeadAColumn) {
  DialogSpec d;
  d.lines = {DialogLine{.text = "Local node no.\tGlobal node no.", .heads = true},
             DialogLine{.text = "Number new nodes starting from 9", .after_fields = 2}};
  for (int k = 1; k <= 2; ++k) {
    d.fields.push_back(integer_field(std::to_string(k), 0, 1, 99, 6));
    d.fields.back().column = 2;
  }
  DialogLayout l = layout_dialog(d, fixed_measure());
  ASSERT_EQ(l.line_parts[0].size(), 2u);
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(l.labels[k].x, l.line_parts[0][0].x);  // the local number under its head
    EXPECT_EQ(l.fields[k].x, l.line_parts[0][1].x);
  }
  EXPECT_GT(l.fields[1].y, l.fields[0].y);  // one row per node
  EXPECT_GT(l.line_parts[1][0].y, l.fields[1].y);  // the note after the fields

  DialogSpec t;
  t.lines = {DialogLine{"a\tb"}};
  DialogLayout tl = layout_dialog(t, fixed_measure());
  EXPECT_EQ(tl.line_parts[0][1].x, 64);  // the next tab stop, no glyph
}

TEST(DialogLayout, FieldsOnOneRowAndRunsOfLabelledRowsLineUp) {
  DialogSpec d;
  d.fields = {real_field("X-coord = ", 0, 10), real_field("Y = ", 0, 10),
              integer_field("Fixity code = ", 0, 0, 1, 1), integer_field("", 0, 0, 1, 1)};
  d.fields[3].joins_row = true;
  DialogLayout l = layout_dialog(d, fixed_measure());
  EXPECT_EQ(l.fields[0].x, l.fields[1].x);  // after the widest label of the run
  EXPECT_EQ(l.fields[0].x, l.fields[2].x);
  EXPECT_TRUE(beside(l.labels[1], l.fields[1]));
  EXPECT_EQ(l.fields[3].y, l.fields[2].y);
  EXPECT_GT(l.fields[3].x, l.fields[2].x + l.fields[2].w);
}

TEST(DialogLayout, TabsInLabelsLineTheirPartsUpDownTheRows) {
  // "Initial timestep DTINT<tab>= " above "Final time TTEND<tab>= ": the
  // names at the left, the "=" of both at one stop past the longer name.
  DialogSpec d;
  d.fields = {real_field("Initial timestep DTINT\t= ", 0.001, 10),
              real_field("Final time TTEND\t= ", 100, 10)};
  DialogLayout l = layout_dialog(d, fixed_measure());
  ASSERT_EQ(l.label_parts[0].size(), 2u);
  ASSERT_EQ(l.label_parts[1].size(), 2u);
  EXPECT_EQ(l.label_parts[0][0].x, 0);
  EXPECT_EQ(l.label_parts[0][1].x, l.label_parts[1][1].x);
  EXPECT_GT(l.label_parts[1][1].x, l.label_parts[0][0].x + l.label_parts[0][0].w);
  EXPECT_EQ(l.fields[0].x, l.fields[1].x);
  EXPECT_TRUE(beside(l.labels[0], l.fields[0]));
  EXPECT_GE(l.fields[0].x, l.label_parts[0][1].x + l.label_parts[0][1].w);
}

TEST(DialogLayout, RealsShowTheShortestTextThatReadsBackExactly) {
  auto shown = [](double v) { return field_text(real_field("", v, 10)); };
  EXPECT_EQ(shown(100), "100");  // not "1e+02"
  EXPECT_EQ(shown(-2500000), "-2500000");
  EXPECT_EQ(shown(0.25), "0.25");
  EXPECT_EQ(shown(1e-5), "1e-05");
  EXPECT_EQ(shown(1e20), "1e+20");
  for (double v : {1.0 / 3, 1.06357828783, 123456.789, -7e-3, 1e16, 0.0})
    EXPECT_EQ(std::strtod(shown(v).c_str(), nullptr), v) << shown(v);
}
