#include "toolbar.h"

#include <cmath>

#include "mesh_model.h"
#include "platform/platform.h"
#include "plot.h"
#include "records.h"

namespace vortan {

void RIGBAR(int n, int active, int* ybar) {
  Framebuffer& fb = plat().fb();
  fb.fill_rect(500, 36, 638, 478, 6);
  if (n < 1) n = 1;
  const int h = static_cast<int>(std::lround(445.0 / n));
  ybar[0] = 479;
  for (int i = 1; i <= n; ++i) {
    ybar[i] = 478 - i * h;
    if (i <= active) {
      int colour = (i % 2 == 1) ? 6 : 4;
      fb.fill_rect(500, std::max(ybar[i], 36), 638, std::min(ybar[i - 1], 478), colour);
    }
  }
  // A dark edge between buttons so the bands read as separate buttons.
  for (int i = 1; i < n; ++i) fb.line(500, ybar[i], 638, ybar[i], 0);
  plat().graphics_update();
}

void BARLAB(int i, const int* ybar, const std::string& label) {
  plat().fb().text(503, ybar[i] + 4, label, 15);
  plat().graphics_update();
}

void HEADNG(const std::string& text) {
  Framebuffer& fb = plat().fb();
  fb.fill_rect(0, 0, 639, 33, 0);
  fb.line(0, 34, 639, 34, 15);
  std::string t = text.substr(0, text.find_last_not_of(' ') + 1);
  fb.text(5, 25, t, 15, 1, TextAnchor::Baseline);
  plat().note_heading(t);
  plat().graphics_update();
}

void plot_heading(const std::string& text) { HEADNG(text.substr(0, TITLE_ROOM)); }

void CURSRD(int ix, int iy) {
  double x, y;
  PXLMAP(ix, iy, x, y);
  show_cursor(x, y);
}

void show_cursor(double x, double y) {
  // Values that round to zero are shown as 0.000, not -0.000.
  if (std::fabs(x) < 0.0005) x = 0.0;
  if (std::fabs(y) < 0.0005) y = 0.0;
  Framebuffer& fb = plat().fb();
  fb.fill_rect(300, 460, 498, 478, BACKGROUND);
  fb.text(300, 463, "Cursor: (" + fmt_F(x, 8, 3) + "," + fmt_F(y, 8, 3) + ")", 15);
  plat().graphics_update();
}

MouseState button_down(bool readout) {
  for (;;) {
    MouseState s = plat().mouse_poll();
    if (readout) CURSRD(s.x, s.y);
    if (s.buttons != 0) return s;
  }
}

MouseState next_press(bool readout) {
  MouseState s = button_down(readout);
  for (MouseState r = s; r.buttons != 0;) {
    r = plat().mouse_poll();
    if (readout) CURSRD(r.x, r.y);
  }
  return s;
}

int bar_button(int n, const int* ybar, int y) {
  if (n >= 2 && y > ybar[1]) return 1;
  if (n == 1 && y >= ybar[1]) return 1;
  for (int k = 2; k <= n; ++k)
    if (y >= ybar[k] && y <= ybar[k - 1]) return k;
  return 0;
}

int bar_button_closed(int n, const int* ybar, int y) {
  for (int k = 1; k <= n; ++k)
    if (y >= ybar[k] && y <= ybar[k - 1]) return k;
  return 0;
}

}  // namespace vortan
