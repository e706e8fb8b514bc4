// Contour plots of a nodal scalar (any degree of freedom, or a displacement
// magnitude), and the window, toolbar, zoom and outline that the stress and
// flow contour plots share with them.
#pragma once

#include <string>

#include "contour_engine.h"
#include "mesh_display.h"
#include "results.h"

namespace vortan {

// The view of one contour plot: its frame, whether it is zoomed, the
// toolbar and the label of the toolbar's fourth button.
struct ContourView {
  MeshWindow frame;
  bool zoomed = false;
  int ybar[5] = {};
  std::string fourth;
};

// Contours of w.vnode over the elements (of material type matsel when it
// is 1 or more) in the view: PLCSPL reads every node, PLCSP2 only the
// corner nodes of quadratic elements. The key is drawn on the screen only.
void PLCSPL(const MeshModel& m, PlotWork& w, int nlev, int fill, const ContourView& view,
            int matsel);
void PLCSP2(const MeshModel& m, PlotWork& w, int nlev, int fill, const ContourView& view,
            int matsel);

// --- shared by the contour plots ---------------------------------------------

// Element type code (1..13) of element e, 0 when its counts name no type.
int type_of(const MeshModel& m, int e);
// The element's geometry: its node coordinates in node order.
Geometry element_geometry(const MeshModel& m, int e);

// The plot window around the mesh, its frame and the mouse, as the result
// plots set them up.
void contour_setup(const MeshModel& m, ContourView& view);
// The four-button toolbar: "Continue", "Restore full mesh", "Zoom", fourth.
void contour_toolbar(ContourView& view);
// Waits for a left click on a toolbar button and returns it (1..4); right
// clicks show the zoom or contour help. The cursor read-out follows the
// pointer.
int contour_button(ContourView& view);
// "Zoom": two corners clicked inside the frame; the window is set to their
// box and the frame and toolbar redrawn.
void contour_zoom(const MeshModel& m, ContourView& view);
// Back to the whole mesh when zoomed.
void contour_restore(const MeshModel& m, ContourView& view);
// The outer boundary of the mesh in the frame (edges used by one element
// only); with `clear` the frame is first painted grey on the screen.
void contour_outline(const MeshModel& m, PlotWork& w, const ContourView& view, bool clear);

// PostScript result files: the head records with the routine's title
// record and the prolog; then the window, the limits of the mesh, the zoom
// question and the frame, with drawing switched to the file.
void ps_result_setup(const MeshModel& m, const std::string& title, ContourView& view);

}  // namespace vortan
