#include "plots.h"

#include "prompts.h"

namespace vortan {

void SPLAY(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("The deformed mesh plot is not available yet."); }
void VSPLAY(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("The displacement vector plot is not available yet."); }
void PSMESH(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("PostScript result plots are not available yet."); }
void PSVMSH(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("PostScript result plots are not available yet."); }

}  // namespace vortan
