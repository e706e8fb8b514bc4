#include "gmsh_output.h"

#include <gmsh.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "element_orders.h"
#include "export_fields.h"
#include "gmsh_library.h"
#include "vtk_output.h"

namespace vortan {

namespace {

const char* MODEL = "vortan";

std::vector<std::size_t> node_tags(const MeshModel& m) {
  std::vector<std::size_t> tags;
  for (int n = 1; n <= m.npoin; ++n) tags.push_back(n);
  return tags;
}

bool is_line(int gmsh_type) { return gmsh_type == 1 || gmsh_type == 8; }

// The elements on one discrete entity per pair of property set and
// material type (a curve for bars and beams, a surface otherwise), each
// entity its own physical group. Returns the element numbers given to Gmsh.
std::vector<std::size_t> add_elements(const MeshModel& m, std::vector<std::string>& notes) {
  // (line?, set, type) -> Gmsh type -> element numbers and nodes
  using Lists = std::pair<std::vector<std::size_t>, std::vector<std::size_t>>;
  std::map<std::tuple<bool, int, int>, std::map<int, Lists>> groups;
  int left_out = 0;
  for (int e = 1; e <= m.nelem; ++e) {
    const int type = gmsh_element_type(m, e);
    if (type == 0) {
      ++left_out;
      continue;
    }
    Lists& l = groups[{is_line(type), m.matset(e), m.mattyp(e)}][type];
    l.first.push_back(e);
    for (int n : corners_first(m, e)) l.second.push_back(n);
  }
  if (left_out > 0)
    notes.push_back(std::to_string(left_out) +
                    " joint, rockbolt, thin or infinite elements "
                    "have no Gmsh element type and are left out of the .msh file");
  // The nodes go on the first entity; elements of any entity use them.
  int first = 0;
  std::vector<std::size_t> given;
  std::vector<double> xyz;
  for (int n = 1; n <= m.npoin; ++n) xyz.insert(xyz.end(), {m.coord(n, 1), m.coord(n, 2), 0.0});
  // Surfaces first, so that their groups come first in tag order.
  for (bool lines : {false, true})
    for (auto& [key, by_type] : groups) {
      const auto [line, set, mtype] = key;
      if (line != lines) continue;
      const int dim = line ? 1 : 2;
      const int entity = gmsh::model::addDiscreteEntity(dim);
      if (!first) gmsh::model::mesh::addNodes(dim, entity, node_tags(m), xyz);
      first = first ? first : entity;
      for (auto& [type, lists] : by_type) {
        gmsh::model::mesh::addElementsByType(entity, type, lists.first, lists.second);
        given.insert(given.end(), lists.first.begin(), lists.first.end());
      }
      const int group = gmsh::model::addPhysicalGroup(dim, {entity});
      gmsh::model::setPhysicalName(dim, group, "property set " + std::to_string(set) +
                                                   " material type " + std::to_string(mtype));
    }
  if (!first) {  // no element Gmsh knows: the nodes alone, on a surface
    first = gmsh::model::addDiscreteEntity(2);
    gmsh::model::mesh::addNodes(2, first, node_tags(m), xyz);
  }
  return given;
}

// One physical group of points per fixity code, each fixed node a point
// element of its own on a point entity of that group.
void add_fixity_groups(const MeshModel& m, std::vector<std::string>& notes) {
  std::map<std::string, std::vector<int>> by_name;
  for (int n = 1; n <= m.npoin; ++n)
    if (m.kode(n) > 0) by_name[fixity_group_name(m.ndofn, m.ndof(n), m.kode(n))].push_back(n);
  std::size_t tag = MELEM + 1;  // beyond every element number
  for (auto& [name, nodes] : by_name) {
    std::vector<int> points;
    for (int n : nodes) {
      const int p = gmsh::model::addDiscreteEntity(0);
      gmsh::model::mesh::addElementsByType(p, 15, {tag++}, {static_cast<std::size_t>(n)});
      points.push_back(p);
    }
    gmsh::model::setPhysicalName(0, gmsh::model::addPhysicalGroup(0, points), name);
    if (name.rfind("fixity code", 0) == 0)
      notes.push_back(std::to_string(nodes.size()) + " nodes have " + name +
                      ", which has no name the importer reads");
  }
}

// A name as Gmsh's files quote it: valid UTF-8, no quote or backslash
// (a label with one would end the name early when the file is read).
std::string plain_name(const std::string& s) {
  std::string out;
  for (char c : clean_text(s)) out += c == '"' ? '\'' : c == '\\' ? '/' : c;
  return out;
}

// A view of one value per node (or element) and one step per result set;
// steps[s] empty for a set that has no such values.
int model_view(const std::string& name, const char* kind, const std::vector<std::size_t>& tags,
               const std::vector<std::vector<double>>& steps, int ncomp = 1) {
  const int v = gmsh::view::add(plain_name(name));
  for (size_t s = 0; s < steps.size(); ++s) {
    if (steps[s].empty()) continue;
    gmsh::view::addHomogeneousModelData(v, static_cast<int>(s), MODEL, kind, tags, steps[s],
                                        static_cast<double>(s + 1), ncomp);
  }
  return v;
}

std::vector<int> mesh_views(const MeshModel& m, const std::vector<std::size_t>& elements) {
  std::vector<int> views;
  if (!elements.empty()) {
    std::vector<double> pset, mtype;
    for (std::size_t e : elements) {
      pset.push_back(m.matset(static_cast<int>(e)));
      mtype.push_back(m.mattyp(static_cast<int>(e)));
    }
    views.push_back(model_view("property_set", "ElementData", elements, {pset}));
    views.push_back(model_view("material_type", "ElementData", elements, {mtype}));
  }
  std::vector<double> kode;
  for (int n = 1; n <= m.npoin; ++n) kode.push_back(m.kode(n));
  views.push_back(model_view("fixity_code", "NodeData", node_tags(m), {kode}));
  const auto flags = fixity_flag_names(m);
  for (size_t k = 0; k < flags.size(); ++k) {
    std::vector<double> v;
    for (int n = 1; n <= m.npoin; ++n) v.push_back(fixity_flag(m, n, static_cast<int>(k)));
    views.push_back(model_view(flags[k], "NodeData", node_tags(m), {v}));
  }
  return views;
}

// Column k of rows, or of the quantity derived from them by `f`.
template <class F>
std::vector<double> column(const std::vector<std::array<double, 4>>& rows, F f) {
  std::vector<double> v;
  for (const auto& r : rows) v.push_back(f(r));
  return v;
}

// The Gauss-point quantities by name, each a function of a row.
std::vector<std::pair<std::string, std::function<double(const std::array<double, 4>&)>>>
gauss_quantities(int ndofn) {
  std::vector<std::pair<std::string, std::function<double(const std::array<double, 4>&)>>> q;
  const auto names = gauss_value_names(ndofn);
  for (size_t k = 0; k < names.size(); ++k)
    q.push_back({names[k], [k](const std::array<double, 4>& r) { return r[k]; }});
  if (names.size() == 2) {
    q.push_back({"flow_magnitude", [](const auto& r) { return std::hypot(r[0], r[1]); }});
    return q;
  }
  q.push_back({"sigma_1", [](const auto& r) { return principal_stresses(r).major; }});
  q.push_back({"sigma_3", [](const auto& r) { return principal_stresses(r).minor; }});
  q.push_back({"principal_angle", [](const auto& r) { return principal_stresses(r).angle; }});
  q.push_back({"von_mises", [](const auto& r) { return principal_stresses(r).von_mises; }});
  return q;
}

// Part B of a .dat file: the same arrays as the .vtu file's, as views.
std::vector<int> part_b_views(const MeshModel& m, const OldPartB& b,
                              const std::vector<std::size_t>& elements) {
  const PartBData d = part_b_data(m, b);
  auto real = [](const std::vector<int>& v) { return std::vector<double>(v.begin(), v.end()); };
  auto of_elements = [&](const std::vector<double>& v, int ncomp) {
    std::vector<double> out;
    for (std::size_t e : elements)
      out.insert(out.end(), v.begin() + ncomp * (e - 1), v.begin() + ncomp * e);
    return out;
  };
  const auto nodes = node_tags(m);
  std::vector<int> views = {
      model_view("nodal_load", "NodeData", nodes, {d.load}, 3),
      model_view("specified_displacement", "NodeData", nodes, {d.fixed}, 3),
      model_view("boundary_set", "NodeData", nodes, {real(d.boundary_set)}),
      model_view("dirichlet_dof", "NodeData", nodes, {real(d.dirichlet_dof)}),
      model_view("dirichlet_value", "NodeData", nodes, {d.dirichlet_value})};
  if (elements.empty()) return views;
  views.push_back(model_view("body_force_set", "ElementData", elements,
                             {of_elements(real(d.body_force_set), 1)}));
  views.push_back(model_view("body_force", "ElementData", elements, {of_elements(d.body_force, 3)}, 3));
  views.push_back(model_view("loaded_edges", "ElementData", elements,
                             {of_elements(real(d.loaded_edges), 1)}));
  views.push_back(model_view("traction_set", "ElementData", elements,
                             {of_elements(real(d.traction_set), 1)}));
  return views;
}

std::vector<int> result_views(const ExportData& d, const std::vector<std::size_t>& elements) {
  const MeshModel& m = *d.mesh;
  std::vector<int> views;
  const size_t nsets = d.sets.size();
  for (const auto& c : used_nodal_columns(d.sets.front().labels)) {
    std::vector<std::vector<double>> steps(nsets);
    for (size_t s = 0; s < nsets; ++s)
      for (const auto& row : d.sets[s].nodal) steps[s].push_back(row[c.column]);
    views.push_back(model_view(c.name, "NodeData", node_tags(m), steps));
  }
  if (std::abs(m.ndofn) >= 2) {
    std::vector<std::vector<double>> steps(nsets);
    for (size_t s = 0; s < nsets; ++s)
      for (const auto& row : d.sets[s].nodal) steps[s].insert(steps[s].end(), {row[0], row[1], 0});
    views.push_back(model_view("displacement", "NodeData", node_tags(m), steps, 3));
  }
  std::vector<SmoothedValues> smooth(nsets);
  bool any = false;
  for (size_t s = 0; s < nsets; ++s)
    if (!d.sets[s].gauss.empty()) {
      smooth[s] = smooth_gauss_values(m, d.sets[s]);
      any = true;
    }
  if (!any) return views;
  for (const auto& [name, f] : gauss_quantities(m.ndofn)) {
    std::vector<std::vector<double>> nodal(nsets), cell(nsets);
    for (size_t s = 0; s < nsets; ++s) {
      if (d.sets[s].gauss.empty()) continue;
      nodal[s] = column(smooth[s].point, f);
      for (std::size_t e : elements) cell[s].push_back(f(smooth[s].cell[e - 1]));
    }
    views.push_back(model_view(name, "NodeData", node_tags(m), nodal));
    if (!elements.empty())
      views.push_back(model_view(name + " (element average)", "ElementData", elements, cell));
  }
  return views;
}

// Whether the file Gmsh wrote is whole: the library does not say when a
// write fails (a full disk), so the sections it holds are counted.
bool msh_whole(const std::string& path, int views, std::string& why) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  int mesh = 0, data = 0, started = 0;
  bool ends_with_newline = false;
  while (std::getline(in, line)) {
    ends_with_newline = !in.eof();
    if (line == "$EndElements") ++mesh;
    if (line == "$NodeData" || line == "$ElementData") ++started;
    if (line == "$EndNodeData" || line == "$EndElementData") ++data;
  }
  if (mesh == 1 && data == started && ends_with_newline && data >= views) return true;
  why = "the file was cut short (is the disk full?)";
  return false;
}

// A .pos file is read as a script: the text is one plain string.
std::string pos_string(const std::string& s) { return "\"" + plain_name(s) + "\""; }

std::string number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", std::isfinite(v) ? v : 0.0);
  return buf;
}

