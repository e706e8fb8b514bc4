// closed_form_results: results files (.out) of known closed-form
// solutions, for PLOTOR to draw, written for any mesh of the right kind;
// and the example meshes (.dat, with Part B) that they fit.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "dat_file.h"
#include "example_meshes.h"
#include "options.h"
#include "platform/headless.h"
#include "solution_fields.h"
#include "version.h"

using namespace vortan;

namespace {

// "$0" stands for the program's name: closed_form_results in the build,
// vortan-closed-form once installed.
const char* HELP = R"(usage: $0 kirsch|poisson|cantilever MESH.dat OUT.out [OPTION VALUE]...
       $0 mesh plate|flow|cantilever|grid OUT.dat [OPTION VALUE]...
Results files (.out) of closed-form solutions, for PLOTOR to draw, written
for any .dat mesh of the right kind; and example meshes (.dat, with Part B)
that fit them.

Solutions, for the mesh MESH.dat, written to OUT.out:
  kirsch      Kirsch's plate with a hole centred at the origin, pulled along
              x, in plane stress: displacements at the nodes, sigma-x,
              sigma-y, tau-xy and sigma-z = 0 at the Gauss points
              (--radius --stress --young --poisson)
  poisson     potential flow past a cylinder at the origin in a stream along
              x: phi = U x (1 + A^2/r^2) at the nodes, the flow rates
              -(AX dphi/dx, AY dphi/dy) at the Gauss points, with each
              element's AX and AY (--radius --speed)
  cantilever  a beam along x clamped at x = 0 with the force P along y at
              its tip x = L: u = 0, v = P x^2 (3 L - x) / (6 E I) and
              theta = dv/dx at the nodes (--load --length --young --inertia)
Example meshes, written to OUT.dat:
  plate       8-noded quadrilaterals, plane elasticity: the quarter x, y >= 0
              of a plate 2 W wide, the stress S as a traction on x = W, u
              fixed on x = 0 and v on y = 0, for kirsch
              (--radius --width --rings --sectors --grading --stress)
  flow        quadratic triangles, Poisson, on the same quarter plate: phi
              fixed at 0 on x = 0 and at U W on x = W, for poisson
              (--radius --width --rings --sectors --grading --speed)
  cantilever  linear bars along x from 0 to L, clamped at x = 0, the force P
              at the tip (--length --elements --load)
  grid        8-noded quadrilaterals, plane elasticity: C x R unit squares
              from (2, 0), clear of the hole, the stress S on the right-hand
              edge, u fixed on the left edge and v on y = 0, for kirsch
              (--columns --rows --stress)

Options (each takes a number):
  --radius A     radius of the hole or of the cylinder (default 1)
  --stress S     far-field stress along x (default 100)
  --young E      Young's modulus (default: component 1 of property set 1)
  --poisson NU   Poisson's ratio (default: component 2 of property set 1)
  --speed U      speed of the stream along x (default 1)
  --load P       force at the cantilever's tip, along y (default -10)
  --length L     cantilever's length (default: the largest x; 4 for a mesh)
  --inertia I    second moment of area (default: component 2 of set 1)
  --width W      half width of the plate (default 10)
  --rings N      layers of elements from the hole out (default 10)
  --grading Q    each layer Q times as thick as the one inside it (default 1.3)
  --sectors M    elements around the quarter hole, even (default 16)
  --elements N   bars of the cantilever (default 8)
  --columns C    columns of squares of the grid (default 10)
  --rows R       rows of squares of the grid (default 10)
  --help         show this help and end
  --version      show the version and end

Gauss points: one at the centre of linear triangles and quadrilaterals, the
side midpoints of quadratic triangles, 2 x 2 in 8-noded quadrilaterals (in
the order PLOTOR's contours take them), two along thin quadrilaterals.
Exit status: 0 written; 1 a mesh that does not read or is not of the
problem's kind, or a file that cannot be written; 2 a usage error.
)";

// The name the program was started by, for its messages and help.
std::string g_program = "closed_form_results";

std::string help_text() {
  std::string text = HELP;
  for (size_t at = text.find("$0"); at != std::string::npos; at = text.find("$0", at))
    text.replace(at, 2, g_program);
  return text;
}

int usage_error(const std::string& why) {
  std::fprintf(stderr, "%s: %s\n(%s --help tells the usage)\n", g_program.c_str(), why.c_str(),
               g_program.c_str());
  return 2;
}

int failure(const std::string& why) {
  std::fprintf(stderr, "%s: %s\n", g_program.c_str(), why.c_str());
  return 1;
}

// Reads Part A of the mesh file; its messages go to standard error.
bool read_mesh(const std::string& path, MeshModel& m, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot open the mesh " + path;
    return false;
  }
  clear_mesh(m);
  INPUT(in, m);
  return true;
}

