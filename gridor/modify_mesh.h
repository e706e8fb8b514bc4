// Mesh modification: the "Modify mesh" button of the main menu. The level
// and the degrees of freedom, then a menu to change constraints, move
// nodes, add and delete elements; then the title, the material property
// sets and the material connections of elements.
#pragma once

#include "mesh_model.h"

namespace vortan {

// Changes the mesh in place; newnod follows the node numbers it changes,
// `marks` holds the elements chosen for deletion or reassignment.
void MODIFY(MeshModel& m, Table1<int, MPOIN>& newnod, Table1<int, MELEM>& marks);

// --- the steps of MODIFY, each usable on its own --------------------------

// True when local node `position` of an element of key 10 x nnode + nside
// is a midside node (quadratic elements only).
bool is_midside(int key, int position);
// A fixity code resized from `from` to `to` digits: free digits appended on
// the right, or the trailing digits dropped.
int resize_kode(int kode, int from, int to);
// Gives the nodes of every element of material type `mattyp` (0: every
// element) `corner` d.o.f. at corner nodes and `midside` at midside nodes;
// each changed node's fixity code keeps one digit per d.o.f.
void set_material_dofs(MeshModel& m, int mattyp, int corner, int midside);
// Numbers the nodes some element uses 1, 2, ... in node order into newnod
// (0 for an unused node), and when some are unused removes them and
// renumbers the rest. Returns the number of nodes removed.
int remove_unused_nodes(MeshModel& m, Table1<int, MPOIN>& newnod);
// Removes the elements whose entry of `marks` is negative, keeping the
// others in order. Returns the number removed.
int delete_marked_elements(MeshModel& m, const Table1<int, MELEM>& marks);

// The "Continue" choice: title, material property sets, and the material
// type and property set of elements chosen into `marks`.
void MODIFY_PROPERTIES(MeshModel& m, Table1<int, MELEM>& marks);

}  // namespace vortan