// One point view per Gauss quantity over `sets` (their Gauss points the
// same in number), one step each.
void gauss_point_views(std::ostream& out, const MeshModel& m,
                       const std::vector<const ExportSet*>& sets, const std::vector<int>& times,
                       const std::string& suffix) {
  auto quantities = gauss_quantities(m.ndofn);
  quantities.push_back({"yield_code", nullptr});
  const auto& first = sets.front()->gauss;
  for (const auto& [name, f] : quantities) {
    out << "View " << pos_string(name + " (Gauss points)" + suffix) << " {\n";
    for (size_t i = 0; i < first.size(); ++i) {
      out << "SP(" << number(first[i].x) << "," << number(first[i].y) << ",0){";
      for (size_t s = 0; s < sets.size(); ++s) {
        const GaussRecord& g = sets[s]->gauss[i];
        out << (s ? "," : "") << number(f ? f(g.values) : g.yield);
      }
      out << "};\n";
    }
    out << "TIME{";
    for (size_t s = 0; s < times.size(); ++s) out << (s ? "," : "") << times[s];
    out << "};\n};\n";
  }
}

}  // namespace

std::string fixity_group_name(int ndofn, int ndof, int code) {
  const int problem = std::abs(ndofn);
  const std::string letters = problem == 3 ? "xyr" : "xy";
  if (problem == 1 && ndof == 1 && code == 1) return "fixed";
  if (problem >= 2 && ndof == static_cast<int>(letters.size())) {
    std::string name = "fix ";
    for (int k = 0, c = code; k < ndof; ++k) {
      int digit = c;
      for (int i = k + 1; i < ndof; ++i) digit /= 10;
      if (digit % 10 == 1) name += letters[k];
    }
    if (name.size() > 4) return name;
  }
  // One digit per d.o.f., as the .dat file writes it.
  std::string digits = std::to_string(code);
  if (static_cast<int>(digits.size()) < ndof) digits.insert(0, ndof - digits.size(), '0');
  return "fixity code " + digits;
}

