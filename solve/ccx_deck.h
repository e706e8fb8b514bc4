// The CalculiX input deck of a checked problem: its nodes and elements
// (corner nodes first, as CalculiX lists them), materials and sections, the
// fixed and prescribed d.o.f. and the loads as concentrated nodal forces,
// one static (or steady heat transfer) step at the full load, and the
// nodal values printed to CalculiX's .dat file, whence they are read back.
#pragma once

#include <string>

#include "solve_problem.h"

namespace vortan {

// The deck's text. CalculiX has no 6-noded thin quadrilateral: each is an
// 8-noded one whose two added midside nodes on its short sides are tied to
// the mean of their ends, which leaves exactly the thin element's fields.
// A 3-noded beam is two beams sharing its midside node. Poisson problems
// run as heat transfer, the potential as the temperature.
std::string ccx_deck(const SolveProblem& p);

// The set of nodes whose values the deck prints.
constexpr const char* OUTPUT_SET = "NOUT";

}  // namespace vortan
