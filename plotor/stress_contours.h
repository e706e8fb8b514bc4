// Contour plots of a stress or flow quantity computed at the Gauss points.
#pragma once

#include "dof_contours.h"

namespace vortan {


// The quantity q (the entry of the "Stress" or "Flowrates" list, from 1) at
// Gauss records 1..ngaus into gpval.
void stress_quantity(ResultSet& r, bool elastic, int q);

// Contours of gpval over the elements (of material type matsel when it is 1
// or more) in the view; corner values extrapolated from the Gauss values.
void PLCSTR(const MeshModel& m, const ResultSet& r, PlotWork& w, int nlev, int fill,
            const ContourView& view, int matsel);

}  // namespace vortan
