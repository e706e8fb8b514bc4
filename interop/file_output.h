// Writing a whole file safely: the text goes to a file beside the target,
// which replaces the target only when every byte is written, so a failed
// write never leaves a damaged file under the user's name.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace vortan {

// Writes `path` through `write`; false with `error` set when the file could
// not be written (nothing is then left under `path` or beside it).
bool write_file(const std::string& path, const std::function<void(std::ostream&)>& write,
                std::string& error);

// Moves a finished file `from` onto `to`; false with `error` set.
bool replace_file(const std::string& from, const std::string& to, std::string& error);

// The name of the file beside `path` that a write goes to first, keeping
// the extension (Gmsh chooses its format by the extension).
std::string partial_name(const std::string& path);

}  // namespace vortan
