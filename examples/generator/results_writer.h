// Writing a .out results file as an analysis program would: the mesh head
// as Part A, then one result set of nodal values and Gauss-point values.
#pragma once

#include <array>
#include <string>

#include "gauss_points.h"
#include "mesh_model.h"

namespace vortan {

// One result set, filled by a closed-form solution. Owned by the caller.
struct ResultColumns {
  std::array<std::string, 4> labels;  // the four nodal column labels
  Table2<double, MPOIN, 4> disp;      // nodal values
  std::string gauss_header;           // header of the Gauss-point section; empty for none
  Table1<int, MELEM> ngp;             // Gauss points of each element
  // x, y and the four values of Gauss point g of element e, in row
  // (e - 1) * MAX_ELEMENT_GAUSS + g.
  Table2<double, MELEM * MAX_ELEMENT_GAUSS, 6> gp;
};

inline int gauss_row(int e, int g) { return (e - 1) * MAX_ELEMENT_GAUSS + g; }

// Writes the mesh and the result set to `path`, beside it first and then
// renamed over it, so a failed write never leaves a half file under the
// name. False, with the reason in `error`, when the file cannot be written.
bool write_results(const std::string& path, const MeshModel& m, const ResultColumns& r,
                   std::string& error);

// Writes `text` to `path` the same way.
bool write_whole_file(const std::string& path, const std::string& text, std::string& error);

}  // namespace vortan
