#include "out_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "file_replace.h"
#include "records.h"

namespace vortan {

namespace {

std::string printed(const char* format, int d, double v) {
  char b[64];
  std::snprintf(b, sizeof b, format, d, v);
  std::string s = b;
  // A two-digit exponent with a leading zero gives its place to a digit.
  const auto e = s.find('E');
  if (e != std::string::npos && s.size() > e + 3 && s[e + 2] == '0') s.erase(e + 2, 1);
  return s;
}

std::string label_line(int cls) {
  static const char* names[3][4] = {{"potential", "(none)", "(none)", "(none)"},
                                    {"u", "v", "(none)", "(none)"},
                                    {"u", "v", "rotation", "(none)"}};
  Rec line;
  line.A(" node  ");
  for (const char* n : names[cls - 1]) line.A(std::string(10 - std::string(n).size(), ' ') + n, 10);
  return line.str() + "\n";
}

// The title line of a further result set.
std::string set_title(const MeshModel& m, int k, double factor) {
  char b[80];
  std::snprintf(b, sizeof b, " - increment %d, load factor %.4g", k, factor);
  std::string t = title_shown(m);
  t = t.substr(0, 80 - std::string(b).size()) + b;
  return t + "\n";
}

std::string result_set(const SolveProblem& p, const NodeValues& u,
                       const std::vector<GaussRecord>& gauss, int k, int nsets, double factor) {
  const MeshModel& m = *p.mesh;
  const int cls = problem_class(m);
  std::string s = k > 1 ? set_title(m, k, factor) : "";
  s += label_line(cls);
  for (int n = 1; n <= m.npoin; ++n) {
    s += fmt_I(n, 5);
    for (int c = 0; c < 4; ++c) s += field10(c < cls ? factor * u[n][c] : 0.0);
    s += "\n";
  }
  // Frames have nodal values only; with further sets each has an empty
  // Gauss-point section, whose header PLOTOR reads before the next title.
  if (cls == 3) return nsets > 1 ? s + "  elt gp yld  (no Gauss points in a frame)\n" : s;
  s += cls == 2 ? "  elt gp yld  x-coord   y-coord     sigx      sigy      tauxy     sigz\n"
                : "  elt gp yld  x-coord   y-coord   x-flow    y-flow\n";
  for (const auto& r : gauss) {
    s += fmt_I(r.e, 5) + fmt_I(r.g, 2) + fmt_I(0, 3) + field10(r.x) + field10(r.y);
    for (int c = 0; c < 4; ++c) s += field10(factor * r.v[c]);
    s += "\n";
  }
  return s;
}

}  // namespace

std::string field10(double v) {
  v += 0.0;  // no negative zero
  if (v == 0.0 || !std::isfinite(v)) return "       0.0";
  const double a = std::fabs(v);
  const int neg = v < 0.0, e = static_cast<int>(std::floor(std::log10(a)));
  const int before = e >= 0 ? e + 1 : 1, elen = 2 + (std::abs(e) >= 100 ? 3 : std::abs(e) >= 10 ? 2 : 1);
  // The closer of the fixed and the exponent form in w characters, each
  // with as many decimals as w leaves (one fewer where rounding adds a digit).
  auto closest = [&](int w, double& err) {
    std::string best;
    err = std::numeric_limits<double>::infinity();
    auto consider = [&](const char* format, int d) {
      if (d < 0) return;
      std::string s = printed(format, d, v);
      if (static_cast<int>(s.size()) > w && d > 0) s = printed(format, d - 1, v);
      if (static_cast<int>(s.size()) > w) return;
      const double off = std::fabs(std::strtod(s.c_str(), nullptr) - v);
      if (off < err || (off == err && s.size() < best.size())) best = s, err = off;
    };
    consider("%#.*f", w - neg - before - 1);
    consider("%#.*E", w - neg - 2 - elen);
    return best;
  };
  // A blank before the value keeps the fields apart to the eye, where it
  // still leaves five significant digits.
  double err;
  std::string s = closest(9, err);
  if (s.empty() || err > 5e-5 * a) s = closest(10, err);
  return std::string(10 - s.size(), ' ') + s;
}

std::vector<GaussRecord> gauss_records(const SolveProblem& p, const NodeValues& u) {
  const MeshModel& m = *p.mesh;
  std::vector<GaussRecord> out;
  const int cls = problem_class(m);
  if (cls == 3) return out;
  for (int e = 1; e <= m.nelem; ++e) {
    const int s = m.matset(e), key = element_key(m.nnode(e), m.nside(e));
    const Material mat{cls == 1, m.props(s, 1), m.props(s, 2), p.plane_strain};
    double ps[4], pt[4];
    const int np = plotor_points(key, ps, pt);
    for (int g = 0; g < np; ++g) {
      GaussRecord r{e, g + 1, 0, 0, {}};
      double dx[MNODE], dy[MNODE];
      world_derivatives(m, e, ps[g], pt[g], r.x, r.y, dx, dy);
      point_values(m, e, ps[g], pt[g], mat, u, r.v);
      out.push_back(r);
    }
  }
  return out;
}

bool write_out(const std::string& path, const SolveProblem& p, const NodeValues& u,
               const double* factors, int nsets, std::string& error) {
  const auto gauss = gauss_records(p, u);
  ReplacingFile f;
  if (!begin_replace(f, path)) {
    error = replace_failure(f);
    return false;
  }
  write_replace(f, p.part_a);
  for (int k = 1; k <= nsets; ++k) write_replace(f, result_set(p, u, gauss, k, nsets, factors[k]));
  if (!commit_replace(f)) {
    error = replace_failure(f);
    return false;
  }
  return true;
}

}  // namespace vortan
