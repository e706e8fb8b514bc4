#include "plot.h"

#include <algorithm>
#include <cmath>

#include "platform/platform.h"

namespace vortan {

namespace {
PlotState g_plot;

void map_for_script(double x, double y, int& ix, int& iy) { MAPPXL(x, y, ix, iy); }
}  // namespace

PlotState& plot_state() { return g_plot; }

void STPLOT(double xmin, double xmax, double ymin, double ymax, double& charsize,
            double divisor) {
  PlotState& p = g_plot;
  p.xmin = static_cast<float>(xmin);
  p.xmax = static_cast<float>(xmax);
  p.ymin = static_cast<float>(ymin);
  p.ymax = static_cast<float>(ymax);
  p.xoff = p.yoff = 0;
  p.fontsize = 10;
  p.colour = 15;
  p.width = p.xmax - p.xmin;
  p.height = p.ymax - p.ymin;
  if (p.actscale <= 0) {
    plat().graphics_open();
    plat().fb().fill_rect(0, 34, 639, 479, 0);
    plat().graphics_update();
  }
  float big = std::max(p.width, p.height);
  if (big <= 0) big = 1;
  charsize = big * 0.1 / (divisor == 0 ? 1 : divisor);
  p.psscale = 530.0f / big;
  p.actscale = -p.psscale;
  plat().set_world_mapper(map_for_script);
}

void MAPPXL(double x, double y, int& ix, int& iy) {
  const PlotState& p = g_plot;
  double w = p.width != 0 ? p.width : 1, h = p.height != 0 ? p.height : 1;
  double fx = 480.0 / w * (x - p.xmin) + p.xoff;
  double fy = (p.ymax - y) * 480.0 / h + p.yoff;
  // Held to the 16-bit range the screen routines take.
  ix = static_cast<int>(std::lround(std::clamp(fx, -32768.0, 32767.0)));
  iy = static_cast<int>(std::lround(std::clamp(fy, -32768.0, 32767.0)));
}

void PXLMAP(int ix, int iy, double& x, double& y) {
  const PlotState& p = g_plot;
  double w = p.width != 0 ? p.width : 1, h = p.height != 0 ? p.height : 1;
  x = p.xmin + (ix - p.xoff) * w / 480.0;
  y = p.ymax - (iy - p.yoff) * h / 480.0;
}

double XTOPT(double x) { return (x - g_plot.xmin) * g_plot.psscale; }
double YTOPT(double y) { return (y - g_plot.ymin) * g_plot.psscale; }

}  // namespace vortan
