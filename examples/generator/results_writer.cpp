#include "results_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "dat_file.h"
#include "records.h"

namespace vortan {

namespace {

// Decimals that show the largest value in a 10-wide fixed field with a
// blank before it: seven digits in all, at most six after the point.
int fixed_decimals(double largest) {
  int before = largest < 1.0 ? 1 : static_cast<int>(std::floor(std::log10(largest))) + 1;
  return std::clamp(7 - before, 0, 6);
}

std::string label_line(const ResultColumns& r) {
  Rec line;
  line.A(" node  ");
  for (const auto& label : r.labels) {
    const int pad = std::max(0, 10 - static_cast<int>(label.size()));
    line.A(std::string(pad, ' ') + label, 10);
  }
  return line.str();
}

void write_nodal_lines(std::ostream& out, const MeshModel& m, const ResultColumns& r) {
  for (int n = 1; n <= m.npoin; ++n) {
    Rec line;
    line.I(n, 5);
    for (int k = 1; k <= 4; ++k) line.E(r.disp(n, k), 10, 3);
    out << line.str() << "\n";
  }
}

void write_gauss_lines(std::ostream& out, const MeshModel& m, const ResultColumns& r) {
  double largest = 0.0;
  for (int e = 1; e <= m.nelem; ++e)
    for (int g = 1; g <= r.ngp(e); ++g)
      for (int k = 3; k <= 6; ++k) largest = std::max(largest, std::fabs(r.gp(gauss_row(e, g), k)));
  const int d = fixed_decimals(largest);
  if (r.gauss_header.empty()) return;  // results at the nodes only, as for frames
  out << r.gauss_header << "\n";
  for (int e = 1; e <= m.nelem; ++e)
    for (int g = 1; g <= r.ngp(e); ++g) {
      const int row = gauss_row(e, g);
      Rec line;
      line.I(e, 5).I(g, 2).I(0, 3).F(r.gp(row, 1), 10, 5).F(r.gp(row, 2), 10, 5);
      for (int k = 3; k <= 6; ++k) line.F(r.gp(row, k), 10, d);
      out << line.str() << "\n";
    }
}

}  // namespace

bool write_whole_file(const std::string& path, const std::string& text, std::string& error) {
  const std::string part = path + ".part";
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    if (!out) {
      error = "cannot create " + part + ": " + std::strerror(errno);
      return false;
    }
    out << text;
    out.close();
    if (!out) {
      error = "cannot write " + part + ": " + std::strerror(errno);
      std::remove(part.c_str());
      return false;
    }
  }
  if (std::rename(part.c_str(), path.c_str()) != 0) {
    error = "cannot rename " + part + " to " + path + ": " + std::strerror(errno);
    std::remove(part.c_str());
    return false;
  }
  return true;
}

bool write_results(const std::string& path, const MeshModel& m, const ResultColumns& r,
                   std::string& error) {
  std::ostringstream out;
  OUTPUT(out, m);
  out << label_line(r) << "\n";
  write_nodal_lines(out, m, r);
  write_gauss_lines(out, m, r);
  return write_whole_file(path, out.str(), error);
}

}  // namespace vortan
