// vortan-solve's command line and its stages: reading, checking, solving
// with CalculiX, writing the .out.
#pragma once

namespace vortan {

// Status 0 when the .out was written; 1 when the problem was refused or
// could not be solved or written (no .out then); 2 for a usage error.
int run_solve(int argc, char** argv);

}  // namespace vortan
