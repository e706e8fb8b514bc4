// Choosing and starting the backend from the command line, shared by both
// programs.
#pragma once

#include <memory>
#include <string>

#include "platform.h"

namespace vortan {

// Opens the window backend on the display; nullptr when no display can be
// opened or the program was built without it. `record_path`, when not empty,
// names the session script that the backend writes as the user works.
std::unique_ptr<Platform> open_window_backend(const std::string& text_caption,
                                              const std::string& record_path);

// Parses the command line (see the usage text), sets up the platform, runs
// `program` and returns the exit status. Every way out closes the files.
int run_program(int argc, char** argv, const char* name, const std::string& text_caption,
                void (*program)());

}  // namespace vortan
