// Mesh doubling: a shifted or mirrored copy of the whole mesh added beside
// it, joined to it along the seam.
#pragma once

#include "mesh_model.h"

namespace vortan {

enum class DoublingType { Translation = 1, Reflection = 2 };
enum class DoublingDirection { Down = 1, Up = 2, Left = 3, Right = 4 };

// Checks the room, asks for the "Doubling options" and doubles the mesh.
void DOUBLE(MeshModel& m);

// True when the mesh can be doubled within the limits; otherwise says why
// and the mesh is left as it is.
bool doubling_fits(const MeshModel& m);

// Adds the copy and merges the seam nodes; the caller has checked the room.
void double_mesh(MeshModel& m, DoublingType type, DoublingDirection direction);

}  // namespace vortan
