// Part B carried over from the input file. The old Part B is read whole
// first, so that a damaged one is found before anything is written; MDFYLD
// then offers its loads and MDFYPB its boundaries for editing while the new
// Part B is written. Node and element numbers of the old file are carried
// across a renumbering through newnod and newelt.
#pragma once

#include <istream>
#include <ostream>

#include "boundaries.h"
#include "loads.h"
#include "mesh_model.h"

namespace vortan {

struct OldDirichlet {
  char axis = 'x';
  double coord = 0, value = 0;
  int dof = 1;
};

// The old Part B as it stands in the file, in the file's numbering.
struct OldPartB {
  bool has_loads = false;  // the file has a loads section
  int nbset = 0, npset = 0;
  int nload = 0;  // load lines, in file order
  Table1<int, MPOIN> lnode, ltype;
  Table2<double, MPOIN, 2> lval;
  double bodyf[MSETS + 1][3] = {};
  Table1<int, MELEM> ibody;  // body force set of each old element
  double trac[MSETS + 1][3] = {};
  int nedge = 0;  // loaded edges: nnas, element, node, set, node, set
  Table2<int, MEDGE, 6> edges;
  int nbdry = 0, nbdir = 0;
  int bfirst[MSETS + 1] = {};
  double bpar[MSETS + 1][3] = {};
  Table1<int, MPOIN> lbset;  // boundary set of each old node
  int ndval = 0;
  OldDirichlet dirv[MDIRV + 1];
  int nincs = 0;
  double sizes[10] = {};
  int unusable = 0;  // load and Dirichlet lines passed over: no such node, type or axis
  double dtint = 0, ftime = 0, allow = 0, theta = 0, ttend = 0;
};

// Empties every count and table of an old Part B.
void clear_old_part_b(OldPartB& old);

// Reads a whole old Part B from the stream's position into emptied tables.
// False when it is damaged or ends early (what was read is then of no use);
// a list longer than its table counts as damaged too.
bool read_old_part_b(std::istream& in, OldPartB& old);

void MDFYLD(MeshModel& m, LoadTables& t, const OldPartB& old, const Table1<int, MPOIN>& newnod,
            const Table1<int, MELEM>& newelt, std::ostream& out, std::ostream& prt);
void MDFYPB(MeshModel& m, BoundaryTables& b, const OldPartB& old,
            const Table1<int, MPOIN>& newnod, std::ostream& out, std::ostream& prt);

}  // namespace vortan
