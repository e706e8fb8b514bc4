// PLOTOR's main program: the fixed dialogue from start-up to exit. It owns
// the mesh model, the result tables of one result set and the plots' work
// tables, reads a .out file one result set at a time and leads the user
// through the five stages of every set.
#pragma once

#include <string>

#include "mesh_model.h"

namespace vortan {

void PLOTOR();

// The stem of the PostScript file names of a results file: its path without
// the extension of the file name (".out"), or the whole path when the name
// has none.
std::string ps_stem(const std::string& path);
// The name of a result picture: the stem, one letter and ".ps".
std::string ps_name(const std::string& stem, char letter);
// The letter of the yield-zone picture. The displacement, cross and contour
// pictures take a to c and the d.o.f. contours d to g, so it never replaces
// one of them.
constexpr char YIELD_LETTER = 'h';

// True when the mesh holds a bar or beam element (at most two sides); a
// corner infinite element (two sides, three nodes) is not one.
bool has_1d_elements(const MeshModel& m);

}  // namespace vortan
