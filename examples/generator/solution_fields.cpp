#include "solution_fields.h"

#include <algorithm>
#include <cmath>

namespace vortan {

namespace {

// Nodes a little inside the hole come from rounded coordinates; one well
// inside means the mesh is not of a plate or domain around this hole.
bool outside_hole(const MeshModel& m, double a, std::string& error) {
  for (int n = 1; n <= m.npoin; ++n) {
    if (std::hypot(m.coord(n, 1), m.coord(n, 2)) < 0.99 * a) {
      error = "node " + std::to_string(n) + " lies inside the hole of radius " + std::to_string(a) +
              " centred at the origin";
      return false;
    }
  }
  return true;
}

bool problem_class(const MeshModel& m, int wanted, const char* what, std::string& error) {
  if (std::abs(m.ndofn) == wanted) return true;
  error = std::string("the mesh is not ") + what + " (its ndofn is " + std::to_string(m.ndofn) + ")";
  return false;
}

void clear_columns(ResultColumns& r) {
  r.labels = {"(none)", "(none)", "(none)", "(none)"};
  r.disp.fill(0.0);
  r.ngp.fill(0);
  r.gp.fill(0.0);
  r.gauss_header.clear();
}

// Calls value(x, y, v[4]) at every Gauss point of every element.
template <class Value>
void fill_gauss_points(const MeshModel& m, ResultColumns& r, Value value) {
  for (int e = 1; e <= m.nelem; ++e) {
    double x[MAX_ELEMENT_GAUSS], y[MAX_ELEMENT_GAUSS];
    r.ngp(e) = element_gauss_points(m, e, x, y);
    for (int g = 1; g <= r.ngp(e); ++g) {
      const int row = gauss_row(e, g);
      r.gp(row, 1) = x[g - 1];
      r.gp(row, 2) = y[g - 1];
      double v[4] = {};
      value(e, x[g - 1], y[g - 1], v);
      for (int k = 0; k < 4; ++k) r.gp(row, k + 3) = v[k];
    }
  }
}

}  // namespace

bool kirsch_results(const MeshModel& m, const closed_form::Kirsch& k, ResultColumns& r,
                    std::string& error) {
  if (!problem_class(m, 2, "a plane elasticity mesh", error) || !outside_hole(m, k.a, error))
    return false;
  clear_columns(r);
  r.labels[0] = "x-displt";
  r.labels[1] = "y-displt";
  for (int n = 1; n <= m.npoin; ++n)
    closed_form::kirsch_displacement(k, m.coord(n, 1), m.coord(n, 2), r.disp(n, 1), r.disp(n, 2));
  r.gauss_header = "  elt gp yld  x-coord   y-coord     sigx      sigy      tauxy     sigz";
  fill_gauss_points(m, r, [&](int, double x, double y, double (&v)[4]) {
    closed_form::kirsch_stress(k, x, y, v[0], v[1], v[2]);
  });
  return true;
}

bool cylinder_results(const MeshModel& m, const closed_form::Cylinder& c, ResultColumns& r,
                      std::string& error) {
  if (!problem_class(m, 1, "a Poisson mesh", error) || !outside_hole(m, c.a, error)) return false;
  clear_columns(r);
  r.labels[0] = "potential";
  for (int n = 1; n <= m.npoin; ++n)
    r.disp(n, 1) = closed_form::cylinder_potential(c, m.coord(n, 1), m.coord(n, 2));
  r.gauss_header = "  elt gp yld  x-coord   y-coord   x-flow    y-flow";
  fill_gauss_points(m, r, [&](int e, double x, double y, double (&v)[4]) {
    const int set = std::clamp(m.matset(e), 1, MPROP);
    double gx, gy;
    closed_form::cylinder_gradient(c, x, y, gx, gy);
    v[0] = -m.props(set, 1) * gx;
    v[1] = -m.props(set, 2) * gy;
  });
  return true;
}

bool cantilever_results(const MeshModel& m, const closed_form::Cantilever& c, ResultColumns& r,
                        std::string& error) {
  if (!problem_class(m, 3, "a frame or beam mesh", error)) return false;
  const double y0 = m.coord(1, 2), tol = 1.0e-6 * std::max(1.0, c.l);
  for (int n = 1; n <= m.npoin; ++n) {
    if (std::fabs(m.coord(n, 2) - y0) > tol || m.coord(n, 1) < -tol || m.coord(n, 1) > c.l + tol) {
      error = "node " + std::to_string(n) + " is not on the beam's axis from x = 0 to x = " +
              std::to_string(c.l);
      return false;
    }
  }
  clear_columns(r);
  r.labels = {"u", "v", "theta", "(none)"};
  for (int n = 1; n <= m.npoin; ++n) {
    r.disp(n, 2) = closed_form::cantilever_deflection(c, m.coord(n, 1));
    r.disp(n, 3) = closed_form::cantilever_rotation(c, m.coord(n, 1));
  }
  return true;
}

}  // namespace vortan
