#include "export_data.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "dat_file.h"
#include "file_replace.h"
#include "part_b_modify.h"
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

// Every set that reads whole; a set that does not is reported in `error`
// and ends the reading, the sets before it kept.
void read_sets(std::istream& in, ExportData& data, std::string& error) {
  const MeshModel& m = *data.mesh;
  auto r = std::make_unique<ResultSet>();
  clear_results(*r);
  std::string title = m.title;
  do {
    const SetRead got = read_result_set(in, m, *r);
    if (got != SetRead::Read) {
      error = "result set " + std::to_string(data.sets.size() + 1) +
              (got == SetRead::PrematureEnd ? " ends early" : " is not in the expected format");
      return;
    }
    data.sets.push_back(copy_set(m, *r, title));
  } while (read_next_title(in, title));
}

// Part B after the mesh of a .dat file: none when only blank lines follow.
void read_part_b(std::istream& in, ExportData& data, std::string& error) {
  const auto start = in.tellg();
  std::string line;
  bool any = false;
  while (!any && std::getline(in, line)) any = line.find_first_not_of(" \t\r") != std::string::npos;
  if (!any) return;
  in.clear();
  in.seekg(start);
  data.part_b = std::make_shared<OldPartB>();
  if (read_old_part_b(in, *data.part_b)) return;
  data.part_b.reset();
  error = "Part B (loads and boundaries) does not read whole and is left out";
}

}  // namespace

bool read_for_export(const std::string& path, ExportData& data, std::string& error) {
  data.results = ends_with(path, ".out");
  if (!data.results && !ends_with(path, ".dat")) {
    error = path + " is neither a .dat nor a .out file";
    return false;
  }
  // A folder or a device is refused before it is opened: reading one
  // would fail in the middle of a reader, or never end.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = path + " is " + (S_ISDIR(st.st_mode) ? "a folder" : "not a regular file") +
            ", not a " + (data.results ? ".out" : ".dat") + " file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  note_input(path);
  if (read_export_stream(in, data, error)) return true;
  error = path + ": " + error;
  return data.results ? !data.sets.empty() : data.mesh_read;
}

bool read_export_stream(std::istream& in, ExportData& data, std::string& error) {
  try {
    INPUT(in, *data.mesh);
  } catch (const ProgramExit&) {
    error = "the mesh data does not read";
    return false;
  }
  if (!check_mesh(*data.mesh, error)) return false;
  data.mesh_read = true;
  if (data.results)
    read_sets(in, data, error);
  else
    read_part_b(in, data, error);
  return error.empty();
}

std::vector<std::string> gauss_value_names(int ndofn) {
  if (std::abs(ndofn) < 2) return {"flow_x", "flow_y"};
  return {"sigma_x", "sigma_y", "tau_xy", "sigma_z"};
}

}  // namespace vortan
