// Mesh refinement: edges divided automatically (every edge in two) or by
// picked edges with chosen divisions and weights, and every element rebuilt
// from its divided edges, in place in the mesh model.
#pragma once

#include <array>

#include "mesh_display.h"
#include "mesh_model.h"

namespace vortan {

constexpr int MDIV = 9;  // most divisions of one edge

// The edge tables of one refinement. They are rebuilt from nothing on every
// call and left filled afterwards for the dialogues that follow.
struct EdgeTables {
  int nedge = 0;
  Table2<int, MEDGE, 3> ledge;   // first, second (midside), third node; 0 when linear
  Table2<int, MELEM, 4> lelsid;  // signed edge of each side: + runs from the edge's first node
  Table2<int, MEDGE, 3> leledg;  // elements sharing each edge, in the order met
  Table1<int, MEDGE> ndivs;
  Table2<double, MEDGE, MDIV> wdivs;         // division lengths along the edge, sum 2
  Table2<int, MEDGE, 2 * MDIV + 1> lchain;   // nodes along the divided edge
  Table1<int, MELEM> lparnt;
  Table2<double, MPOIN, 2> coord0;  // positions when the call began
  Table2<int, MELEM, MNODE> lnods0;
  std::array<int, 10> ndofc{}, ndofm{};  // d.o.f. of new corner / midside nodes per material type
  Table1<int, MPOIN> nextbd;             // next node along a boundary edge
  // Edges listed by a key node (the lower end of a linear edge, the midside
  // node of a quadratic one), so that a side finds its edge at once.
  Table1<int, MPOIN> keyed;
  Table1<int, MEDGE> next_keyed;
};

constexpr int AUTOMATIC = 0, MANUAL = 1;

// The "Refine mesh" button: Automatic or Manual, the " End " toolbar, the
// zoom offer, then the refinement.
void refine_from_menu(MeshModel& m, EdgeTables& t);

// Refines the mesh; `view` limits the nodes that can be picked.
void REFINE(MeshModel& m, int mode, const MeshWindow& view, EdgeTables& t);

// --- the steps, for REFINE and its tests -------------------------------------

// Element type code from nnode and nside, 0 when unknown.
int refine_type(const MeshModel& m, int e);
// Start node index and step count (1 linear, 2 quadratic) of a side.
int side_start(int type, int side);
int side_steps(int type, int side);

// Copies the mesh, classifies the elements and numbers the edges; false
// (with its message) when the mesh cannot be refined.
bool build_edges(const MeshModel& m, EdgeTables& t);
// Automatic mode: every edge in two, infinite sides kept whole.
void divide_all(const MeshModel& m, EdgeTables& t);
// The first edge whose end nodes are a and b, in either order; 0 if none.
int find_edge(const EdgeTables& t, int a, int b);
// Gives an edge `count` divisions of the relative lengths w[1..count] and
// carries them across the mesh; false when the carrying met an error (the
// edge itself stays divided).
bool divide_edge(const MeshModel& m, EdgeTables& t, int edge, int count, const double* w);
// Both faces of every rockbolt divided alike, after the picking.
void finish_rockbolts(const MeshModel& m, EdgeTables& t);
// Subdivides the edges and rebuilds the elements, fixity codes, boundary
// information and property sets; false (mesh unchanged) when the result
// would pass a limit.
bool apply_divisions(MeshModel& m, EdgeTables& t, int mode);

}  // namespace vortan
