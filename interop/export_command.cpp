#include "export_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "console_platform.h"
#include "export_data.h"
#include "file_output.h"
#include "gmsh_library.h"
#include "gmsh_output.h"
#include "platform/platform.h"
#include "vtk_output.h"

namespace vortan {

namespace {

const char* USAGE =
    "usage: vortan-export [--quiet] INPUT.out|INPUT.dat [OUTPUT-BASE]\n"
    "Writes VTK XML files (.vtu, .pvd) for ParaView and a .msh file (with a .pos file of\n"
    "Gauss-point values) for Gmsh.\n";

std::string base_name(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

std::string without_extension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

// Every .vtu file of the export and the collection that lists them.
bool write_vtk(const ExportData& d, const std::string& base, std::vector<std::string>& written,
               std::string& error) {
  const MeshModel& m = *d.mesh;
  auto put = [&](const std::string& path, const std::function<void(std::ostream&)>& f) {
    if (!write_file(path, f, error)) return false;
    written.push_back(path);
    return true;
  };
  if (!d.results)
    return put(base + ".vtu", [&](std::ostream& o) { write_mesh_vtu(o, m, nullptr); });
  std::vector<PvdEntry> entries;
  for (size_t s = 0; s < d.sets.size(); ++s) {
    const int k = static_cast<int>(s) + 1;
    const std::string mesh_file = base + "_" + std::to_string(k) + ".vtu";
    if (!put(mesh_file, [&](std::ostream& o) { write_mesh_vtu(o, m, &d.sets[s]); })) return false;
    entries.push_back({k, 0, base_name(mesh_file)});
    if (d.sets[s].gauss.empty()) continue;
    const std::string gauss_file = base + "_" + std::to_string(k) + "_gauss.vtu";
    if (!put(gauss_file, [&](std::ostream& o) { write_gauss_vtu(o, m, d.sets[s]); })) return false;
    entries.push_back({k, 1, base_name(gauss_file)});
  }
  return put(base + ".pvd", [&](std::ostream& o) { write_pvd(o, entries); });
}

int export_file(const std::string& input, const std::string& base, bool quiet) {
  use_console_platform("vortan-export", quiet);
  ExportData data;
  std::string error;
  std::vector<std::string> written, notes;
  bool ok = read_for_export(input, data, error);
  if (!ok) error += "; nothing written";
  ok = ok && write_vtk(data, base, written, error);
  if (ok) {
    GmshLibrary gmsh;
    ok = write_gmsh_files(base + ".msh", base + "_gauss.pos", data, notes, error);
    if (ok) written.push_back(base + ".msh");
    bool pos = false;
    for (const auto& s : data.sets) pos = pos || !s.gauss.empty();
    if (ok && pos) written.push_back(base + "_gauss.pos");
  }
  set_platform(nullptr);
  if (!ok) {
    std::fprintf(stderr, "vortan-export: %s\n", error.c_str());
    return 1;
  }
  if (!quiet) {
    for (const auto& n : notes) std::printf("%s\n", n.c_str());
    for (const auto& w : written) std::printf("written: %s\n", w.c_str());
  }
  return 0;
}

}  // namespace

int run_export(int argc, char** argv) {
  std::vector<std::string> files;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::printf("%s", USAGE);
      return 0;
    }
    if (a == "--quiet")
      quiet = true;
    else if (a.rfind("--", 0) == 0) {
      std::fprintf(stderr, "vortan-export: unknown option %s\n%s", a.c_str(), USAGE);
      return 2;
    } else
      files.push_back(a);
  }
  if (files.empty() || files.size() > 2) {
    std::fprintf(
        stderr, "vortan-export: give one .out or .dat file and an optional output base\n%s", USAGE);
    return 2;
  }
  try {
    return export_file(files[0], files.size() == 2 ? files[1] : without_extension(files[0]), quiet);
  } catch (const ProgramExit& e) {
    set_platform(nullptr);
    std::fprintf(stderr, "vortan-export: %s\n", e.message.c_str());
    return 1;
  }
}

}  // namespace vortan
