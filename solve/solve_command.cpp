#include "solve_command.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ccx_deck.h"
#include "ccx_process.h"
#include "ccx_results.h"
#include "console_platform.h"
#include "file_replace.h"
#include "out_file.h"
#include "platform/platform.h"
#include "solve_checks.h"

namespace vortan {

namespace {

const char* const USAGE =
    "usage: vortan-solve RUN.dat [--out RUN.out] [--plane stress|strain] [--keep-deck DIR]\n"
    "                    [--time-limit SECONDS] [--quiet]\n"
    "       vortan-solve --help | --version\n"
    "Solves the mesh and Part B of RUN.dat with CalculiX (ccx, or the program the\n"
    "environment variable VORTAN_CCX names) and writes the results PLOTOR reads.\n";

struct Options {
  std::string dat, out, keep;
  bool strain = false, quiet = false;
  double limit = 600.0;
};

int usage_error(const std::string& what) {
  std::fprintf(stderr, "vortan-solve: %s\n%s", what.c_str(), USAGE);
  return 2;
}

// 0 when the options read, 1 for --help, 2 after a usage error.
int parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--help" || a == "-h") {
      std::printf("%s", USAGE);
      return 1;
    } else if (a == "--quiet") {
      o.quiet = true;
    } else if ((a == "--out" || a == "--keep-deck" || a == "--plane" || a == "--time-limit") &&
               !has_value) {
      return usage_error(a + " needs a value");
    } else if (a == "--out") {
      o.out = argv[++i];
    } else if (a == "--keep-deck") {
      o.keep = argv[++i];
    } else if (a == "--plane") {
      const std::string v = argv[++i];
      if (v != "stress" && v != "strain") return usage_error("--plane takes stress or strain");
      o.strain = v == "strain";
    } else if (a == "--time-limit") {
      char* end;
      o.limit = std::strtod(argv[++i], &end);
      if (*end != '\0' || !(o.limit > 0.0)) return usage_error("--time-limit takes seconds above 0");
    } else if (a.size() > 1 && a[0] == '-') {
      return usage_error("unknown option " + a);
    } else if (o.dat.empty()) {
      o.dat = a;
    } else {
      return usage_error("one .dat file only");
    }
  }
  if (o.dat.empty()) return usage_error("give the .dat file to solve");
  if (o.out.empty()) {
    const bool dat = o.dat.size() > 4 && o.dat.compare(o.dat.size() - 4, 4, ".dat") == 0;
    o.out = (dat ? o.dat.substr(0, o.dat.size() - 4) : o.dat) + ".out";
  }
  return 0;
}

int refuse(const Options& o, const std::string& why) {
  std::fprintf(stderr, "vortan-solve: %s\n", why.c_str());
  std::fprintf(stderr, "vortan-solve: nothing solved; %s not written\n", o.out.c_str());
  return 1;
}

void say(const Options& o, const std::string& line) {
  if (!o.quiet) std::printf("%s\n", line.c_str()), std::fflush(stdout);
}

bool finite_values(const NodeValues& u) {
  for (const auto& a : u)
    for (double v : a)
      if (!std::isfinite(v)) return false;
  return true;
}

int solve(const Options& o) {
  const auto start = std::chrono::steady_clock::now();
  SolveProblem p;
  p.plane_strain = o.strain;
  std::string error;
  say(o, "reading " + o.dat);
  if (!read_problem(o.dat, p, error)) return refuse(o, error);
  if (is_input(o.out)) return refuse(o, "cannot write " + o.out + ": it is the file being solved");
  const MeshModel& m = *p.mesh;
  say(o, "checking " + std::to_string(m.npoin) + " nodes and " + std::to_string(m.nelem) +
             " elements");
  std::vector<std::string> notes;
  const auto refused = refusals(p, notes);
  for (const auto& r : refused) std::fprintf(stderr, "vortan-solve: %s\n", r.c_str());
  if (!refused.empty()) return refuse(o, "refused before CalculiX ran, for the reasons above");
  for (const auto& n : notes) say(o, "note: " + n);
  CcxRun run;
  if (!find_ccx(run.program, error)) return refuse(o, error);
  run.time_limit = o.limit;
  run.progress = !o.quiet;
  run.keep_dir = o.keep;
  say(o, "solving with CalculiX");
  const CcxOutcome c = run_ccx(run, ccx_deck(p));
  if (!c.ok) return refuse(o, c.message);
  NodeValues u(m.npoin + 1, {0.0, 0.0, 0.0});
  if (!read_ccx_values(c.results, problem_class(m) == 1, used_nodes(m), u, error))
    return refuse(o, error);
  if (!finite_values(u)) return refuse(o, "CalculiX's results are not finite numbers");
  double factors[10];
  const int nsets = load_factors(*p.partb, factors);
  say(o, "writing " + o.out);
  if (!write_out(o.out, p, u, factors, nsets, error)) return refuse(o, error);
  const double total =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char b[160];
  std::snprintf(b, sizeof b, "%d nodes, %d elements, %d result set%s in %.2f s (CalculiX %.2f s)",
                m.npoin, m.nelem, nsets, nsets == 1 ? "" : "s", total, c.seconds);
  say(o, b);
  return 0;
}

}  // namespace

int run_solve(int argc, char** argv) {
  Options o;
  const int parsed = parse(argc, argv, o);
  if (parsed != 0) return parsed == 1 ? 0 : 2;
  use_console_platform("vortan-solve", o.quiet);
  int status;
  try {
    status = solve(o);
  } catch (const ProgramExit& e) {
    status = refuse(o, e.message);
  }
  set_platform(nullptr);
  return status;
}

}  // namespace vortan
