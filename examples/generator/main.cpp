// closed_form_results: results files (.out) of known closed-form
// solutions, for PLOTOR to draw, written for any mesh of the right kind;
// and the example meshes (.dat, with Part B) that they fit.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "dat_file.h"
#include "example_meshes.h"
#include "options.h"
#include "platform/headless.h"
#include "solution_fields.h"

using namespace vortan;

namespace {

const char* HELP = R"(closed_form_results: results files (.out) of closed-form solutions for
PLOTOR, written for any .dat mesh of the right kind, and example meshes.

  closed_form_results kirsch MESH.dat OUT.out [--radius A] [--stress S]
                      [--young E] [--poisson NU]
      Kirsch's plate with a hole of radius A (default 1) centred at the
      origin, pulled along x by the far-field stress S (default 100), in
      plane stress: the displacements at the nodes, sigma-x, sigma-y,
      tau-xy and sigma-z = 0 at the Gauss points. E and NU default to
      property components 1 and 2 of set 1 of the mesh.
  closed_form_results poisson MESH.dat OUT.out [--radius A] [--speed U]
      Potential flow past a cylinder of radius A (default 1) at the origin
      in a stream of speed U (default 1) along x: phi = U x (1 + A^2/r^2)
      at the nodes, the flow rates -(AX dphi/dx, AY dphi/dy) at the Gauss
      points, with each element's coefficients AX and AY.
  closed_form_results cantilever MESH.dat OUT.out [--load P] [--length L]
                      [--young E] [--inertia I]
      A beam along the x axis clamped at x = 0 with the force P (default
      -10, along y) at its tip x = L (default: the largest x of the nodes):
      u = 0, v = P x^2 (3 L - x) / (6 E I) and theta = dv/dx at the nodes.
      E and I default to property components 1 and 2 of set 1.
  closed_form_results mesh plate|flow|cantilever|grid OUT.dat [options]
      An example mesh with its Part B, for the problems above:
      plate       8-noded quadrilaterals, plane elasticity: the quarter
                  x, y >= 0 of a plate 2 W wide, the far-field stress S as
                  a traction on x = W, u fixed on x = 0 and v on y = 0
                  (--radius --width --rings --sectors --grading --stress)
      flow        quadratic triangles, Poisson, on the same quarter plate:
                  phi fixed on x = 0 and x = W, at 0 and U W
                  (--radius --width --rings --sectors --grading --speed)
      cantilever  linear bars along x from 0 to L, clamped at x = 0, the
                  force P at the tip (--length --elements --load)
      grid        8-noded quadrilaterals, plane elasticity: a rectangle of
                  C x R unit squares from (2, 0), clear of the hole, the
                  stress S as a traction on its right-hand edge, u fixed
                  on its left edge and v on y = 0 (--columns --rows
                  --stress); for kirsch
      Defaults: radius 1, width 10, rings 10 (layers from the hole out,
      each `grading` 1.3 times as thick as the one inside it), sectors 16
      (elements around the quarter hole, even), stress 100, speed 1,
      length 4, elements 8, load -10, columns 10, rows 10.
  closed_form_results --help

Gauss points: one at the centre of linear triangles and quadrilaterals, the
side midpoints of quadratic triangles, 2 x 2 in 8-noded quadrilaterals (in
the order PLOTOR's contours take them), two along thin quadrilaterals.
Exit status: 0 written; 1 a mesh that does not read or is not of the
problem's kind, or a file that cannot be written; 2 a usage error.
)";

int usage_error(const std::string& why) {
  std::fprintf(stderr, "closed_form_results: %s\n(closed_form_results --help tells the usage)\n",
               why.c_str());
  return 2;
}

int failure(const std::string& why) {
  std::fprintf(stderr, "closed_form_results: %s\n", why.c_str());
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
    std::fputs(HELP, stdout);
    return 0;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (mode == "kirsch" || mode == "poisson" || mode == "cantilever") return run_solution(mode, rest);
  if (mode == "mesh") return run_mesh(rest);
  return usage_error("unknown mode " + mode);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    // The shared readers and writers speak through the platform: here its
    // text window is standard error.
    set_platform(std::make_unique<HeadlessPlatform>(std::vector<ScriptEvent>{}, "/dev/stderr", "."));
    const int status = run(std::vector<std::string>(argv + 1, argv + argc));
    set_platform(nullptr);
    return status;
  } catch (const ProgramExit& e) {
    if (!e.message.empty()) std::fprintf(stderr, "closed_form_results: %s\n", e.message.c_str());
    return e.status;
  }
}
