// Contour plots of a stress or flow quantity computed at the Gauss points.
#pragma once

#include "dof_contours.h"

namespace vortan {

// Gauss values an element of type 5 to 9 takes: 1 for the linear
// elements, 3, 2 and 4 for the quadratic triangle, thin and 8-noded
// quadrilaterals.
int gauss_needed(int type);
// The values at the element's corners extrapolated from its Gauss values
// g[1..gauss_needed(type)] into c[1..], as the contours draw them: the
// corners 1, 3, 5 of a quadratic triangle, the ends s = -1 and s = +1 of a
// thin quadrilateral, the corners 1, 3, 5, 7 of an 8-noded quadrilateral,
// the one value of a linear element. Returns how many.
int extrapolate_gauss_values(int type, const double* g, double* c);

// The quantity q (the entry of the "Stress" or "Flowrates" list, from 1) at
// Gauss records 1..ngaus into gpval.
void stress_quantity(ResultSet& r, bool elastic, int q);

// Contours of gpval over the elements (of material type matsel when it is 1
// or more) in the view; corner values extrapolated from the Gauss values.
void PLCSTR(const MeshModel& m, const ResultSet& r, PlotWork& w, int nlev, int fill,
            const ContourView& view, int matsel);

}  // namespace vortan
