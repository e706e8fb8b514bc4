// The files of one export, put in place together: each is written to a
// temporary file beside its target through the safe writer, and only when
// every one is complete are they all renamed over their targets. On any
// failure every temporary is removed and every earlier file kept.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "file_replace.h"

namespace vortan {

struct ExportFiles {
  std::vector<std::unique_ptr<ReplacingFile>> files;
  std::string error;  // the first failure, in the system's words

  ExportFiles() = default;
  ExportFiles(const ExportFiles&) = delete;
  ExportFiles& operator=(const ExportFiles&) = delete;
  ~ExportFiles() { abandon(); }

  // Writes the whole text of `path` into its temporary and completes it.
  bool add(const std::string& path, const std::string& text);
  // Starts `path` for a library that writes by name: the temporary (its
  // name ending with the target's extension) is returned, or "" on failure.
  // `check` is then called with the written temporary's name and says
  // whether it is whole (false: the export fails with `why`).
  std::string add_by_name(const std::string& path);
  bool complete_by_name(const std::string& path,
                        const std::function<bool(const std::string&, std::string&)>& check);
  // Renames every temporary over its target. False when one could not be
  // renamed: the files before it are in place, the rest removed.
  bool put_in_place(std::vector<std::string>& written);
  // Removes every temporary not yet in place.
  void abandon();
};

}  // namespace vortan
