// Bars, rockbolts and joints, displaced: each drawn as its undeformed chord
// and, over it, its displaced shape, on the outline of the displaced area
// mesh. Bars may be drawn as beams bent by their end rotations. SPLY1D
// (plots.h) is the interactive plot.
#pragma once

#include "mesh_display.h"
#include "results.h"

namespace vortan {

// One side of a bar as a beam: its nodes' undeformed positions (two nodes
// for CUBIC, three for QUART), their x and y displacements and the
// rotations at its first and last node, all already multiplied by the
// exaggeration factor.
struct BeamSide {
  double x[3] = {}, y[3] = {};
  double a[3] = {}, b[3] = {};
  double theta1 = 0, theta2 = 0;
};

// The bent beam at the local coordinate s in -1..1, and its tangent: the
// axial displacement linear (CUBIC) or quadratic (QUART) along the chord,
// the transverse displacement from the nodal values and the end rotations
// (cubic and quartic Hermite shapes).
CurvePoint CUBIC(double s, const BeamSide& b);
CurvePoint QUART(double s, const BeamSide& b);

// Draws every one-dimensional element: its undeformed chord in colour 2,
// then its displaced shape (bars colour 5, rockbolts 4, joints 6). With
// `beams` the bars are bent beams. When zoomed, only elements with every
// node inside the frame.
void PLT1DO(const MeshModel& m, const ResultSet& r, const MeshWindow& frame, bool zoomed,
            double factor, bool beams);

// Draws the outer boundary of the area elements at the positions `at` in
// colour 8; with `clear` the frame is first filled with colour 7 on the
// screen. When zoomed, only edges wholly inside the frame.
void draw_outline(const MeshModel& m, PlotWork& w, const Positions& at, const MeshWindow& frame,
                  bool zoomed, bool clear);

}  // namespace vortan
