// Stress crosses and flow lines at the Gauss points, over the outline of
// the mesh. STRAY (plots.h) is the interactive plot; the routines here are
// also used by the PostScript picture of the crosses and by the yield-zone
// plot.
#pragma once

#include <string>

#include "mesh_display.h"
#include "results.h"

namespace vortan {

// Principal stresses of a plane stress state (tension positive): the major
// s1, the minor s3, and theta, the angle in radians from the x axis to the
// direction of s1, in (-pi/2, pi/2].
void PRST(double sx, double sy, double txy, double& s1, double& s3, double& theta);

// True when the Gauss-point values are stresses (plane elasticity and frames),
// false when they are flow rates (scalar problems).
inline bool has_stresses(const MeshModel& m) { return m.ndofn <= -2 || m.ndofn >= 2; }

// Draws a cross at every Gauss point: two arms along the principal
// directions, each |s| / scale long and centred on the point, in colour 1
// for compression and 0 otherwise. With `zoomed`, points outside the frame
// are passed by. Nothing is drawn for a scale that is not positive.
void PLSTRS(const ResultSet& r, double scale, const MeshWindow& frame, bool zoomed);
// Draws a line along the flow at every Gauss point, |q| / scale long,
// centred on the point, in colour 0.
void PLFLOW(const ResultSet& r, double scale, const MeshWindow& frame, bool zoomed);

// Sets the square plot window around the box (margins 0.3 of its larger
// side) without clearing the screen, and returns the frame (margins 0.1).
void STSTZM(double x1, double x2, double y1, double y2, MeshWindow& frame);

// --- shared by the Gauss-point plots ------------------------------------------

// The plot window of a result plot for the whole mesh: clears the drawing
// area, draws the line under the heading and the frame with its labels.
// Returns the frame.
void result_window(const MeshModel& m, MeshWindow& frame);
// Takes the two corners of a zoom box inside the frame: left clicks in the
// drawing area, the second at least 1e-6 from the first in x and in y. Each
// corner is marked, then the box is drawn.
void zoom_box(const MeshWindow& frame, double& x1, double& x2, double& y1, double& y2);
// Redraws the frame for a new window: clears the drawing area, sets the
// window for the box (STSTZM), draws the line under the heading and the frame.
void reframe(double x1, double x2, double y1, double y2, MeshWindow& frame);
// Draws a toolbar of n buttons with their labels (labels[1..n]).
void result_toolbar(int n, const char* const* labels, int* ybar);

// Starts a PostScript result picture on the open unit: the header with its
// title record and the prolog, PostScript output on, the window for the
// mesh, the mesh limits written, the zoom question, and the frame. Returns
// the frame and whether a zoom was chosen.
bool begin_result_picture(const MeshModel& m, const std::string& title, MeshWindow& frame);
// Ends the picture (closing records) and turns drawing back to the screen.
void end_result_picture();

}  // namespace vortan
