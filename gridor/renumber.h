// Renumbering: the elements reordered by a level sweep from a start element
// the user picks, to reduce the frontwidth for a frontal solver, and the
// nodes optionally renumbered along the new element order, to reduce the
// half-bandwidth for a band solver. The result is written to the output
// .dat as a complete Part A with the new numbers.
#pragma once

#include <array>
#include <fstream>
#include <ostream>
#include <string>

#include "mesh_model.h"

namespace vortan {

// Working tables of the renumbering, sized by the limits; the driver owns
// one.
struct RenumberWork {
  Table2<int, MPOIN, MNODE> nodel;  // elements at each node, increasing numbers
  Table1<int, MPOIN> nelnod;        // their count; negated while the sweep has visited the node
  Table1<int, MELEM> neword;        // number in the ordering being tried, 0 = none yet
  Table1<int, MELEM> oldelt;        // the element numbered k in the best ordering
  Table1<int, MPOIN> lowest, highest;  // per node, its smallest and largest element number
  std::array<int, MLEVEL> level{}, next{};
};

// Builds nodel and nelnod. False when a node lies in more than MNODE
// elements (its list then holds the first MNODE).
bool NODELS(const MeshModel& m, RenumberWork& w);

// The frontwidth of an ordering: order(e) is the number of element e.
int frontwidth(const MeshModel& m, const Table1<int, MELEM>& order, RenumberWork& w);

// Numbers the elements breadth first from `start` into w.neword. A piece of
// the mesh not reached through shared nodes is swept on from its
// lowest-numbered element. False when a level would hold more than MLEVEL
// elements.
bool sweep(const MeshModel& m, int start, RenumberWork& w);

// New node numbers in the order the nodes are met along the element order
// newelt; nodes of no element come last, in their old order.
void number_nodes(const MeshModel& m, const Table1<int, MELEM>& newelt,
                  Table1<int, MPOIN>& newnod, RenumberWork& w);

// (D + 1) x abs(ndofn), D the largest spread of node numbers in an element.
int half_bandwidth(const MeshModel& m, const Table1<int, MPOIN>& numbers);

// Writes Part A with element e numbered newelt(e) and node n numbered
// newnod(n), lines in the old order.
void write_renumbered(std::ostream& unit, const MeshModel& m, const Table1<int, MPOIN>& newnod,
                      const Table1<int, MELEM>& newelt);

// Paints one element's blocks of the global matrix picture: for each pair
// of its n node numbers (nodes[0..n-1]) the cell of the pair and its mirror.
void ELSTM(int n, const int* nodes, int cell, int colour);

// Runs the renumbering dialogue and writes the renumbered Part A to the
// output .dat at `path` (reopened from empty through `out`); fills newnod
// and newelt. Returns 1 when renumbering was refused and nothing written
// (the caller writes the original Part A again), 0 otherwise.
int REDUCE(MeshModel& m, std::ostream& out, Table1<int, MPOIN>& newnod,
           Table1<int, MELEM>& newelt, RenumberWork& w);

}  // namespace vortan
