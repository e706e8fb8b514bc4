// Boundaries of Part B: excavation boundary sets (Advanced elasticity) or
// radiating boundary sets (the other problems) picked node by node, and
// Dirichlet value sets typed in the text window. PARTB collects them and
// writes the boundary section; the pieces below are shared with the
// copying of an old Part B.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "loads.h"
#include "mesh_model.h"

namespace vortan {

constexpr int MDIRV = 8;  // most Dirichlet value sets in one Part B

struct BoundaryTables {
  int nbdry = 0;
  int bfirst[MSETS + 1] = {};      // stress-field type or d.o.f. of each set
  double bpar[MSETS + 1][3] = {};  // the set's two reals
  Table1<int, MPOIN> lbset;        // boundary set of each node, 0 none
  int nbdir = 0;                   // number of Dirichlet planes given
  int ndval = 0;                   // Dirichlet value sets written so far
};

void clear_boundaries(BoundaryTables& b);

// Collects boundary sets and Dirichlet planes and writes the boundary
// section.
void PARTB(MeshModel& m, BoundaryTables& b, std::ostream& out, std::ostream& prt);

// --- pieces shared with MDFYPB -------------------------------------------------

// The excavation/radiating and Dirichlet questions; for ndofn 2 or 3 both
// are false and nothing is asked.
void ask_boundary_kinds(int ndofn, bool& sets, bool& planes);
// Asks a count 1..9 until one is given; 0 when the user abandons.
int ask_set_count(const std::string& question);
// The start of boundary-set entry: message and .prt heading.
void start_boundary_sets(int ndofn, std::ostream& prt);
void end_boundary_sets(int ndofn);
// The parameters of set s: for a new set the type or d.o.f. is asked too;
// for an existing one its values are offered.
void boundary_set_values(int ndofn, BoundaryTables& b, int s, bool existing, std::ostream& prt);
// Picking of the nodes of set s; with `toggle` a node already in the set
// leaves it. The .prt gets the set's nodes.
void boundary_set_nodes(const MeshModel& m, BoundaryTables& b, int s, bool toggle,
                        std::ostream& prt);
// The section header, counts and boundary-set records.
void write_boundary_sets(std::ostream& out, const MeshModel& m, const BoundaryTables& b);
// One Dirichlet record in the .dat and its echo in the text window and
// the .prt.
void write_dirichlet(std::ostream& out, std::ostream& prt, char axis, double coord, double value,
                     int dof);
// The start of the Dirichlet list: its header in the .dat, headings in the
// text window and the .prt.
void start_dirichlet(std::ostream& out, std::ostream& prt);
// The text-window entry of Dirichlet value sets, degree of freedom by
// degree of freedom, up to MDIRV sets in all.
void dirichlet_value_sets(int ndofn, BoundaryTables& b, std::ostream& out, std::ostream& prt);
// The closing lines of the Dirichlet entry and the terminator line.
void end_dirichlet(std::ostream& out);

}  // namespace vortan
