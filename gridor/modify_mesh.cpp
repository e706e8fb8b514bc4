#include "modify_mesh.h"

#include "prompts.h"

namespace vortan {

void MODIFY(MeshModel&, Table1<int, MPOIN>&) { WRLINE("Mesh modification is not available yet."); }

}  // namespace vortan
