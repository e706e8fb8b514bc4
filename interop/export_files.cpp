#include "export_files.h"

namespace vortan {

bool ExportFiles::add(const std::string& path, const std::string& text) {
  if (!error.empty()) return false;
  auto f = std::make_unique<ReplacingFile>();
  const bool ok = begin_replace(*f, path) && write_replace(*f, text) && finish_replace(*f);
  if (!ok) {
    error = replace_failure(*f);
    abandon_replace(*f);
    return false;
  }
  files.push_back(std::move(f));
  return true;
}

std::string ExportFiles::add_by_name(const std::string& path) {
  if (!error.empty()) return "";
  auto f = std::make_unique<ReplacingFile>();
  if (!begin_replace(*f, path, true)) {
    error = replace_failure(*f);
    abandon_replace(*f);
    return "";
  }
  files.push_back(std::move(f));
  return files.back()->temp;
}

bool ExportFiles::complete_by_name(
    const std::string& path, const std::function<bool(const std::string&, std::string&)>& check) {
  for (auto& f : files) {
    if (f->path != path || !f->unit) continue;
    std::string why;
    if (!check(f->temp, why)) {
      error = "cannot write " + path + ": " + why;
      abandon_replace(*f);
      return false;
    }
    // The library wrote through a unit of its own: this one syncs the file.
    if (!finish_replace(*f)) {
      error = replace_failure(*f);
      return false;
    }
    return true;
  }
  error = "cannot write " + path + ": it was not started";
  return false;
}

bool ExportFiles::put_in_place(std::vector<std::string>& written) {
  if (!error.empty()) return false;
  for (auto& f : files) {
    if (f->unit || f->temp.empty()) continue;
    if (!place_replace(*f)) {
      error = replace_failure(*f);
      abandon();
      return false;
    }
    written.push_back(f->path);
  }
  files.clear();
  return true;
}

void ExportFiles::abandon() {
  for (auto& f : files) abandon_replace(*f);
  files.clear();
}

}  // namespace vortan
