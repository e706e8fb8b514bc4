#include "plots.h"

#include "prompts.h"

namespace vortan {

void PSMESH(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("PostScript result plots are not available yet."); }
void PSVMSH(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("PostScript result plots are not available yet."); }
void PSCSPL(MeshModel&, ResultSet&, PlotWork&, const ViewState&, int) { WRLINE("PostScript result plots are not available yet."); }
void PSSTRS(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("PostScript result plots are not available yet."); }
void PSCSTR(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("PostScript result plots are not available yet."); }
void PSYSTR(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("PostScript result plots are not available yet."); }

}  // namespace vortan
