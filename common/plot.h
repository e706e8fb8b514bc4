// The plot state and the world-to-screen mappings shared by every drawing
// routine. The sign of the active scale decides where drawing goes:
// negative, the graphics window; positive, the open PostScript file.
#pragma once

namespace vortan {

struct PlotState {
  float xmin = 0, xmax = 1, ymin = 0, ymax = 1;  // world window
  float width = 1, height = 1;
  int xoff = 0, yoff = 0;      // pixel position of the window's corner
  float psscale = 530;         // points per world unit
  float actscale = -530;       // active scale
  short colour = 15;           // screen colour
  float fontsize = 10;         // PostScript label size in points
};

PlotState& plot_state();

// Sets the plot window, clears the drawing area, returns the character
// size max(width, height) x 0.1 / divisor.
void STPLOT(double xmin, double xmax, double ymin, double ymax, double& charsize,
            double divisor);
void MAPPXL(double x, double y, int& ix, int& iy);
void PXLMAP(int ix, int iy, double& x, double& y);
double XTOPT(double x);
double YTOPT(double y);

}  // namespace vortan