bool write_msh(const std::string& msh_path, const ExportData& data, ExportFiles& files,
               std::vector<std::string>& notes) {
  const std::string temp = files.add_by_name(msh_path);
  if (temp.empty()) return false;
  int views = 0;
  try {
    gmsh::clear();
    gmsh::model::add(MODEL);
    const auto elements = add_elements(*data.mesh, notes);
    add_fixity_groups(*data.mesh, notes);
    auto all = mesh_views(*data.mesh, elements);
    if (data.results) {
      const auto more = result_views(data, elements);
      all.insert(all.end(), more.begin(), more.end());
    } else if (data.part_b) {
      const auto more = part_b_views(*data.mesh, *data.part_b, elements);
      all.insert(all.end(), more.begin(), more.end());
    }
    gmsh::option::setNumber("Mesh.SaveAll", 0);
    gmsh::write(temp);
    // Views go after the mesh, without writing the mesh again for each.
    gmsh::option::setNumber("PostProcessing.SaveMesh", 0);
    for (int v : all) gmsh::view::write(v, temp, true);
    views = static_cast<int>(all.size());
  } catch (...) {
    const std::string e = gmsh_error();
    files.error = "Gmsh could not write " + msh_path + (e.empty() ? "" : ": " + e);
    return false;
  }
  return files.complete_by_name(msh_path, [&](const std::string& t, std::string& why) {
    return msh_whole(t, views, why);
  });
}

