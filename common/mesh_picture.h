// The Encapsulated PostScript picture of the mesh: frame, elements and, on
// request, node and element numbers, drawn by the mesh display routines with
// drawing switched to the PostScript file.
#pragma once

#include <string>

#include "mesh_display.h"
#include "mesh_model.h"

namespace vortan {

// Writes the whole picture, header to closing records, on the PostScript
// unit the caller has opened (PSOPEN) and closes afterwards (PSCLOS). Asks
// in the text window for labels and for a zoom; fills m.xycen.
void PSPSPS(MeshModel& m);

// The start of every PostScript picture: the header records with the title
// record "%%Title:" + title, the prolog, drawing switched to the file, the
// window around the box (its limits written in the text window, then a
// blank line when `blank_line`), the typed zoom box when the user wants one,
// and the frame. Returns true when zoomed.
bool begin_picture(const std::string& title, double xmin, double xmax, double ymin, double ymax,
                   MeshWindow& frame, bool blank_line = false);

// True when the mesh's box can be mapped to a page; otherwise the picture
// `path` is refused in one line before its file is opened.
bool mesh_picture_fits(const MeshModel& m, const std::string& path);

}  // namespace vortan
