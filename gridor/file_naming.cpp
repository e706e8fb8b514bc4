#include "file_naming.h"

#include <filesystem>

#include "file_replace.h"
#include "mesh_model.h"
#include "platform/platform.h"
#include "prompts.h"

namespace vortan {

NameAnswer ask_simple_name(std::string& name, const std::string& refusal) {
  std::string typed = READLN();
  // Leading blanks are not part of a file name.
  size_t a = typed.find_first_not_of(' ');
  name = a == std::string::npos ? "" : typed.substr(a, LENSTR(typed) - a);
  if (name.empty()) return NameAnswer::Empty;
  if (name.find_first_of("./\\") != std::string::npos) {
    WRLINE(refusal);
    return NameAnswer::Refused;
  }
  if (name.size() > 8) {
    WRLINE("Warning: Max filename length is 8 characters.");
    name.resize(8);
    WRLINE("Filename truncated to " + name);
  }
  return NameAnswer::Given;
}

std::string dat_path(const std::string& folder, const std::string& name) {
  std::string f = folder.substr(0, LENSTR(folder));
  if (f.empty()) return name + ".dat";
  if (f.back() == '/' || f.back() == '\\') return f + name + ".dat";
  return f + "/" + name + ".dat";
}

static std::string replace_ext(const std::string& dat, const char* ext) {
  std::string base = dat.size() >= 4 ? dat.substr(0, dat.size() - 4) : dat;
  return base + ext;
}

std::string prt_path(const std::string& dat) { return replace_ext(dat, ".prt"); }
std::string ps_path(const std::string& dat) { return replace_ext(dat, ".ps"); }

bool same_file(const std::string& a, const std::string& b) {
  // A hard link is the same file under another name.
  if (same_file_on_disk(a, b)) return true;
  std::error_code ea, eb;
  auto pa = std::filesystem::weakly_canonical(a, ea);
  auto pb = std::filesystem::weakly_canonical(b, eb);
  if (ea || eb) return a == b;
  return pa == pb;
}

void ASKFIL(const std::string& folder, std::string& path, int& cancelled) {
  auto chosen = plat().file_open("Open an input file",
                                 {{"Input files", "*.dat"}, {"All files", "*.*"}}, folder);
  path = chosen ? *chosen : "";
  cancelled = LENSTR(path) == 0 ? 1 : 0;
  if (cancelled) WRLINE("No file selected.");
}

}  // namespace vortan
