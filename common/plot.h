// The drawing primitives. Every picture is drawn in world coordinates
// through these routines; the sign of the active scale decides where it
// goes: negative, the graphics window (pixels); positive, the open
// PostScript file (points).
#pragma once

#include <algorithm>
#include <functional>
#include <string>

namespace vortan {

struct PlotState {
  float xmin = 0, xmax = 1, ymin = 0, ymax = 1;  // world window
  float width = 1, height = 1;
  int xoff = 0, yoff = 0;      // pixel position of the window's corner
  float psscale = 530;         // points per world unit
  float actscale = -530;       // active scale
  short colour = 15;           // screen colour
  float fontsize = 10;         // PostScript label size in points
  float charsize = 0.1f;       // character size last returned by STPLOT
};

PlotState& plot_state();

// Colour of the cleared drawing area.
constexpr int BACKGROUND = 1;

// The drawing area of the graphics window (toolbar and heading excluded).
constexpr int AREA_X1 = 0, AREA_X2 = 499, AREA_Y1 = 35, AREA_Y2 = 479;

// Sets the plot window, clears the drawing area when drawing to the screen,
// returns the character size max(width, height) x 0.1 / divisor. Drawing is
// switched to the screen; a caller writing PostScript switches it back.
void STPLOT(double xmin, double xmax, double ymin, double ymax, double& charsize,
            double divisor);
// Reads the label size from "top51bit.tex" in the working folder; 10 when the
// file is missing or holds no valid definition.
float font_size_from_tex(const std::string& path = "top51bit.tex");
void MAPPXL(double x, double y, int& ix, int& iy);
// The screen mapping of the current plot window: a world point to its
// pixel, unrounded (MAPPXL rounds it), held to the range the screen
// routines take. The window's figures are taken once, for the many points
// of a picture.
struct ScreenMapping {
  double per_x, xmin, xoff, ymax, height, yoff;
  ScreenMapping();
  void map(double x, double y, double& px, double& py) const {
    px = std::clamp(per_x * (x - xmin) + xoff, -32768.0, 32767.0);
    py = std::clamp((ymax - y) * 480.0 / height + yoff, -32768.0, 32767.0);
  }
};
void PXLMAP(int ix, int iy, double& x, double& y);
double XTOPT(double x);
double YTOPT(double y);

// True while drawing goes to the PostScript file.
inline bool ps_mode() { return plot_state().actscale > 0; }
// Switches drawing to the PostScript file (on) or to the screen (off).
void set_ps_mode(bool on);

// --- lines and shapes ----------------------------------------------------
void JOINP(const double p1[2], const double p2[2]);
void JOINP1(double x1, double y1, double x2, double y2);
void JOINPS(const double p1[2], const double p2[2]);
// Open polylines through n points (0-based arrays).
void POLY(int n, const double* xs, const double* ys);
void GPOLY(int n, const double* xs, const double* ys);
void GPOLY1(int n, const double (*pts)[2]);
void GPOLY2(int n, const double* xs, const double* ys);
void GGBOX(double x1, double x2, double y1, double y2);
void MARPT(double x, double y, double half);
// Fills a polygon of n vertices (n < 4000); on the screen in `colour`, in
// PostScript with the current fill colour (PSFILL).
void FILPOL(int n, const double* xs, const double* ys, int colour);
// FILPOL on the screen of points already mapped by ScreenMapping.
void fill_pixels(int n, const double* px, const double* py, int colour);
void SETCOL(int colour);
void PENWID(double width);

// --- labels ----------------------------------------------------------------
// Alignment code = h + 10 v: h 1 starts at the point, 2 centres on it,
// 3 ends at it; v 0 puts the baseline on the point, 1 centres the text
// vertically, 2 puts it below the point, 3 above.
constexpr int AL_LEFT = 1, AL_CENTRE = 2, AL_RIGHT = 3;
constexpr int AL_MIDDLE = 10, AL_BELOW = 20, AL_ABOVE = 30;
void LABPT(double x, double y, const std::string& text, int code);
// As LABPT, in the given screen colour.
void LABPT1(double x, double y, const std::string& text, int code, int colour);
// As LABPT, only when the point lies inside the plot window.
void LABPTZ(double x, double y, const std::string& text, int code);
// An integer label, without leading blanks.
void LABPTI(double x, double y, long value, int code);
void PSLAB(double x, double y, const std::string& text, int code);
// Paints a blank box behind a label of `chars` characters centred on the
// point (PostScript only).
void BLANKR(double x, double y, int chars);

// --- frame and axes ----------------------------------------------------------
// code > 0: axes through the origin; otherwise the window's frame; then the
// coordinate labels along the frame.
void FAXES(double xmin, double xmax, double ymin, double ymax, double charsize, int code);
void AXES(double xmin, double xmax, double ymin, double ymax);
void FRAME(double xmin, double xmax, double ymin, double ymax);
void SLABEL(double xmin, double xmax, double ymin, double ymax, double charsize);

// --- ending a plot -----------------------------------------------------------
void ENPLOT();
void ENPLO1();
void ENPLO2();

// --- the PostScript unit -------------------------------------------------------
// Opens the PostScript file for writing; false when it cannot be created.
// The file appears under its name only when PSCLOS succeeds.
bool PSOPEN(const std::string& path);
// Closes the file; false when anything written to it was lost.
bool PSCLOS();
bool ps_open();
// Hands every record gathered so far to the file (the writing benchmark's
// timing ends here, before the close's sync).
void ps_hand_over();
// Writes one record as it stands (header and comment records).
void PSREC(const std::string& record);
// Removes runs of blanks (outside label strings) and writes the record.
void REMBL(const std::string& record);
void PSBEG();
void PSEND();
// Held while a picture is written: when the program ends before the picture
// is closed (its destructor runs as the ending unwinds the dialogue), the
// unfinished picture is dropped, any earlier file of its name kept as it
// was, with one line saying so.
struct UnfinishedPicture {
  std::string path;
  ~UnfinishedPicture();
};
// Writes one picture: opens `path`, has `draw` write its records, closes it
// and says in one line whether the file was written. A name that cannot be
// written (a file this run reads, a folder) is said with the safe writer's
// reason in one more line.
void write_ps_picture(const std::string& path, const std::function<void()>& draw);

// The reach of a picture's world window: beyond it (or not finite) the
// window cannot be mapped to the page, and the picture is refused.
constexpr double PICTURE_REACH = 1.0e30;
// How far from the page, in points, anything is written: far enough that
// what lies outside is never seen, near enough for a plain number.
constexpr double PS_REACH = 20000.0;
bool picture_box_fits(double xmin, double xmax, double ymin, double ymax);
// The line that refuses a picture whose window cannot be mapped.
std::string picture_refusal(const std::string& path);
// Called by a picture's drawing when its window turns out not to fit: the
// picture is dropped (any earlier file of its name kept) and write_ps_picture
// ends with picture_refusal's line.
struct PictureRefused {};
[[noreturn]] void refuse_picture();
// Writes v at p as a fixed field of width w with one decimal holds it
// (records.h's put_F), without the blanks before it; returns the end. The
// number takes at most w characters, but p needs room for 16: the digits
// are stored eight at a time.
char* put_tenths(char* p, double v, int w);
// Sets the PostScript fill colour (components 0..1).
void PSFILL(double r, double g, double b);

}  // namespace vortan
