// The Gauss points at which an analysis reports stresses or flows, element
// type by element type, in the order PLOTOR's contour plots take them.
#pragma once

#include "mesh_model.h"

namespace vortan {

constexpr int MAX_ELEMENT_GAUSS = 4;

// Places the Gauss points of element e in (x[k], y[k]), k = 0..count-1, and
// returns the count: one at the centre of a linear triangle or
// quadrilateral; the three side midpoints of a quadratic triangle; two
// along the thin quadrilateral; 2 x 2 in the 8-noded quadrilateral, the
// first nearest corner 1, the last nearest corner 3, the third nearer
// corner 2. Bars, joints and infinite elements have none.
int element_gauss_points(const MeshModel& m, int e, double (&x)[MAX_ELEMENT_GAUSS],
                         double (&y)[MAX_ELEMENT_GAUSS]);

}  // namespace vortan
