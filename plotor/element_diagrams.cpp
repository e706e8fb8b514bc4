#include "plots.h"

#include "prompts.h"

namespace vortan {

void SPLY1D(MeshModel&, ResultSet&, PlotWork&, const ViewState&, bool) { WRLINE("Diagrams of 1D elements are not available yet."); }

}  // namespace vortan
