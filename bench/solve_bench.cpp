// vortan-solve at the limits of the model: a grid of 98 x 100 8-noded
// quadrilaterals (9800 elements, 29797 nodes) pulled at one edge, taken
// through every stage of the program in this process: reading the .dat,
// checking it, writing CalculiX's deck, CalculiX itself (ccx as a child
// process), reading its values back and writing the .out.
//
// Printed per run: the wall time of each stage, the total, the share spent
// outside CalculiX (the target: at most 10 %), and the peak memory of this
// process and of CalculiX. A run whose share passes 10 % is reported as an
// error. Each run is a whole solve, so one iteration is timed.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ccx_deck.h"
#include "ccx_process.h"
#include "ccx_results.h"
#include "console_platform.h"
#include "dat_file.h"
#include "example_meshes.h"
#include "out_file.h"
#include "platform/platform.h"
#include "solve_checks.h"

namespace vortan {
namespace {

namespace fs = std::filesystem;

// The grid's .dat, made once in a folder of its own.
std::string grid_dat(const fs::path& dir) {
  auto m = std::make_unique<MeshModel>();
  grid_mesh(98, 100, "Grid of 98 x 100 8-noded quadrilaterals", *m);
  const fs::path path = dir / "grid.dat";
  std::ofstream(path) << grid_part_b(*m, 98, 100, 100.0);  // Part A and Part B
  return path.string();
}

double since(std::chrono::steady_clock::time_point& t) {
  const auto now = std::chrono::steady_clock::now();
  const double s = std::chrono::duration<double>(now - t).count();
  t = now;
  return s;
}

double peak_mb(int who) {
  rusage u{};
  getrusage(who, &u);
  return u.ru_maxrss / 1024.0;
}

void BM_SolveAtTheLimits(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("vortan-solve-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string dat = grid_dat(dir);
  use_console_platform("solve_bench", true);
  CcxRun run;
  std::string error;
  if (!find_ccx(run.program, error)) state.SkipWithError(error.c_str());
  run.progress = false;
  double stage[6] = {};
  for (auto _ : state) {
    auto t = std::chrono::steady_clock::now();
    SolveProblem p;
    if (!read_problem(dat, p, error)) state.SkipWithError(error.c_str());
    stage[0] = since(t);
    std::vector<std::string> notes;
    if (!refusals(p, notes).empty()) state.SkipWithError("the grid was refused");
    stage[1] = since(t);
    const std::string deck = ccx_deck(p);
    stage[2] = since(t);
    const CcxOutcome c = run_ccx(run, deck);
    if (!c.ok) state.SkipWithError(c.message.c_str());
    stage[3] = since(t);
    NodeValues u(p.mesh->npoin + 1, {0.0, 0.0, 0.0});
    if (!read_ccx_values(c.results, false, used_nodes(*p.mesh), u, error))
      state.SkipWithError(error.c_str());
    stage[4] = since(t);
    const double factor[2] = {0.0, 1.0};
    if (!write_out((dir / "grid.out").string(), p, u, factor, 1, error))
      state.SkipWithError(error.c_str());
    stage[5] = since(t);
  }
  double total = 0.0;
  for (double s : stage) total += s;
  const double share = (total - stage[3]) / total;
  const char* names[6] = {"read_s", "check_s", "deck_s", "ccx_s", "values_s", "write_s"};
  for (int k = 0; k < 6; ++k) state.counters[names[k]] = stage[k];
  state.counters["total_s"] = total;
  state.counters["outside_ccx_pct"] = 100.0 * share;
  state.counters["peak_MB_self"] = peak_mb(RUSAGE_SELF);
  state.counters["peak_MB_ccx"] = peak_mb(RUSAGE_CHILDREN);
  if (share > 0.10) state.SkipWithError("more than 10 % of the time spent outside CalculiX");
  set_platform(nullptr);
  fs::remove_all(dir);
}
BENCHMARK(BM_SolveAtTheLimits)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace vortan

BENCHMARK_MAIN();
