// Refinement, triangulation and doubling of two meshes of 8-noded
// quadrilaterals, one four times the other; the larger is as big as the
// limits allow (its refinement comes near the node limit). The time ratio
// of each operation is printed: it stays near 4 when the cost grows in
// proportion to the mesh.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "double_mesh.h"
#include "platform/headless.h"
#include "refine.h"
#include "triangulate.h"

namespace vortan {
namespace {

// A grid of nx x ny 8-noded quadrilaterals of unit size.
void make_grid(MeshModel& m, int nx, int ny) {
  m.npoin = m.nelem = 0;
  m.ndofn = 2;
  m.npros = 1;
  // Node numbers of the corner/midside rows: rows at even j hold 2nx+1
  // nodes, rows at odd j hold nx+1 (corners' verticals only).
  auto node = [&](int i, int j) {
    const int pair = j / 2;
    int n = pair * (3 * nx + 2);
    return j % 2 == 0 ? n + i + 1 : n + (2 * nx + 1) + i / 2 + 1;
  };
  for (int j = 0; j <= 2 * ny; ++j)
    for (int i = 0; i <= 2 * nx; ++i) {
      if (j % 2 == 1 && i % 2 == 1) continue;
      const int n = node(i, j);
      m.coord(n, 1) = 0.5 * i;
      m.coord(n, 2) = 0.5 * j;
      m.kode(n) = j == 0 ? 11 : 0;
      m.ndof(n) = 2;
      m.npoin = std::max(m.npoin, n);
    }
  for (int b = 0; b < ny; ++b)
    for (int a = 0; a < nx; ++a) {
      const int e = ++m.nelem;
      const int i = 2 * a, j = 2 * b;
      const int nodes[8] = {node(i, j),         node(i + 1, j),     node(i + 2, j),
                            node(i + 2, j + 1), node(i + 2, j + 2), node(i + 1, j + 2),
                            node(i, j + 2),     node(i, j + 1)};
      for (int k = 0; k < 8; ++k) m.lnods(e, k + 1) = nodes[k];
      m.nnode(e) = 8;
      m.nside(e) = 4;
      m.mattyp(e) = 1;
      m.matset(e) = 1;
    }
}

// Puts the working mesh back to the base mesh, touching only the entries
// in use, so that the reset costs in proportion to the mesh too.
void reset(MeshModel& work, const MeshModel& base) {
  for (int n = 1; n <= base.npoin; ++n) {
    work.coord(n, 1) = base.coord(n, 1);
    work.coord(n, 2) = base.coord(n, 2);
    work.kode(n) = base.kode(n);
    work.ndof(n) = base.ndof(n);
  }
  for (int e = 1; e <= base.nelem; ++e) {
    for (int k = 1; k <= MNODE; ++k) work.lnods(e, k) = base.lnods(e, k);
    work.nnode(e) = base.nnode(e);
    work.nside(e) = base.nside(e);
    work.mattyp(e) = base.mattyp(e);
    work.matset(e) = base.matset(e);
  }
  work.npoin = base.npoin;
  work.nelem = base.nelem;
  work.ndofn = base.ndofn;
  work.npros = base.npros;
}

struct Meshes {
  std::unique_ptr<MeshModel> base = std::make_unique<MeshModel>();
  std::unique_ptr<MeshModel> work = std::make_unique<MeshModel>();
  std::unique_ptr<EdgeTables> edges = std::make_unique<EdgeTables>();
  std::unique_ptr<DoublingWork> doubling = std::make_unique<DoublingWork>();
};

// The small mesh has 24 x 25 = 600 elements, the large 49 x 49 = 2401.
Meshes& meshes(bool large) {
  static Meshes small, big;
  Meshes& m = large ? big : small;
  if (m.base->nelem == 0) make_grid(*m.base, large ? 49 : 24, large ? 49 : 25);
  return m;
}

template <class Operation>
void run(benchmark::State& state, Operation op) {
  Meshes& m = meshes(state.range(0) == 1);
  for (auto _ : state) {
    state.PauseTiming();
    reset(*m.work, *m.base);
    state.ResumeTiming();
    op(*m.work, m);
    benchmark::DoNotOptimize(m.work->npoin);
  }
  state.counters["elements"] = m.base->nelem;
  state.counters["result_nodes"] = m.work->npoin;
}

void BM_Refine(benchmark::State& state) {
  run(state, [](MeshModel& w, Meshes& m) {
    EdgeTables& t = *m.edges;
    build_edges(w, t);
    divide_all(w, t);
    apply_divisions(w, t, AUTOMATIC);
  });
}

void BM_Triangulate(benchmark::State& state) {
  run(state, [](MeshModel& w, Meshes&) {
    for (int e = 1; e <= w.nelem; ++e) w.nside(e) = -w.nside(e);
    cut_marked(w);
  });
}

void BM_Double(benchmark::State& state) {
  run(state, [](MeshModel& w, Meshes& m) {
    double_mesh(w, DoublingType::Translation, DoublingDirection::Up, *m.doubling);
  });
}

BENCHMARK(BM_Refine)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Triangulate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Double)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Keeps each run's time per iteration besides the usual console table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.iterations > 0) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace
}  // namespace vortan

int main(int argc, char** argv) {
  using namespace vortan;
  // No dialogue is expected; any message would go to a silent transcript.
  set_platform(std::make_unique<HeadlessPlatform>(parse_script("", "bench"), "/dev/null", "."));
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nTime ratio, 2401 elements against 600 (near 4 means cost in proportion):\n");
  for (const char* name : {"BM_Refine", "BM_Triangulate", "BM_Double"}) {
    const auto a = reporter.times.find(std::string(name) + "/0");
    const auto b = reporter.times.find(std::string(name) + "/1");
    if (a != reporter.times.end() && b != reporter.times.end() && a->second > 0)
      std::printf("  %-16s %6.2f\n", name + 3, b->second / a->second);
  }
  benchmark::Shutdown();
  return 0;
}
