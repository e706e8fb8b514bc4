// The export of a results file: any text is read with PLOTOR's reader or
// refused, and every VTK file written from what was read, put in place in
// a folder of its own, is well-formed XML.
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "export_files.h"
#include "fuzz_support.h"
#include "vtk_output.h"
#include "xml_check.h"

namespace {

std::string folder() {
  static const std::string dir = [] {
    char name[] = "/tmp/export_fuzz-XXXXXX";
    return std::string(::mkdtemp(name) ? name : "/tmp");
  }();
  return dir;
}

void check(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string problem = vortan::fuzz::xml_problem(text.str());
  if (problem.empty()) return;
  std::fprintf(stderr, "%s is not well-formed XML: %s\n%s\n", path.c_str(), problem.c_str(),
               text.str().c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vortan;
  fuzz::quiet_platform();
  ExportData d;
  d.results = true;
  std::istringstream in(fuzz::text_of(data, size));
  std::string error;
  read_export_stream(in, d, error);
  if (d.sets.empty()) return 0;
  // The title of the first set is the mesh's; the labels come from the file.
  const std::string base = folder() + "/run";
  ExportFiles files;
  std::vector<PvdEntry> entries;
  for (size_t s = 0; s < d.sets.size() && s < 3; ++s) {
    const int k = static_cast<int>(s) + 1;
    files.add(base + "_" + std::to_string(k) + ".vtu", mesh_vtu(*d.mesh, &d.sets[s], k));
    files.add(base + "_" + std::to_string(k) + "_gauss.vtu", gauss_vtu(*d.mesh, d.sets[s], k));
    entries.push_back({k, 0, "run_" + std::to_string(k) + ".vtu", d.sets[s].title});
  }
  files.add(base + ".pvd", pvd_text(entries));
  std::vector<std::string> written;
  if (!files.put_in_place(written)) {
    std::fprintf(stderr, "export not written: %s\n", files.error.c_str());
    std::abort();
  }
  for (const auto& w : written) check(w);
  return 0;
}