std::string pos_text(const ExportData& d) {
  std::ostringstream out;
  std::vector<const ExportSet*> with_gauss;
  for (const auto& s : d.sets)
    if (!s.gauss.empty()) with_gauss.push_back(&s);
  bool same = with_gauss.size() == d.sets.size();
  for (const auto* s : with_gauss) same = same && s->gauss.size() == with_gauss.front()->gauss.size();
  if (same && !with_gauss.empty()) {
    std::vector<int> times;
    for (size_t s = 0; s < d.sets.size(); ++s) times.push_back(static_cast<int>(s) + 1);
    gauss_point_views(out, *d.mesh, with_gauss, times, "");
  } else {
    for (size_t s = 0; s < d.sets.size(); ++s)
      if (!d.sets[s].gauss.empty())
        gauss_point_views(out, *d.mesh, {&d.sets[s]}, {static_cast<int>(s) + 1},
                          " (set " + std::to_string(s + 1) + ")");
  }
  // Each set's title, shown at the top of the window with its step.
  out << "View \"result set\" {\nT2(10,-10,0){";
  for (size_t s = 0; s < d.sets.size(); ++s)
    out << (s ? "," : "") << pos_string(std::to_string(s + 1) + ": " + d.sets[s].title);
  out << "};\nTIME{";
  for (size_t s = 0; s < d.sets.size(); ++s) out << (s ? "," : "") << s + 1;
  out << "};\n};\n";
  return out.str();
}

}  // namespace vortan
