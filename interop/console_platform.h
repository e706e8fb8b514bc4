// The platform of the command-line tools: the shared readers write their
// progress and warning lines to the text window, which here is the
// terminal, and show their errors in a box, which here is one line on
// standard error. The tools never ask the user anything; a reader that
// would ask ends the tool with a message instead of waiting.
#pragma once

#include <string>

namespace vortan {

// Installs the terminal platform for the tool named `tool`. Text-window
// lines go to standard output unless `quiet`.
void use_console_platform(const std::string& tool, bool quiet);

}  // namespace vortan
