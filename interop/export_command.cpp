#include "export_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "console_platform.h"
#include "export_data.h"
#include "export_files.h"
#include "gmsh_library.h"
#include "gmsh_output.h"
#include "platform/platform.h"
#include "vtk_output.h"

namespace vortan {

namespace {

const char* USAGE =
    "usage: vortan-export [--quiet] INPUT.out|INPUT.dat [OUTPUT-BASE]\n"
    "Writes VTK XML files (.vtu, .pvd) for ParaView and a .msh file (with a .pos file of\n"
    "Gauss-point values and result set titles) for Gmsh. The files of one export are put\n"
    "in place together, only when all are complete.\n";

std::string base_name(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

std::string without_extension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

// Every .vtu file of the export and the collection that lists them.
void add_vtk(const ExportData& d, const std::string& base, ExportFiles& files) {
  const MeshModel& m = *d.mesh;
  if (!d.results) {
    files.add(base + ".vtu", mesh_vtu(m, nullptr, 0, d.part_b.get()));
    return;
  }
  std::vector<PvdEntry> entries;
  for (size_t s = 0; s < d.sets.size(); ++s) {
    const int k = static_cast<int>(s) + 1;
    const std::string mesh_file = base + "_" + std::to_string(k) + ".vtu";
    if (!files.add(mesh_file, mesh_vtu(m, &d.sets[s], k))) return;
    entries.push_back({k, 0, base_name(mesh_file), d.sets[s].title});
    if (d.sets[s].gauss.empty()) continue;
    const std::string gauss_file = base + "_" + std::to_string(k) + "_gauss.vtu";
    if (!files.add(gauss_file, gauss_vtu(m, d.sets[s], k))) return;
    entries.push_back({k, 1, base_name(gauss_file), d.sets[s].title});
  }
  files.add(base + ".pvd", pvd_text(entries));
}

int export_file(const std::string& input, const std::string& base, bool quiet) {
  if (!xml_names_exactly(base_name(base))) {
    std::fprintf(stderr,
                 "vortan-export: the output name %s is not plain UTF-8 text, which the .pvd "
                 "file could not name exactly: give another OUTPUT-BASE; nothing written\n",
                 xml_text(base_name(base)).c_str());
    return 1;
  }
  use_console_platform("vortan-export", quiet);
  ExportData data;
  std::string read_error;
  std::vector<std::string> written, notes;
  if (!read_for_export(input, data, read_error)) {
    set_platform(nullptr);
    std::fprintf(stderr, "vortan-export: %s; nothing written\n", read_error.c_str());
    return 1;
  }
  ExportFiles files;
  add_vtk(data, base, files);
  if (files.error.empty()) {
    GmshLibrary gmsh;
    write_msh(base + ".msh", data, files, notes);
  }
  if (data.results) files.add(base + "_gauss.pos", pos_text(data));
  files.put_in_place(written);
  set_platform(nullptr);
  if (!files.error.empty()) {
    std::fprintf(stderr, "vortan-export: %s; %s\n", files.error.c_str(),
                 written.empty() ? "nothing written, earlier files kept"
                                 : "some files were put in place before it");
    return 1;
  }
  if (!quiet) {
    for (const auto& n : notes) std::printf("%s\n", n.c_str());
    for (const auto& w : written) std::printf("written: %s\n", w.c_str());
  }
  if (!read_error.empty()) {
    std::fprintf(stderr, "vortan-export: %s; the %zu result set%s before it exported\n",
                 read_error.c_str(), data.sets.size(), data.sets.size() == 1 ? "" : "s");
    return 1;
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
  } catch (const std::exception& e) {
    set_platform(nullptr);
    std::fprintf(stderr, "vortan-export: %s; nothing written\n", e.what());
    return 1;
  }
}

}  // namespace vortan
