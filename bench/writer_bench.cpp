// The .dat Part A writer (OUTPUT) and the .prt listing (PRINT) against
// fwrite of the same bytes, on the largest square grid of 8-noded
// quadrilaterals the limits take, its nodes moved off the unit grid so
// every coordinate has all its decimals.
//
//   writer_bench [RUNS]     (default 21; 1 under callgrind)
//
// Each figure is the median of RUNS runs in this one process: the writer
// formats into memory and fwrites the text to a scratch file; the plain
// case fwrites the same text. Printed: the times and the plain case's time
// over the writer's (the writer's speed as a share of fwrite's). The Part A
// written is also read back (INPUT) against a getline loop over the file.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dat_file.h"
#include "example_meshes.h"
#include "listing.h"
#include "platform/headless.h"

namespace vortan {
namespace {

namespace fs = std::filesystem;

int largest_grid() {
  int n = 1;
  std::string why;
  while (check_grid(n + 1, n + 1, why)) ++n;
  return n;
}

bool put_file(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

double median_ms(int runs, const std::function<void()>& work) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    const auto a = std::chrono::steady_clock::now();
    work();
    t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

void compare(const char* name, int runs, const std::string& path,
             const std::function<void(std::ostream&)>& writer) {
  std::ostringstream once;
  writer(once);
  const std::string text = once.str();
  const double plain = median_ms(runs, [&] {
    if (!put_file(path, text)) std::perror(path.c_str());
  });
  const double made = median_ms(runs, [&] {
    std::ostringstream out;
    writer(out);
    if (!put_file(path, out.str())) std::perror(path.c_str());
  });
  std::printf("%-22s %9zu bytes  writer %8.3f ms  fwrite %8.3f ms  speed %5.1f%% of fwrite\n", name,
              text.size(), made, plain, 100.0 * plain / made);
}

// Reading the file at `path` back into `m` (INPUT) against a plain line loop
// over it.
void compare_reading(const char* name, int runs, const std::string& path, MeshModel& m) {
  long bytes = 0;
  const double plain = median_ms(runs, [&] {
    std::ifstream in(path);
    bytes = 0;
    for (std::string line; std::getline(in, line);) bytes += static_cast<long>(line.size()) + 1;
  });
  const double made = median_ms(runs, [&] {
    std::ifstream in(path);
    INPUT(in, m);
  });
  std::printf("%-22s %9ld bytes  reader %8.3f ms  getline %7.3f ms  speed %5.1f%% of getline\n", name,
              bytes, made, plain, 100.0 * plain / made);
}

}  // namespace
}  // namespace vortan

int main(int argc, char** argv) {
  using namespace vortan;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  set_platform(std::make_unique<HeadlessPlatform>(parse_script("", "bench"), "/dev/null", "."));
  auto m = make_tables<MeshModel>();
  clear_mesh(*m);
  const int n = largest_grid();
  grid_mesh(n, n, "writer benchmark grid", *m);
  for (int i = 1; i <= m->npoin; ++i) {
    m->coord(i, 1) += 0.01 * std::sin(1.7 * i);
    m->coord(i, 2) += 0.01 * std::cos(2.3 * i);
  }
  std::printf("grid %d x %d: %d elements, %d nodes; medians of %d runs\n", n, n, m->nelem, m->npoin,
              runs);
  const std::string path = (fs::temp_directory_path() / "vortan_writer_bench.tmp").string();
  compare(".dat Part A (OUTPUT)", runs, path, [&](std::ostream& o) { OUTPUT(o, *m); });
  auto back = make_tables<MeshModel>();
  compare_reading(".dat Part A (INPUT)", runs, path, *back);
  compare(".prt listing (PRINT)", runs, path, [&](std::ostream& o) { PRINT(&o, *m); });
  std::remove(path.c_str());
  return 0;
}
