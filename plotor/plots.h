// The result plots the viewer's driver calls. Each runs its own dialogue
// on the graphics window and returns when the user leaves it.
#pragma once

#include "results.h"

namespace vortan {

// Principal stress crosses or flow lines.
void STRAY(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);
// The deformed mesh, and the displacement vectors.
void SPLAY(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);
void VSPLAY(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);
// Yield zones.
void YSPLAY(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);
// Contours of stresses or flows.
void CSTRAY(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);
// Contours of the nodal scalar w.vnode: at every node, or over corner nodes.
void CSPLAY(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);
void CSPLY2(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);
// Diagrams along bar and beam elements; `beams` when bars represent beams.
void SPLY1D(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v, bool beams);

// PostScript files of the results, written to the open PostScript unit.
void PSMESH(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);
void PSVMSH(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);
void PSCSPL(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v, int corner_flag);
void PSSTRS(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);
void PSCSTR(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);
void PSYSTR(MeshModel& m, ResultSet& r, PlotWork& w, const ViewState& v);

}  // namespace vortan
