#include "export_data.h"

#include <cstdlib>
#include <fstream>

#include "dat_file.h"
#include "platform/platform.h"
#include "prompts.h"
#include "results_file.h"

namespace vortan {

namespace {

bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The readers keep node numbers within the tables, not within the mesh;
// an element that names a node the mesh lacks cannot be drawn.
bool check_mesh(const MeshModel& m, std::string& error) {
  if (m.npoin < 1 || m.nelem < 1) {
    error = "the mesh has no nodes or no elements";
    return false;
  }
  for (int e = 1; e <= m.nelem; ++e) {
    if (m.nnode(e) < 1) {
      error = "element " + std::to_string(e) + " has no nodes";
      return false;
    }
    for (int k = 1; k <= m.nnode(e); ++k)
      if (m.lnods(e, k) < 1 || m.lnods(e, k) > m.npoin) {
        error = "element " + std::to_string(e) + " uses node " + std::to_string(m.lnods(e, k)) +
                ", beyond the mesh's " + std::to_string(m.npoin) + " nodes";
        return false;
      }
  }
  return true;
}

ExportSet copy_set(const MeshModel& m, const ResultSet& r, const std::string& title) {
  ExportSet s;
  s.title = trimmed(title);
  for (int k = 0; k < 4; ++k) s.labels[k] = r.dofnam[k + 1];
  s.nodal.resize(m.npoin);
  for (int n = 1; n <= m.npoin; ++n)
    for (int k = 0; k < 4; ++k) s.nodal[n - 1][k] = r.disp(n, k + 1);
  s.has_gauss = r.hasgp == 1;
  s.gauss.resize(s.has_gauss ? r.ngaus : 0);
  for (int i = 1; i <= static_cast<int>(s.gauss.size()); ++i) {
    GaussRecord& g = s.gauss[i - 1];
    g.yield = r.iyield(i);
    g.x = r.xgaus(i, 1);
    g.y = r.xgaus(i, 2);
    for (int k = 0; k < 4; ++k) g.values[k] = r.stres(i, k + 1);
  }
  // The index table leads from (element, point) to the record.
  for (int e = 1; e <= m.nelem; ++e)
    for (int p = 1; p <= MGPEL; ++p) {
      const int i = r.igaus(e, p);
      if (i >= 1 && i <= static_cast<int>(s.gauss.size())) {
        s.gauss[i - 1].element = e;
        s.gauss[i - 1].point = p;
      }
    }
  return s;
}

bool read_sets(std::istream& in, ExportData& data, std::string& error) {
  const MeshModel& m = *data.mesh;
  auto r = std::make_unique<ResultSet>();
  clear_results(*r);
  std::string title = m.title;
  do {
    const SetRead got = read_result_set(in, m, *r);
    if (got != SetRead::Read) {
      error = "result set " + std::to_string(data.sets.size() + 1) +
              (got == SetRead::PrematureEnd ? " ends early" : " is not in the expected format");
      return false;
    }
    data.sets.push_back(copy_set(m, *r, title));
  } while (read_next_title(in, title));
  return true;
}

}  // namespace

bool read_for_export(const std::string& path, ExportData& data, std::string& error) {
  data.results = ends_with(path, ".out");
  if (!data.results && !ends_with(path, ".dat")) {
    error = path + " is neither a .dat nor a .out file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  try {
    INPUT(in, *data.mesh);
  } catch (const ProgramExit&) {
    error = "the mesh data of " + path + " does not read";
    return false;
  }
  if (!check_mesh(*data.mesh, error)) {
    error = path + ": " + error;
    return false;
  }
  if (data.results && !read_sets(in, data, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

std::array<std::string, 4> nodal_value_names(const std::array<std::string, 4>& labels) {
  std::array<std::string, 4> names;
  for (int k = 0; k < 4; ++k) {
    std::string name = trimmed(labels[k]);
    const auto lead = name.find_first_not_of(' ');
    name = lead == std::string::npos ? "" : name.substr(lead);
    if (name.empty()) name = "value " + std::to_string(k + 1);
    for (int j = 0; j < k; ++j)
      if (names[j] == name) name += " " + std::to_string(k + 1);
    names[k] = name;
  }
  return names;
}

std::vector<std::string> gauss_value_names(int ndofn) {
  if (std::abs(ndofn) < 2) return {"flow_x", "flow_y"};
  return {"sigma_x", "sigma_y", "tau_xy", "sigma_z"};
}

}  // namespace vortan
