// The Encapsulated PostScript picture of the mesh: frame, elements and, on
// request, node and element numbers, drawn by the mesh display routines with
// drawing switched to the PostScript file.
#pragma once

#include "mesh_model.h"

namespace vortan {

// Writes the whole picture, header to closing records, on the PostScript
// unit the caller has opened (PSOPEN) and closes afterwards (PSCLOS). Asks
// in the text window for labels and for a zoom; fills m.xycen.
void PSPSPS(MeshModel& m);

}  // namespace vortan
