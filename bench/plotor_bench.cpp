// PLOTOR at the limits of the model and at a quarter of them: reading the
// largest results file against a plain line loop over the same file, the
// full redraw of every plot, and every PostScript file.
//
// The meshes and results files are made at start-up in a folder of their
// own: square grids of 8-noded quadrilaterals with Kirsch's closed-form
// results, the larger as large as the limits take with its outline, the
// smaller of half its side (a quarter of its elements); for the diagrams
// of bars the same grids with a bar along every horizontal line of sides;
// for reading, the largest square grid the limits take.
//
// Printed: every figure, each figure at the limits against the same at a
// quarter (near 4 when the cost grows in proportion), each redraw at the
// limits against the deformed-mesh redraw of its set, and the reader's
// speed as a share of the line loop's (the loop's figure over the reader's). Times are CPU times from Google Benchmark, in
// one run (with --benchmark_repetitions, the medians). With --count PREFIX,
// under callgrind (bench/plotor_counts.sh), each case runs once and the
// figures are instruction counts instead; with --count PREFIX CASES, only
// the cases whose names hold CASES (bench/plotor_counts.sh BUILD read).
//
//   plotor_bench --eps [RUNS] [--keep DIR]
//
// sets the writing of every PostScript file against fwrite of the same
// bytes, each figure the median of RUNS runs (default 21) in this one
// process: processor times, the writer's from opening the picture to its
// last record handed to the file, the plain case's from fopen to fclose,
// both making a new file in the same folder; the sync and rename that put
// the picture in place are left out. "drawing" is the same picture drawn
// with no file open: the plot's own work, without records or writing.
// With --keep the files are also copied into DIR, to be compared with
// cmp against those of another build.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "callgrind_total.h"
#include "contour_engine.h"
#include "crosses.h"
#include "dat_file.h"
#include "deformed_mesh.h"
#include "dof_contours.h"
#include "element_diagrams.h"
#include "example_meshes.h"
#include "mesh_picture.h"
#include "mesh_boundary.h"
#include "platform/headless.h"
#include "plot.h"
#include "plots.h"
#include "results_file.h"
#include "solution_fields.h"
#include "stress_contours.h"
#include "yield_zones.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define VORTAN_CALLGRIND 1
#endif

