#include "plots.h"

#include "prompts.h"

namespace vortan {

void YSPLAY(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("The yield zone plot is not available yet."); }
void PSYSTR(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("PostScript result plots are not available yet."); }

}  // namespace vortan
