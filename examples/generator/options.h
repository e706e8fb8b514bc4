// The generator's command line: a mode word, its file names, and options
// "--name value" with real values.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vortan {

struct CommandLine {
  std::vector<std::string> words;         // the words that are not options
  std::map<std::string, double> options;  // "--radius 2" as {"radius", 2.0}
};

// Splits the arguments; false, with the reason in `error`, for an option
// without a value, a value that is not a number, or an option not in
// `allowed`.
bool parse_command_line(const std::vector<std::string>& args,
                        const std::vector<std::string>& allowed, CommandLine& cl,
                        std::string& error);

// The option's value, or `fallback` when it was not given.
double option(const CommandLine& cl, const std::string& name, double fallback);

}  // namespace vortan
