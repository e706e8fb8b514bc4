#include "solve_problem.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "dat_file.h"
#include "file_replace.h"
#include "platform/platform.h"

namespace vortan {

namespace {

// A data file larger than this is no mesh of the model's limits.
constexpr long long LARGEST_DAT = 64LL << 20;

bool whole_file(const std::string& path, std::string& text, std::string& error) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    error = "cannot read " + path + ": no such file";
    return false;
  }
  if (!S_ISREG(st.st_mode) || st.st_size > LARGEST_DAT) {
    error = path + " is not a data file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  if (!in && !in.eof()) {
    error = "cannot read " + path;
    return false;
  }
  text = all.str();
  note_input(path);
  return true;
}

}  // namespace

bool read_problem(const std::string& path, SolveProblem& p, std::string& error) {
  std::string text;
  if (!whole_file(path, text, error)) return false;
  std::istringstream in(text);
  try {
    INPUT(in, *p.mesh);
  } catch (const ProgramExit&) {
    error = "the mesh data (Part A) of " + path + " does not read";
    return false;
  }
  const auto end_of_a = in.tellg();
  p.part_a = text.substr(0, end_of_a < 0 ? text.size() : static_cast<size_t>(end_of_a));
  if (!p.part_a.empty() && p.part_a.back() != '\n') p.part_a += '\n';
  const MeshModel& m = *p.mesh;
  double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
  for (int k = 1; k <= m.npoin; ++k)
    for (int a = 0; a < 2; ++a) {
      lo[a] = std::min(lo[a], m.coord(k, a + 1));
      hi[a] = std::max(hi[a], m.coord(k, a + 1));
    }
  p.extent = m.npoin > 0 ? std::max(hi[0] - lo[0], hi[1] - lo[1]) : 0.0;
  p.has_part_b = find_part_b(in);
  if (p.has_part_b && !read_old_part_b(in, *p.partb)) {
    error = "Part B of " + path + " is damaged or ends early";
    return false;
  }
  return true;
}

int load_factors(const OldPartB& b, double (&factor)[10]) {
  if (b.nincs < 1) {
    factor[1] = 1.0;
    return 1;
  }
  double sum = 0.0;
  for (int i = 1; i <= b.nincs; ++i) factor[i] = sum += b.sizes[i];
  return b.nincs;
}

double thickness(const MeshModel& m, int s) {
  if (m.ndofn < 0 || m.props(s, 3) == 0.0) return 1.0;
  return m.props(s, 3);
}

}  // namespace vortan

namespace vortan {

bool fixed_dof(const MeshModel& m, int n, int d) {
  int code = m.kode(n);
  for (int k = d; k < m.ndof(n); ++k) code /= 10;
  return code % 10 == 1;
}

bool dirichlet_value(const SolveProblem& p, int n, int d, double& value) {
  const MeshModel& m = *p.mesh;
  const double extent = p.extent;
  for (int i = 1; i <= p.partb->ndval; ++i) {
    const OldDirichlet& dv = p.partb->dirv[i];
    if (dv.dof != d) continue;
    const double c = m.coord(n, dv.axis == 'x' ? 1 : 2);
    if (std::fabs(c - dv.coord) <= 1e-5 * std::max(extent, std::fabs(dv.coord))) {
      value = dv.value;
      return true;
    }
  }
  return false;
}

std::vector<char> used_nodes(const MeshModel& m) {
  std::vector<char> used(m.npoin + 1, 0);
  for (int e = 1; e <= m.nelem; ++e)
    if (valid_element(m, e))
      for (int k = 1; k <= m.nnode(e); ++k) used[m.lnods(e, k)] = 1;
  return used;
}

}  // namespace vortan
