// Mesh doubling: a shifted or mirrored copy of the whole mesh added beside
// it, joined to it along the seam.
#pragma once

#include <array>

#include "mesh_model.h"

namespace vortan {

// Work tables of a doubling: the map from each old node to its copy, the
// old node whose copy a new number holds, and the old nodes sorted by their
// truncated coordinates (for finding a copy's partner on the seam). The
// driver owns one.
struct DoublingWork {
  Table1<int, MPOIN> map;
  Table1<int, MPOIN> owner;         // indexed by new number - npoin
  Table1<int, MPOIN> kode0, ndof0;  // node data as it was before the call
  struct Key {
    long x, y;
    int node;
  };
  std::array<Key, MPOIN> sorted;
};

enum class DoublingType { Translation = 1, Reflection = 2 };
enum class DoublingDirection { Down = 1, Up = 2, Left = 3, Right = 4 };

// Checks the room, asks for the "Doubling options" and doubles the mesh.
void DOUBLE(MeshModel& m, DoublingWork& w);

// True when the mesh can be doubled within the limits; otherwise says why
// and the mesh is left as it is.
bool doubling_fits(const MeshModel& m);

// Adds the copy and merges the seam nodes; the caller has checked the room.
void double_mesh(MeshModel& m, DoublingType type, DoublingDirection direction, DoublingWork& w);

}  // namespace vortan
