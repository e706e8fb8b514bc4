// The command line of vortan-import:
//   vortan-import --problem poisson|elasticity|beams [--level basic|advanced]
//                 [--lines bars|beams] [--props SET=v1,v2,...]... [--title TEXT]
//                 [--scale F] [--no-merge] [--quiet] INPUT OUTPUT.dat
#pragma once

#include <string>
#include <vector>

#include "mesh_import.h"

namespace vortan {

struct ImportCommand {
  ImportOptions options;
  std::string input, output;
  bool quiet = false;
  bool help = false;
};

// Reads the words after the program name; false with `error` set when they
// do not make a command.
bool parse_import_args(const std::vector<std::string>& args, ImportCommand& cmd,
                       std::string& error);

// The whole tool; returns its exit status (0 written, 1 refused, 2 usage).
int run_import(int argc, char** argv);

}  // namespace vortan
