// Reading back the nodal values CalculiX printed to its .dat file.
#pragma once

#include <string>

#include "element_fields.h"
#include "mesh_model.h"

namespace vortan {

// The values of the printed block into u[n][0..2]: u, v and the rotation
// (d.o.f. 1, 2 and 6) of displacements, or the temperature of a heat
// transfer run. False, with the reason, when the block is missing or a node
// of `expected` (1 where a value must come) has no line.
bool read_ccx_values(const std::string& text, bool heat, const std::vector<char>& expected,
                     NodeValues& u, std::string& error);

}  // namespace vortan
