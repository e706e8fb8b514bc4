// Everything vortan-solve cannot translate for CalculiX, found before
// CalculiX runs: one message per kind, naming the elements or nodes.
#pragma once

#include <string>
#include <vector>

#include "solve_problem.h"

namespace vortan {

// The refusals of the problem; empty when it can be solved. `notes` gets
// what is taken in place of a missing value (a thickness of 0 as 1).
std::vector<std::string> refusals(const SolveProblem& p, std::vector<std::string>& notes);

// "what: elements 3, 7 and 12" with at most ten numbers and a count of
// the rest.
std::string naming(const std::string& what, const char* noun, const std::vector<int>& items);

}  // namespace vortan
