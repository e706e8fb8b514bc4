// GRIDOR's inspection screen on the largest square grid of 8-noded
// quadrilaterals the limits take: the plain mesh, and the mesh with every
// element and node number, as "Number elements" and "Number nodes" add
// them. Printed: each figure and the numbered display against the plain
// one. Times are CPU times from Google Benchmark; with --count PREFIX,
// under callgrind (bench/gridor_display_counts.sh), each case runs once
// and the figures are instruction counts instead.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "callgrind_total.h"
#include "example_meshes.h"
#include "mesh_display.h"
#include "platform/headless.h"
#include "plot.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define VORTAN_CALLGRIND 1
#endif

namespace vortan {
namespace {

// Side of the largest square grid of 8-noded quadrilaterals within the limits.
int largest_grid() {
  int n = 1;
  while (3L * (n + 1) * (n + 1) + 4L * (n + 1) + 1 <= MPOIN && (n + 1L) * (n + 1) <= MELEM) ++n;
  return n;
}

// The screen as the inspection screen draws it: window, frame, mesh.
MeshWindow plain(const MeshModel& m) {
  double x1, x2, y1, y2;
  BOUNDS(m.npoin, m.coord, x1, x2, y1, y2);
  MeshWindow frame;
  STZOOM(x1, x2, y1, y2, frame);
  ENPLO1();
  FAXES(frame.xmin, frame.xmax, frame.ymin, frame.ymax, plot_state().charsize, -1);
  PLMESH(m, frame, false, false, false);
  return frame;
}

void numbered(const MeshModel& m) {
  const MeshWindow frame = plain(m);
  LABELM(m, 1, m.nelem, frame);
  LABNOD(m, 1, m.npoin, frame);
}

struct Case {
  const char* name;
  void (*run)(const MeshModel&);
};

const Case CASES[] = {{"plain", [](const MeshModel& m) { plain(m); }}, {"numbered", numbered}};

void report(const MeshModel& m, const double figures[2], const char* unit) {
  std::printf("\nGRIDOR's inspection screen at limits MPOIN %d, MELEM %d: %d elements, %d nodes\n",
              MPOIN, MELEM, m.nelem, m.npoin);
  std::printf("  plain mesh               %12.3f %s\n", figures[0], unit);
  std::printf("  every number             %12.3f %s\n", figures[1], unit);
  std::printf("  numbered against plain   %12.2f (at most 1.5 wanted)\n",
              figures[0] > 0 ? figures[1] / figures[0] : 0.0);
}

int count_instructions(const MeshModel& m, const std::string& prefix) {
#ifdef VORTAN_CALLGRIND
  if (!RUNNING_ON_VALGRIND) {
    std::fprintf(stderr, "gridor_display_bench: --count runs under callgrind\n");
    return 2;
  }
  double counts[2];
  for (int i = 0; i < 2; ++i) {
    CASES[i].run(m);  // once beforehand, so that nothing is counted that happens once only
    CALLGRIND_ZERO_STATS;
    CASES[i].run(m);
    CALLGRIND_DUMP_STATS_AT(CASES[i].name);
    counts[i] = dump_total(prefix + "." + std::to_string(i + 1)) * 1.0e-6;
  }
  report(m, counts, "million instructions");
  return 0;
#else
  (void)m, (void)prefix;
  std::fprintf(stderr, "gridor_display_bench: built without valgrind's callgrind.h: no --count\n");
  return 2;
#endif
}

// Keeps each case's CPU time per iteration (with repetitions, the median).
class Reporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (median || (r.run_type == Run::RT_Iteration && r.iterations > 0 &&
                     !times.count(r.run_name.str() + "#median")))
        times[r.run_name.str()] = r.GetAdjustedCPUTime();
      if (median) times[r.run_name.str() + "#median"] = 1;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace
}  // namespace vortan

int main(int argc, char** argv) {
  using namespace vortan;
  set_platform(std::make_unique<HeadlessPlatform>(parse_script("", "bench"), "/dev/null", "."));
  auto mesh = std::make_unique<MeshModel>();
  const int n = largest_grid();
  grid_mesh(n, n, "Benchmark grid", *mesh);
  CENTRD(*mesh);
  if (argc >= 3 && std::string(argv[1]) == "--count") return count_instructions(*mesh, argv[2]);
  for (const Case& c : CASES)
    benchmark::RegisterBenchmark(c.name, [&mesh, &c](benchmark::State& state) {
      for (auto _ : state) c.run(*mesh);
    })->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double times[2] = {reporter.times["plain"], reporter.times["numbered"]};
  report(*mesh, times, "CPU ms");
  benchmark::Shutdown();
  return 0;
}
