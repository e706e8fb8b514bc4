// The outer boundary of the mesh, drawn under the Gauss-point and contour
// plots of the viewer instead of the whole mesh.
//
// The boundary is found from the sides of the area elements (triangles,
// quadrilaterals and infinite elements): a side used by exactly one element
// lies on the boundary; a side shared by two elements is interior. Bars,
// joints and rockbolts add no sides.
#pragma once

#include "mesh_display.h"
#include "results.h"

namespace vortan {

// Walks the elements and rebuilds the edge tables of `w`:
//   w.edges(k, 1..3)  edge k as node numbers: a straight edge is its two end
//                     nodes and 0; a quadratic edge its first node, its
//                     midside node and its last node;
//   w.edge_flags(k)   1 for a boundary edge, 0 for an edge shared by two
//                     elements; 1 for every entry beyond the edges stored.
// Returns the number of edges stored, or -1 when the mesh cannot be walked:
// an element of no known type ("Element has no recognized type!") or more
// than MEDGE edges (reported in the text window).
int boundary_edges(const MeshModel& m, PlotWork& w);

// Draws the outer boundary in colour 8. On the screen, with `clear` the
// inside of the frame is first filled with colour 7. With `zoomed`, an edge
// is drawn only when it lies wholly inside the frame. Rebuilds the edge
// tables as boundary_edges does and returns its count; draws nothing when
// that is -1.
int PLBDRY(const MeshModel& m, PlotWork& w, const MeshWindow& frame, bool zoomed, bool clear);

}  // namespace vortan
