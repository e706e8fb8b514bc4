#include "plots.h"

#include "prompts.h"

namespace vortan {

void CSPLAY(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("Contours of nodal values are not available yet."); }
void CSPLY2(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("Contours of nodal values are not available yet."); }
void PSCSPL(MeshModel&, ResultSet&, PlotWork&, const ViewState&, int) { WRLINE("PostScript result plots are not available yet."); }

}  // namespace vortan