bool fill_solution(const std::string& mode, const CommandLine& cl, const MeshModel& m,
                   ResultColumns& r, std::string& error) {
  if (mode == "kirsch") {
    closed_form::Kirsch k;
    k.a = option(cl, "radius", 1.0);
    k.s = option(cl, "stress", 100.0);
    k.e = option(cl, "young", m.props(1, 1));
    k.nu = option(cl, "poisson", m.props(1, 2));
    if (!(k.a > 0.0) || !(k.e > 0.0) || !(k.nu > -1.0 && k.nu <= 0.5)) {
      error = "kirsch needs a radius and E above 0 and -1 < NU <= 0.5";
      return false;
    }
    return kirsch_results(m, k, r, error);
  }
  if (mode == "poisson") {
    closed_form::Cylinder c{option(cl, "radius", 1.0), option(cl, "speed", 1.0)};
    if (!(c.a > 0.0)) {
      error = "poisson needs a radius above 0";
      return false;
    }
    return cylinder_results(m, c, r, error);
  }
  closed_form::Cantilever c;
  double longest = 0.0;
  for (int n = 1; n <= m.npoin; ++n) longest = std::max(longest, m.coord(n, 1));
  c.l = option(cl, "length", longest);
  c.p = option(cl, "load", -10.0);
  c.e = option(cl, "young", m.props(1, 1));
  c.i = option(cl, "inertia", m.props(1, 2));
  if (!(c.l > 0.0) || !(c.e > 0.0) || !(c.i > 0.0)) {
    error = "cantilever needs a length, E and I above 0";
    return false;
  }
  return cantilever_results(m, c, r, error);
}

int run_solution(const std::string& mode, const std::vector<std::string>& args) {
  CommandLine cl;
  std::string error;
  const std::vector<std::string> allowed = {"radius", "stress", "young",  "poisson",
                                            "speed",  "load",   "length", "inertia"};
  if (!parse_command_line(args, allowed, cl, error)) return usage_error(error);
  if (cl.words.size() != 2) return usage_error(mode + " takes a mesh file and a results file");
  auto m = std::make_unique<MeshModel>();
  auto r = std::make_unique<ResultColumns>();
  if (!read_mesh(cl.words[0], *m, error) || !fill_solution(mode, cl, *m, *r, error) ||
      !write_results(cl.words[1], *m, *r, error))
    return failure(error);
  return 0;
}

int run_mesh(const std::vector<std::string>& args) {
  CommandLine cl;
  std::string error;
  const std::vector<std::string> allowed = {"radius", "width",    "rings", "sectors",
                                            "grading", "stress",  "speed", "length",
                                            "elements", "load",   "columns", "rows"};
  if (!parse_command_line(args, allowed, cl, error)) return usage_error(error);
  if (cl.words.size() != 2) return usage_error("mesh takes a kind and a file name");
  const std::string& kind = cl.words[0];
  // GRIDOR's Part B writers echo to its text window; nothing of it is wanted here.
  set_platform(std::make_unique<HeadlessPlatform>(std::vector<ScriptEvent>{}, "/dev/null", "."));
  auto m = std::make_unique<MeshModel>();
  std::string text;
  if (kind == "plate" || kind == "flow") {
    PlateGeometry p;
    p.a = option(cl, "radius", p.a);
    p.w = option(cl, "width", p.w);
    p.rings = static_cast<int>(option(cl, "rings", p.rings));
    p.sectors = static_cast<int>(option(cl, "sectors", p.sectors));
    p.grading = option(cl, "grading", p.grading);
    const bool flow = kind == "flow";
    if (!check_plate(p, flow, error)) return usage_error(error);
    plate_mesh(p, flow ? 1 : 2, flow, flow ? "Flow past a cylinder: quarter domain"
                                           : "Quarter plate with a hole: Kirsch", *m);
    text = flow ? flow_part_b(*m, p, option(cl, "speed", 1.0))
                : plate_part_b(*m, p, option(cl, "stress", 100.0));
  } else if (kind == "cantilever") {
    const double l = option(cl, "length", 4.0);
    const double elements = option(cl, "elements", 8.0);
    if (!(l > 0.0 && l <= 9999.0) || elements < 1 || elements >= MPOIN)
      return usage_error("cantilever needs a length in 0..9999 and 1 or more elements");
    cantilever_mesh(l, static_cast<int>(elements), "Cantilever with a load at its tip", *m);
    text = cantilever_part_b(*m, option(cl, "load", -10.0));
  } else if (kind == "grid") {
    const double columns = option(cl, "columns", 10.0), rows = option(cl, "rows", 10.0);
    if (!check_grid(static_cast<int>(std::clamp(columns, 0.0, 1.0e6)),
                    static_cast<int>(std::clamp(rows, 0.0, 1.0e6)), error))
      return usage_error(error);
    grid_mesh(static_cast<int>(columns), static_cast<int>(rows),
              "Grid of 8-noded quadrilaterals beside the hole", *m);
    text = grid_part_b(*m, static_cast<int>(columns), static_cast<int>(rows),
                       option(cl, "stress", 100.0));
  } else {
    return usage_error("mesh kinds are plate, flow, cantilever and grid, not " + kind);
  }
  if (!write_whole_file(cl.words[1], text, error)) return failure(error);
  return 0;
}

int run(const std::vector<std::string>& args) {
  if (args.empty()) return usage_error("no mode given");
  const std::string& mode = args[0];
  if (mode == "--help" || mode == "-h") {
    std::fputs(help_text().c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (mode == "--version") return print_version(g_program.c_str());
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (mode == "kirsch" || mode == "poisson" || mode == "cantilever") return run_solution(mode, rest);
  if (mode == "mesh") return run_mesh(rest);
  return usage_error("unknown mode " + mode);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 0 && argv[0][0] != '\0') g_program = std::filesystem::path(argv[0]).filename();
  try {
    // The shared readers and writers speak through the platform: here its
    // text window is standard error.
    set_platform(std::make_unique<HeadlessPlatform>(std::vector<ScriptEvent>{}, stderr, "."));
    const int status = run(std::vector<std::string>(argv + 1, argv + argc));
    set_platform(nullptr);
    return status;
  } catch (const ProgramExit& e) {
    if (!e.message.empty()) std::fprintf(stderr, "%s: %s\n", g_program.c_str(), e.message.c_str());
    return e.status;
  }
}
