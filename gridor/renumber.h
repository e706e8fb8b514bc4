// Renumbering: elements and nodes reordered to reduce the frontwidth and
// bandwidth before Part B is added.
#pragma once

#include <fstream>

#include "mesh_model.h"

namespace vortan {

// Reorders elements and nodes and writes the renumbered Part A to the
// output .dat; fills newnod and newelt. Returns 1 when renumbering was
// refused (the caller writes the original Part A again), 0 otherwise.
int REDUCE(MeshModel& m, std::fstream& out, Table1<int, MPOIN>& newnod,
           Table1<int, MELEM>& newelt);

}  // namespace vortan
