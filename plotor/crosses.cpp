#include "plots.h"

#include "prompts.h"

namespace vortan {

void STRAY(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("Stress crosses and flow lines are not available yet."); }
void PSSTRS(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("PostScript result plots are not available yet."); }

}  // namespace vortan
