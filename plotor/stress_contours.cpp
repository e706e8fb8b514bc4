#include "plots.h"

#include "prompts.h"

namespace vortan {

void CSTRAY(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("Stress and flow contours are not available yet."); }
void PSCSTR(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("PostScript result plots are not available yet."); }

}  // namespace vortan
