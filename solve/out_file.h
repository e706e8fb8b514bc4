// The .out that PLOTOR reads: Part A as the .dat holds it, then one result
// set per load factor: the d.o.f. labels, a line of nodal values per node,
// and (elasticity and Poisson problems) the Gauss-point section at the
// points and in the order PLOTOR's contour plots read them.
#pragma once

#include <string>

#include "element_fields.h"
#include "solve_problem.h"

namespace vortan {

// A real written right-aligned in a 10-column field with as many digits as
// the field holds (fixed or exponent form, whichever keeps the value best).
std::string field10(double v);

// The Gauss-point values of the whole mesh at full load, from the nodal
// values: per record element, point, x, y and the four values.
struct GaussRecord {
  int e, g;
  double x, y, v[4];
};
std::vector<GaussRecord> gauss_records(const SolveProblem& p, const NodeValues& u);

// Writes the .out beside its name and renames it over it when complete.
// False, with the system's words, when it cannot be written (the file of
// that name, if any, is left as it was).
bool write_out(const std::string& path, const SolveProblem& p, const NodeValues& u,
               const double* factors, int nsets, std::string& error);

}  // namespace vortan
