// The --help text of GRIDOR and PLOTOR: each option in a line, as their
// manual pages give them.
#pragma once

namespace vortan {

// Writes the help of `name` ("gridor" or "plotor") to standard output and
// returns the exit status: 0, or 1 when standard output cannot be written.
int print_program_help(const char* name);

}  // namespace vortan
