#include "yield_zones.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "crosses.h"
#include "deformed_mesh.h"
#include "help_screens.h"
#include "platform/platform.h"
#include "plot.h"
#include "plots.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

namespace {

// Reads one integer typed in the text window after `prompt`, asking again
// until one is given.
int read_integer(const std::string& prompt) {
  for (;;) {
    WRTEXT(prompt);
    const auto t = free_tokens(READLN());
    long v;
    if (!t.empty() && free_int(t[0], v)) return static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
    WRLINE("Incorrect input: type an integer");
  }
}

const char* const YIELD_BUTTONS[5] = {"", "Continue", "Restore full mesh", "Zoom",
                                      "Another yield code"};

struct YieldPlot {
  const MeshModel& m;
  const ResultSet& r;
  int matsel = 0;
  int code = 1;
  double box[4] = {};
  MeshWindow frame{};
  bool zoomed = false;
  int ybar[5] = {};
};

void draw_picture(YieldPlot& p) {
  PLMSHO(p.m, p.matsel, p.m.coord, p.frame, p.zoomed, true, true);
  PLYLD(p.r, p.code, p.frame, p.zoomed);
}

// Polls the toolbar; true on Continue, false for another yield code.
bool run_toolbar(YieldPlot& p) {
  for (;;) {
    const MouseState s = next_press();
    if (!on_toolbar(s)) continue;
    const int b = bar_button(4, p.ybar, s.y);
    if (!(s.buttons & MOUSE_LEFT)) {
      if (b == 3) HPZOOM();
      if (b == 4) HPYLD();
      continue;
    }
    if (b == 1 || b == 2) {
      if (p.zoomed) {
        reframe(p.box[0], p.box[1], p.box[2], p.box[3], p.frame);
        result_toolbar(4, YIELD_BUTTONS, p.ybar);
      }
      p.zoomed = false;
      draw_picture(p);
      SLEEPZ(0.5);
      if (b == 1) return true;
    } else if (b == 3) {
      double x1, x2, y1, y2;
      zoom_box(p.frame, x1, x2, y1, y2);
      p.zoomed = true;
      reframe(x1, x2, y1, y2, p.frame);
      result_toolbar(4, YIELD_BUTTONS, p.ybar);
      draw_picture(p);
    } else if (b == 4) {
      return false;
    }
  }
}

}  // namespace

int PLYLD(const ResultSet& r, int code, const MeshWindow& frame, bool zoomed) {
  const bool screen = !ps_mode();
  if (screen) plat().mouse_show(false);
  SETCOL(15);
  const double half = 0.5 * plot_state().charsize;
  const int n = std::clamp(r.ngaus, 0, MGAUS);
  int marked = 0;
  for (int i = 1; i <= n; ++i) {
    if (r.iyield(i) != code) continue;
    const double* at = r.xgaus.row(i);
    const double x = at[1], y = at[2];
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    if (zoomed && !frame.holds(x, y)) continue;
    MARPT(x, y, half);
    ++marked;
  }
  if (screen) plat().mouse_show(true);
  return marked;
}

void YSPLAY(MeshModel& m, ResultSet& r, PlotWork&, const ViewState& v) {
  YieldPlot p{m, r, v.matsel};
  BOUNDS(m.npoin, m.coord, p.box[0], p.box[1], p.box[2], p.box[3]);
  for (;;) {
    SLEEPZ(0.2);
    p.code = ps_mode() ? read_integer("Yield code to plot: ") : PUTGI("Yield code to plot: ");
    result_window(m, p.frame);
    SMOUSE();
    p.zoomed = false;
    draw_picture(p);
    plat().fb().text(16, 463, "Yield code = " + fmt_I(p.code, 8), 15);
    result_toolbar(4, YIELD_BUTTONS, p.ybar);
    if (run_toolbar(p)) return;
  }
}

void PSYSTR(MeshModel& m, ResultSet& r, PlotWork&, const ViewState&) {
  const int code = read_integer("Enter the yield code to plot: ");
  MeshWindow frame;
  const bool zoomed = begin_result_picture(m, "VORTAN plots - yield zone", frame);
  PSREC("% original mesh");
  PLMESH(m, frame, zoomed, false, false);
  PSREC("% yield points  next");
  PLYLD(r, code, frame, zoomed);
  end_result_picture();
}

}  // namespace vortan