namespace vortan {
namespace {

namespace fs = std::filesystem;

// One mesh with its result set, read from its results file as PLOTOR
// reads it, and the work tables of the plots.
struct DataSet {
  std::string path;
  int elements = 0, nodes = 0, gauss = 0;
  std::unique_ptr<MeshModel> m = std::make_unique<MeshModel>();
  std::unique_ptr<ResultSet> r = std::make_unique<ResultSet>();
  std::unique_ptr<PlotWork> w = std::make_unique<PlotWork>();
  double factor = 1;   // the deformed plots' initial exaggeration factor
  double box[4] = {};  // undeformed and displaced nodes
  double smax = 1;     // the crosses' reference value
};

// A platform whose user answers with `script`, and whose transcript is
// dropped.
void answer_with(const std::string& script) {
  set_platform(std::make_unique<HeadlessPlatform>(parse_script(script, "bench"), "/dev/null", "."));
}

// Side of the largest square grid within the limits: with `bars` the grid
// also carries a bar along every horizontal line of sides, with `outline`
// its edges fit the outline's table; the side is even, so that half of it
// gives a quarter of the elements.
int largest_grid(bool bars, bool outline) {
  auto fits = [&](long n) {
    const long elements = n * n + (bars ? n * (n + 1) : 0);
    return 3 * n * n + 4 * n + 1 <= MPOIN && elements <= MELEM && 4 * n * n <= MGAUS &&
           (!outline || 2 * n * n + 2 * n <= MEDGE);
  };
  int n = 2;
  while (fits(n + 2)) n += 2;
  return n;
}

// Quadratic bars on the bottom side of every element and on the top side
// of the last row, as reinforcement along the lines of the grid.
void add_bars(MeshModel& m, int n) {
  const int cells = m.nelem;
  auto bar = [&](int e, int a, int mid, int b) {
    const int k = ++m.nelem;
    m.nnode(k) = 3;
    m.nside(k) = 1;
    m.mattyp(k) = 2;
    m.matset(k) = 1;
    m.lnods(k, 1) = m.lnods(e, a);
    m.lnods(k, 2) = m.lnods(e, mid);
    m.lnods(k, 3) = m.lnods(e, b);
  };
  for (int e = 1; e <= cells; ++e) bar(e, 1, 2, 3);
  for (int e = cells - n + 1; e <= cells; ++e) bar(e, 7, 6, 5);
}

// Writes the results file of an n x n grid (with bars) in `folder`.
std::string write_grid_results(const fs::path& folder, int n, bool bars) {
  auto mesh = std::make_unique<MeshModel>();
  grid_mesh(n, n, "Benchmark grid", *mesh);
  if (bars) add_bars(*mesh, n);
  auto columns = std::make_unique<ResultColumns>();
  std::string error;
  const std::string path =
      (folder / ("grid" + std::to_string(n) + (bars ? "bars" : "") + ".out")).string();
  if (!kirsch_results(*mesh, closed_form::Kirsch{}, *columns, error) ||
      !write_results(path, *mesh, *columns, error)) {
    std::fprintf(stderr, "plotor_bench: %s\n", error.c_str());
    std::exit(1);
  }
  return path;
}

// Reads the file as PLOTOR does: the mesh head, then one result set.
void read_results(const std::string& path, MeshModel& m, ResultSet& r) {
  std::ifstream in(path);
  m.title.assign(80, ' ');
  INPUT(in, m);
  read_result_set(in, m, r);
}

void prepare(DataSet& d, const std::string& path) {
  d.path = path;
  clear_results(*d.r);
  read_results(path, *d.m, *d.r);
  d.elements = d.m->nelem;
  d.nodes = d.m->npoin;
  d.gauss = d.r->ngaus;
  double x1, x2, y1, y2;
  BOUNDS(d.m->npoin, d.m->coord, x1, x2, y1, y2);
  d.factor = initial_factor(std::max(1.0, x2 - x1), largest_displacement(*d.m, *d.r));
  displace(*d.m, *d.r, *d.w, d.factor);
  displaced_box(*d.m, *d.w, d.box);
  for (int i = 1; i <= d.r->ngaus; ++i)
    d.smax = std::max({d.smax, std::fabs(d.r->stres(i, 1)), std::fabs(d.r->stres(i, 2))});
  for (int n = 1; n <= d.m->npoin; ++n) d.w->vnode(n) = d.r->disp(n, 1);
}

// --- the redraws, as each plot's Restore button draws its screen ----------------

MeshWindow displaced_window(const DataSet& d) {
  MeshWindow frame;
  STZOOM(d.box[0], d.box[1], d.box[2], d.box[3], frame);
  FAXES(frame.xmin, frame.xmax, frame.ymin, frame.ymax, plot_state().charsize, -1);
  return frame;
}

void redraw_deformed(DataSet& d) {
  const MeshWindow frame = displaced_window(d);
  PLMSHO(*d.m, 0, d.m->coord, frame, false, true, true);
  PLMSHO(*d.m, 0, d.w->cdef, frame, false, false, false);
}

void redraw_vectors(DataSet& d) {
  const MeshWindow frame = displaced_window(d);
  PLMSHO(*d.m, 0, d.m->coord, frame, false, true, true);
  draw_vectors(*d.m, *d.w, frame);
}

void redraw_crosses(DataSet& d) {
  MeshWindow frame;
  result_window(*d.m, frame);
  PLBDRY(*d.m, *d.w, frame, false, true);
  PLSTRS(*d.r, d.smax, frame, false);
}

void redraw_stress_contours(DataSet& d) {
  ContourView view;
  contour_setup(*d.m, view);
  contour_outline(*d.m, *d.w, view, true);
  PLCSTR(*d.m, *d.r, *d.w, NLEV, 1, view, 0);
}

void redraw_dof_contours(DataSet& d) {
  ContourView view;
  contour_setup(*d.m, view);
  contour_outline(*d.m, *d.w, view, true);
  PLCSPL(*d.m, *d.w, NLEV, 1, view, 0);
}

void redraw_yield_zones(DataSet& d) {
  MeshWindow frame;
  result_window(*d.m, frame);
  PLMSHO(*d.m, 0, d.m->coord, frame, false, true, true);
  PLYLD(*d.r, 0, frame, false);  // every point: the results carry yield code 0
}

void redraw_diagrams(DataSet& d) {
  const MeshWindow frame = displaced_window(d);
  draw_outline(*d.m, *d.w, d.w->cdef, frame, false, true);
  PLT1DO(*d.m, *d.r, frame, false, d.factor, false);
}

// --- the PostScript files, with the answers their questions take ------------------

struct PsFile {
  const char* name;
  std::string (*script)(const DataSet&);
  void (*write)(DataSet&);
};

std::string factor_answers(const DataSet& d) {
  return "line " + std::to_string(d.factor) + "\nkey n\nkey y\nkey y\n";
}

const PsFile PS_FILES[] = {
    {"deformed", factor_answers,
     [](DataSet& d) { PSMESH(*d.m, *d.r, *d.w, ViewState{}); }},
    {"vectors", factor_answers,
     [](DataSet& d) { PSVMSH(*d.m, *d.r, *d.w, ViewState{}); }},
    {"crosses",
     [](const DataSet& d) { return "key n\nline " + std::to_string(d.smax) + "\n"; },
     [](DataSet& d) { PSSTRS(*d.m, *d.r, *d.w, ViewState{}); }},
    {"stress_contours", [](const DataSet&) { return std::string("key n\nkey 1\n"); },
     [](DataSet& d) { PSCSTR(*d.m, *d.r, *d.w, ViewState{}); }},
    {"dof_contours", [](const DataSet&) { return std::string("key n\n"); },
     [](DataSet& d) { PSCSPL(*d.m, *d.r, *d.w, ViewState{}, 1); }},
    {"yield_zones", [](const DataSet&) { return std::string("line 0\nkey n\n"); },
     [](DataSet& d) { PSYSTR(*d.m, *d.r, *d.w, ViewState{}); }},
    {"mesh_numbers", [](const DataSet&) { return std::string("key y\nkey n\n"); },
     [](DataSet& d) { PSPSPS(*d.m); }},  // GRIDOR's mesh with every number
};

void write_ps(DataSet& d, const PsFile& f, const std::string& path) {
  PSOPEN(path);
  f.write(d);
  PSCLOS();
}

// --- the cases ----------------------------------------------------------------------

struct Bench {
  fs::path folder;
  DataSet grid[2], bars[2];          // quarter, limits
  std::string largest[2];            // the reading files: a quarter, the largest
  int read_nodes[2] = {}, read_gauss[2] = {};
  long read_lines[2] = {}, read_bytes[2] = {};
  std::unique_ptr<MeshModel> scratch_m = std::make_unique<MeshModel>();
  std::unique_ptr<ResultSet> scratch_r = std::make_unique<ResultSet>();
};

const char* const SIZE[2] = {"quarter", "limits"};

struct Case {
  std::string name;                  // kind/what/size
  std::string script;                // answers to give before each run
  std::function<void()> run;
};

std::vector<Case> cases(Bench& b) {
  std::vector<Case> out;
  using Redraw = void (*)(DataSet&);
  const std::pair<const char*, Redraw> redraws[] = {
      {"deformed", redraw_deformed},       {"vectors", redraw_vectors},
      {"crosses", redraw_crosses},         {"stress_contours", redraw_stress_contours},
      {"dof_contours", redraw_dof_contours}, {"yield_zones", redraw_yield_zones}};
  for (int s = 0; s < 2; ++s) {
    const std::string size = SIZE[s];
    Bench* p = &b;
    out.push_back({"read/results/" + size, "", [p, s] {
                     read_results(p->largest[s], *p->scratch_m, *p->scratch_r);
                   }});
    out.push_back({"read/getline/" + size, "", [p, s] {
                     std::ifstream in(p->largest[s]);
                     std::string line;
                     long count = 0;
                     while (std::getline(in, line)) ++count;
                     benchmark::DoNotOptimize(count);
                   }});
    for (const auto& [name, draw] : redraws) {
      DataSet* d = &b.grid[s];
      Redraw f = draw;
      out.push_back({"redraw/" + std::string(name) + "/" + size, "", [d, f] { f(*d); }});
    }
    DataSet* bars = &b.bars[s];
    out.push_back({"redraw/bars_deformed/" + size, "", [bars] { redraw_deformed(*bars); }});
    out.push_back({"redraw/bars_diagrams/" + size, "", [bars] { redraw_diagrams(*bars); }});
    for (const PsFile& f : PS_FILES) {
      DataSet* d = &b.grid[s];
      const std::string path = (b.folder / (std::string(f.name) + ".ps")).string();
      out.push_back({"ps/" + std::string(f.name) + "/" + size, f.script(*d),
                     [d, &f, path] { write_ps(*d, f, path); }});
    }
  }
  return out;
}

// --- figures and ratios -------------------------------------------------------------

using Figures = std::map<std::string, double>;

double figure(const Figures& f, const std::string& name) {
  const auto x = f.find(name);
  return x != f.end() ? x->second : 0.0;
}

double ratio(const Figures& f, const std::string& a, const std::string& b) {
  const auto x = f.find(a), y = f.find(b);
  return x != f.end() && y != f.end() && y->second > 0 ? x->second / y->second : 0.0;
}

void report(const Bench& b, const Figures& f, const char* unit, double scale) {
  std::printf("\nPLOTOR at limits MPOIN %d, MELEM %d, MEDGE %d, MGAUS %d.\n", MPOIN, MELEM,
              MEDGE, MGAUS);
  std::printf("Plot sets of %d and %d elements (%d and %d nodes, %d and %d Gauss points);\n",
              b.grid[0].elements, b.grid[1].elements, b.grid[0].nodes, b.grid[1].nodes,
              b.grid[0].gauss, b.grid[1].gauss);
  std::printf("with bars, %d and %d elements; files read, %d and %d nodal lines and %d and %d "
              "Gauss-point lines.\n",
              b.bars[0].elements, b.bars[1].elements, b.read_nodes[0], b.read_nodes[1],
              b.read_gauss[0], b.read_gauss[1]);
  std::printf("\n%-28s %14s %14s %8s\n", "", "quarter", "limits", "growth");
  std::vector<std::string> kinds;
  for (const auto& [name, v] : f) {
    const std::string kind = name.substr(0, name.rfind('/'));
    if (kinds.empty() || kinds.back() != kind) kinds.push_back(kind);
  }
  for (const std::string& k : kinds)
    std::printf("%-28s %14.3f %14.3f %8.2f\n", k.c_str(), figure(f, k + "/quarter") * scale,
                figure(f, k + "/limits") * scale, ratio(f, k + "/limits", k + "/quarter"));
  std::printf("(%s; growth: limits against a quarter, at most 4.5 wanted for redraws and files)\n",
              unit);
  std::printf("\nAt the limits, each redraw against the deformed-mesh redraw of its set (at most 3):\n");
  for (const std::string& k : kinds) {
    if (k.rfind("redraw/", 0) != 0) continue;
    const bool bars = k.find("bars_") != std::string::npos;
    const std::string ref = bars ? "redraw/bars_deformed/limits" : "redraw/deformed/limits";
    std::printf("  %-26s %6.2f\n", k.c_str() + 7, ratio(f, k + "/limits", ref));
  }
  // The reader's speed as a share of a plain line loop's over the same file.
  for (int s = 0; s < 2; ++s) {
    const std::string size = SIZE[s];
    std::printf("Reading the %s results file (%ld lines, %.1f MB): reader %.3f, getline loop "
                "%.3f; the reader at %.0f%% of the loop's speed (at least 60%% wanted)\n",
                s == 0 ? "quarter" : "largest", b.read_lines[s], b.read_bytes[s] / 1e6,
                figure(f, "read/results/" + size) * scale, figure(f, "read/getline/" + size) * scale,
                100 * ratio(f, "read/getline/" + size, "read/results/" + size));
  }
}

// Keeps each case's CPU time per iteration besides the usual console table:
// with repetitions, their median.
class Reporter : public benchmark::ConsoleReporter {
 public:
  Figures times, medians;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
        medians[r.run_name.str()] = r.GetAdjustedCPUTime();
      else if (r.run_type == Run::RT_Iteration && r.iterations > 0)
        times[r.run_name.str()] = r.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  Figures figures() const {
    Figures f = times;
    for (const auto& [name, v] : medians) f[name] = v;
    return f;
  }
};

int count_instructions(std::vector<Case>& all, const std::string& prefix, const std::string& only,
                       Figures& counts) {
#ifdef VORTAN_CALLGRIND
  if (!RUNNING_ON_VALGRIND) {
    std::fprintf(stderr, "plotor_bench: --count runs under callgrind: use bench/plotor_counts.sh\n");
    return 2;
  }
  int dumps = 0;
  for (Case& c : all) {
    if (c.name.find(only) == std::string::npos) continue;
    answer_with(c.script);
    c.run();  // once beforehand, so that nothing is counted that happens once only
    answer_with(c.script);
    CALLGRIND_ZERO_STATS;
    c.run();
    CALLGRIND_DUMP_STATS_AT(c.name.c_str());
    counts[c.name] = dump_total(prefix + "." + std::to_string(++dumps));
    std::fprintf(stderr, "%-36s %14.0f\n", c.name.c_str(), counts[c.name]);
  }
  return 0;
#else
  (void)all, (void)prefix, (void)only, (void)counts;
  std::fprintf(stderr, "plotor_bench: built without valgrind's callgrind.h: no --count\n");
  return 2;
#endif
}

// --- PostScript writing against fwrite of the same bytes --------------------------

// The process's processor time (user and system): a wait on the disk
// that the previous run's sync leaves behind is no part of either figure.
double now_ms() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec * 1e-6;
}

double median(std::vector<double> t) {
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool put_file(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

// The plain case's time: a new file, as the writer makes one (the earlier
// file removed beforehand: freeing its pages is no part of either figure).
double time_plain(const std::string& path, const std::string& text) {
  std::remove(path.c_str());
  const double start = now_ms();
  if (!put_file(path, text)) std::perror(path.c_str());
  return now_ms() - start;
}

// The writer's time: from opening the picture to its last record handed to
// the file; the sync and rename of the close are not timed. With a path
// that cannot be opened, the picture is drawn without a file: the plot's
// own work alone.
double time_picture(DataSet& d, const PsFile& f, const std::string& path) {
  answer_with(f.script(d));
  const double start = now_ms();
  PSOPEN(path);
  f.write(d);
  ps_hand_over();
  const double end = now_ms();
  PSCLOS();
  return end - start;
}

int eps_speed(Bench& b, int runs, const std::string& keep) {
  const std::string plain_path = (b.folder / "plain.ps").string();
  const std::string no_file = (b.folder / "missing" / "none.ps").string();
  std::printf("PostScript files against fwrite of the same bytes; medians of %d runs; "
              "drawing: the same picture without a file\n", runs);
  for (int s = 0; s < 2; ++s)
    for (const PsFile& f : PS_FILES) {
      DataSet& d = b.grid[s];
      const std::string path = (b.folder / (std::string(f.name) + ".ps")).string();
      time_picture(d, f, path);  // once beforehand
      const std::string text = file_text(path);
      if (!keep.empty()) {
        const std::string name = std::string(f.name) + "_" + SIZE[s] + ".ps";
        if (!put_file((fs::path(keep) / name).string(), text)) {
          std::perror(keep.c_str());
          return 1;
        }
      }
      std::vector<double> made, plain, drawn;
      for (int i = 0; i < runs; ++i) made.push_back(time_picture(d, f, path));
      for (int i = 0; i < runs; ++i) plain.push_back(time_plain(plain_path, text));
      for (int i = 0; i < runs; ++i) drawn.push_back(time_picture(d, f, no_file));
      const double m = median(made), p = median(plain);
      std::printf("%-16s %-8s %9zu bytes  writer %7.3f ms  fwrite %6.3f ms  speed %5.1f%% of "
                  "fwrite  drawing %6.3f ms\n",
                  f.name, SIZE[s], text.size(), m, p, 100.0 * p / m, median(drawn));
    }
  return 0;
}

}  // namespace
}  // namespace vortan

int main(int argc, char** argv) {
  using namespace vortan;
  std::string count_prefix, count_only, keep;
  int eps_runs = 0;
  if (argc >= 3 && std::string(argv[1]) == "--count") count_prefix = argv[2];
  if (argc >= 4 && !count_prefix.empty()) count_only = argv[3];
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--eps")
      eps_runs = i + 1 < argc && std::atoi(argv[i + 1]) > 0 ? std::atoi(argv[++i]) : 21;
    else if (a == "--keep" && i + 1 < argc)
      keep = argv[++i];
  }
  answer_with("");
  Bench b;
  b.folder = fs::temp_directory_path() / ("plotor_bench_" + std::to_string(::getpid()));
  fs::create_directories(b.folder);
  const int n = largest_grid(false, true), nb = largest_grid(true, true),
            nr = largest_grid(false, false);
  for (int s = 0; s < 2; ++s) {
    prepare(b.grid[s], write_grid_results(b.folder, s ? n : n / 2, false));
    prepare(b.bars[s], write_grid_results(b.folder, s ? nb : nb / 2, true));
    b.largest[s] = write_grid_results(b.folder, s ? nr : nr / 2, false);
    read_results(b.largest[s], *b.scratch_m, *b.scratch_r);
    b.read_nodes[s] = b.scratch_m->npoin;
    std::ifstream in(b.largest[s]);
    for (std::string line; std::getline(in, line); ++b.read_lines[s])
      b.read_bytes[s] += static_cast<long>(line.size()) + 1;
    b.read_gauss[s] = b.scratch_r->ngaus;
  }
  std::vector<Case> all = cases(b);
  Figures figures;
  int status = 0;
  if (eps_runs > 0) {
    status = eps_speed(b, eps_runs, keep);
  } else if (!count_prefix.empty()) {
    status = count_instructions(all, count_prefix, count_only, figures);
    if (status == 0) report(b, figures, "instructions, millions", 1.0e-6);
  } else {
    for (Case& c : all)
      benchmark::RegisterBenchmark(c.name.c_str(), [&c](benchmark::State& state) {
        for (auto _ : state) {
          state.PauseTiming();
          answer_with(c.script);
          state.ResumeTiming();
          c.run();
        }
      })->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    report(b, reporter.figures(), "CPU milliseconds", 1.0);
    benchmark::Shutdown();
  }
  fs::remove_all(b.folder);
  return status;
}
