// Yield zones: the Gauss points whose yield code equals a chosen code,
// marked over the mesh. YSPLAY and PSYSTR (plots.h) are the screen plot
// and its PostScript picture.
#pragma once

#include "mesh_display.h"
#include "results.h"

namespace vortan {

// Marks every Gauss point with yield code `code` by an upright cross one
// character size across, in colour 15. With `zoomed`, points outside the
// frame are passed by. Returns how many points were marked.
int PLYLD(const ResultSet& r, int code, const MeshWindow& frame, bool zoomed);

}  // namespace vortan
