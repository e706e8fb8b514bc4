// The displaced mesh: nodes moved by their displacements times an
// exaggeration factor, drawn over the undeformed mesh (SPLAY), as vectors
// from the undeformed nodes (VSPLAY), or along bars and beams (SPLY1D,
// element_diagrams.h). All three share the factor rules, the windows and
// the mouse dialogue kept here.
#pragma once

#include "mesh_display.h"
#include "results.h"

namespace vortan {

// --- factors -------------------------------------------------------------------
// The largest x or y displacement over nodes 1..npoin, at least 1e-6.
double largest_displacement(const MeshModel& m, const ResultSet& r);
// The factor that draws the largest displacement as one tenth of `size`,
// held to at most 100.
double initial_factor(double size, double largest);
// The largest factor accepted: it draws the largest displacement a million
// times the mesh size, so displaced positions stay within drawable numbers.
double factor_limit(double size, double largest);
// A typed factor as a plot takes it: zero, negative or not a number gives
// `initial`; above `limit` it is held to `limit` and the user is told.
double accepted_factor(double typed, double initial, double limit);
// factor x value, or 0 when the product is not a finite number.
double magnified(double factor, double value);

// --- positions and windows ---------------------------------------------------
// w.cdef := coord + factor x disp at every node; xycen := the centroids of
// the displaced elements.
void displace(MeshModel& m, const ResultSet& r, PlotWork& w, double factor);
// The box holding the undeformed and the displaced nodes: x-min, x-max,
// y-min, y-max.
void displaced_box(const MeshModel& m, const PlotWork& w, double box[4]);
// True for bars, rockbolts and joints (at most 2 sides, not the corner
// infinite element).
bool is_one_dimensional(const MeshModel& m, int e);
// True when every node of element e is a node of the mesh and lies, at the
// positions `at`, inside the frame.
bool element_inside(const MeshModel& m, int e, const Positions& at, const MeshWindow& frame);
// On the screen, fills the inside of the frame with a colour.
void fill_frame(const MeshWindow& frame, int colour);

// --- drawing -----------------------------------------------------------------
// Draws every area element (of material type matsel, all when 0) at the
// positions `at`: with `highlight` every side in colour 14, else in the
// colours of the fixity codes. When zoomed, only elements wholly inside the
// frame, and an empty zoom is reported. With `clear` the frame is first
// filled with colour 7 on the screen. Returns how many were drawn.
int PLMSHO(const MeshModel& m, int matsel, const Positions& at, const MeshWindow& frame,
           bool zoomed, bool highlight, bool clear);
// A line in colour 2 from every node inside the frame to its displaced
// position.
void draw_vectors(const MeshModel& m, const PlotWork& w, const MeshWindow& frame);

// --- the interactive plot ------------------------------------------------------
// One displacement plot on the screen: its tables, its way of drawing and
// the state of its dialogue.
struct DisplacementPlot {
  MeshModel& m;
  ResultSet& r;
  PlotWork& w;
  int matsel = 0;
  bool beams = false;                   // SPLY1D: bars drawn as beams
  void (*picture)(DisplacementPlot&) = nullptr;  // meshes and displacements in the frame
  bool nodes_displaced = true;          // node numbers and picks at cdef, else coord
  bool errors_in_text = false;          // wrong typed numbers reported in the text window
  double factor = 0, initial = 0, limit = 0;
  double box[4] = {};                   // undeformed and displaced nodes
  MeshWindow frame{};
  bool zoomed = false;
  int ybar[10] = {};
};
// Runs the plot from its initial factor (p.factor) until the user declines
// another factor; the element centroids are put back to the undeformed mesh
// afterwards.
void run_displacement_plot(DisplacementPlot& p);

}  // namespace vortan
