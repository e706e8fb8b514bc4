// The new-mesh dialogue: title, problem type and level, the mesh entered by
// mouse or keyboard and edited, then fixities, degrees of freedom and
// material properties. On return Part A is complete.
#pragma once

#include <string>

#include "mesh_model.h"

namespace vortan {

void CREATE(MeshModel& m);

// The second half of CREATE: fixity codes, degrees of freedom, property
// sets and their elements, and the completion texts.
void CREATE_PROPERTIES(MeshModel& m);

// The fixity-code dialog for a code of 1 to 4 digits; other digit counts
// leave the code unchanged.
void SETKOD(int digits, int& kode);

// Asks in the text window for a set number between 1 and n (the prompt
// followed by n and ": ") until one is typed.
int ask_set_number(const std::string& prompt, int n);

// The snapping unit of mouse input for the smaller of the two ranges.
double snapping_unit(double smaller_range);

}  // namespace vortan
