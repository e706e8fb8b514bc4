#include "renumber.h"

#include "prompts.h"

namespace vortan {

int REDUCE(MeshModel&, std::fstream&, Table1<int, MPOIN>&, Table1<int, MELEM>&) {
  WRLINE("Renumbering is not available yet.");
  return 1;
}

}  // namespace vortan
