// The mesh in the graphics window: drawing elements and their numbers, the
// inspection screen with its toolbar and zoom, and the mouse picking of
// nodes, elements and regions. Everything is drawn through the primitives of
// plot.h, so the same routines write the PostScript picture of the mesh.
#pragma once

#include <cmath>
#include <string>

#include "mesh_model.h"
#include "prompts.h"

namespace vortan {

// A rectangle of the world: the frame of the mesh drawing. Elements, labels
// and picks are limited to it.
struct MeshWindow {
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  bool holds(double x, double y) const {
    return x >= xmin && x <= xmax && y >= ymin && y <= ymax;
  }
};
// The frame that holds every point: nothing is left out.
inline constexpr MeshWindow WHOLE_PLANE{-1.0e30, 1.0e30, -1.0e30, 1.0e30};

// --- windows -----------------------------------------------------------------
// Extremes of the coordinates of nodes 1..npoin (all 0 without nodes).
void BOUNDS(int npoin, const Table2<double, MPOIN, 2>& coord, double& xmin, double& xmax,
            double& ymin, double& ymax);
// Sets the square plot window around the rectangle (margins 0.3 of its larger
// side) and returns the frame (margins 0.1). PostScript output stays on when
// it was on.
void STZOOM(double x1, double x2, double y1, double y2, MeshWindow& frame);
void SMOUSE();
// Each element's centroid, the mean of its nodes, into xycen.
void CENTRD(MeshModel& m);

// --- drawing -----------------------------------------------------------------
// A table of node positions: the mesh's own coordinates, or the displaced
// positions a result plot draws the mesh at.
using Positions = Table2<double, MPOIN, 2>;
// Colour of an element side from the fixity codes of its end corners.
int side_colour(int ka, int kb, bool highlight);
// Colour of a node number from the node's fixity code.
int node_label_colour(int kode);
// Draws the elements lying wholly inside the frame; returns how many.
int PLMESH(const MeshModel& m, const MeshWindow& frame, bool zoomed, bool no1d, bool clear);
// PLOTEL, LABNOD and LABNDE draw at the nodes' coordinates, or at the
// positions `at` when it is given. PLOTEL draws only a valid element and
// says whether it did.
bool PLOTEL(const MeshModel& m, int e, bool highlight = false, const Positions* at = nullptr);
void PLOT1D(const MeshModel& m, int e);
// Draws the curve through three points (0-based arrays) over the local
// coordinate -1..1 of the 3-node line.
void LCURV(const double xs[3], const double ys[3]);
// A curve over the local coordinate -1..1: its point (x, y) and tangent
// (dx/ds, dy/ds) at s, from the curve's own data.
struct CurvePoint {
  double x, y, dx, dy;
};
using CurveRoutine = CurvePoint (*)(double s, const void* data);
// Traces the curve from s = -1 to 1 in short straight steps, as many as its
// length at the scale drawn needs.
void LCURV(CurveRoutine curve, const void* data);
void LABNOD(const MeshModel& m, int first, int last, const MeshWindow& frame,
            const Positions* at = nullptr);
void LABELM(const MeshModel& m, int first, int last, const MeshWindow& frame);
// Marks a chosen element (its number at the centroid) or node (a small box
// and its number) in the given colour.
void LABELT(const MeshModel& m, int e, int colour);
void LABNDE(const MeshModel& m, int n, int colour, const Positions* at = nullptr);

// --- picking -----------------------------------------------------------------
// Waits for a button with y >= 36; false for a click on the toolbar, else the
// click in world coordinates. `right` tells which button it was.
bool pick_click(double& xc, double& yc, bool* right = nullptr);
// The nearest of points 1..count inside the frame (lowest number among equal
// distances); 0 when none.
template <class Points>
int nearest_point(int count, const Points& xy, double xc, double yc, const MeshWindow& frame) {
  int best = 0;
  double dbest = 1.0e9;
  for (int i = 1; i <= count; ++i) {
    if (!frame.holds(xy(i, 1), xy(i, 2))) continue;
    double dx = xy(i, 1) - xc, dy = xy(i, 2) - yc;
    if (std::fabs(dx) <= 1.0e-6) dx = 0;
    if (std::fabs(dy) <= 1.0e-6) dy = 0;
    double d = dx * dx + dy * dy;
    if (d < dbest) {
      dbest = d;
      best = i;
    }
  }
  return best;
}
// A 2 x 2 dot at a world point, inside the drawing area only.
void mark_dot(double x, double y, int colour);
// Shows a picking prompt in the status box.
void show_prompt(const std::string& prompt);
// One pick: waits for a click and returns the nearest point, 0 for the toolbar.
template <class Points>
int PICKLN(int count, const Points& xy, const MeshWindow& frame) {
  double xc, yc;
  if (!pick_click(xc, yc)) return 0;
  return nearest_point(count, xy, xc, yc, frame);
}
// Marks the points inside the frame, shows the prompt, picks, and repaints
// the marks in `after`.
template <class Points>
int pick_marked(const std::string& prompt, int count, const Points& xy, const MeshWindow& frame,
                int after) {
  for (int i = 1; i <= count; ++i)
    if (frame.holds(xy(i, 1), xy(i, 2))) mark_dot(xy(i, 1), xy(i, 2), 15);
  show_prompt(prompt);
  int k = PICKLN(count, xy, frame);
  end_tell();  // the prompt's step is over
  for (int i = 1; i <= count; ++i)
    if (frame.holds(xy(i, 1), xy(i, 2))) mark_dot(xy(i, 1), xy(i, 2), after);
  return k;
}
// Points of any table (Gauss points, for example) inside the frame.
template <class Points>
int PICKNZ(const std::string& prompt, int count, const Points& xy, const MeshWindow& frame) {
  return pick_marked(prompt, count, xy, frame, 2);
}
int PICKNZ(const MeshModel& m, const std::string& prompt, const MeshWindow& frame);
int PICKND(const MeshModel& m, const std::string& prompt);
int PICKLZ(const MeshModel& m, const std::string& prompt, const MeshWindow& frame);
int PICKEL(const MeshModel& m, const std::string& prompt);
// True when (x, y) lies inside or on the polygon of nv vertices.
bool inside_region(int nv, const double* vx, const double* vy, double x, double y);
// Lets the user choose elements by clicks or by a region; a chosen element's
// entry of `marks` is made negative. Returns the number of negative entries,
// 0 when nothing was chosen.
int PICKLL(const MeshModel& m, Table1<int, MELEM>& marks, const MeshWindow& frame);

// --- the inspection screen ---------------------------------------------------
// Its nine toolbar buttons, bottom to top; the deformed-mesh plots of the
// viewer use the same toolbar.
inline const char* const DISPL_BUTTONS[10] = {"",
                                              "Continue",
                                              "Restore full mesh",
                                              "Number elements",
                                              "Zoom",
                                              "Pick elt by no.",
                                              "Number nodes",
                                              "Pick elt by mouse",
                                              "Pick node by no.",
                                              "Pick node by mouse"};
enum DisplButton {
  B_CONTINUE = 1,
  B_RESTORE,
  B_NUMBER_ELEMENTS,
  B_ZOOM,
  B_ELT_BY_NO,
  B_NUMBER_NODES,
  B_ELT_BY_MOUSE,
  B_NODE_BY_NO,
  B_NODE_BY_MOUSE
};

// Shows the mesh with `heading` and its nine-button toolbar until Continue.
void DISPL(MeshModel& m, const std::string& heading);

}  // namespace vortan
