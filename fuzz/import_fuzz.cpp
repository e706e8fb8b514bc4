// The importer's reading of a mesh file (.msh versions 2.2 and 4.1, text
// and binary, from the seeds in fuzz/import_seeds) through the contained
// child: a crash of the Gmsh library there is a refusal like any other.
// What comes back must be taken or refused by the parent, and the import
// rules must then build a mesh or refuse it, without any fault here.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "gmsh_library.h"
#include "mesh_import.h"

namespace {

// One file of the run's own, written afresh for each input.
const std::string& input_path() {
  static std::string path = [] {
    char name[] = "/tmp/import_fuzz_XXXXXX.msh";
    const int fd = ::mkstemps(name, 4);
    if (fd < 0) std::abort();
    ::close(fd);
    return std::string(name);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = input_path();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
  vortan::SourceMesh src;
  std::string error;
  // Gmsh stuck in a loop, or paging through a huge table, is stopped (a
  // refusal) within 6 s, before the fuzzer's timeout.
  if (!vortan::read_gmsh_file(path, src, error, 3)) return 0;
  static auto m = std::make_unique<vortan::MeshModel>();
  // Each problem and level reads the groups and types its own way.
  for (int problem = 1; problem <= 3; ++problem)
    for (bool advanced : {false, true}) {
      vortan::ImportOptions opt;
      opt.problem = problem;
      opt.advanced = advanced;
      if (problem == 3) opt.lines = vortan::LineUse::Beams;
      if (problem == 2 && advanced) opt.lines = vortan::LineUse::Bars;
      vortan::import_mesh(src, opt, *m);
    }
  return 0;
}
