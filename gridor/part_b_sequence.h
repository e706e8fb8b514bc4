// The driver's part of Part B: its start, the choice of copying Part B from
// the input file, the loads question, the calls of the load and boundary
// dialogues (new or copied), and the increment and timestepping blocks,
// appended to the output .dat after Part A.
#pragma once

#include <fstream>

#include "boundaries.h"
#include "loads.h"
#include "mesh_model.h"
#include "part_b_modify.h"

namespace vortan {

// The work tables of one Part B: the loads and boundary sets being made and
// the old Part B they may start from. The driver owns one.
struct PartBTables {
  LoadTables loads;
  BoundaryTables bdry;
  OldPartB old;
};

// `in` is the input .dat when the run began from an existing file, else null.
void PART_B_SEQUENCE(MeshModel& m, std::ifstream* in, std::ostream& out, std::ostream& prt,
                     Table1<int, MPOIN>& newnod, Table1<int, MELEM>& newelt, PartBTables& t);

// The increment and timestepping values, with the defaults of a new Part B.
struct AnalysisControl {
  int nincs = 1;
  double sizes[10] = {0, 1.0};  // 1..9 used
  double dtint = 0.001, ftime = 1.2, allow = 10.0, theta = 0.0, ttend = 100.0, dtone = 0.0001;
};

// Writes the empty loads section (no loads, no body forces, no tractions).
void write_empty_loads(std::ostream& out);
// The values of a copied Part B as starting values; zero time values take
// their defaults.
void starting_values(const OldPartB& old, AnalysisControl& c);
// Asks for and writes the increment block and the timestepping block.
void INCREMENTS(int ndofn, AnalysisControl& c, std::ostream& out, std::ostream& prt);
void TIMESTEPPING(int ndofn, AnalysisControl& c, std::ostream& out, std::ostream& prt);

}  // namespace vortan
