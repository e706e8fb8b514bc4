#include "plots.h"

#include "prompts.h"

namespace vortan {

void CSTRAY(MeshModel&, ResultSet&, PlotWork&, const ViewState&) { WRLINE("Stress and flow contours are not available yet."); }

}  // namespace vortan
