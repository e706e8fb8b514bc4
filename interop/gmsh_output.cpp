#include "gmsh_output.h"

#include <gmsh.h>

#include <cstdio>
#include <fstream>
#include <map>

#include "element_orders.h"
#include "file_output.h"
#include "gmsh_library.h"

namespace vortan {

namespace {

const char* MODEL = "vortan";

std::vector<std::size_t> node_tags(const MeshModel& m) {
  std::vector<std::size_t> tags;
  for (int n = 1; n <= m.npoin; ++n) tags.push_back(n);
  return tags;
}

// The mesh on one surface and one curve entity; returns the element
// numbers given to Gmsh.
std::vector<std::size_t> add_mesh(const MeshModel& m, std::vector<std::string>& notes) {
  std::map<int, std::pair<std::vector<std::size_t>, std::vector<std::size_t>>> by_type;
  int left_out = 0;
  for (int e = 1; e <= m.nelem; ++e) {
    const int type = gmsh_element_type(m, e);
    if (type == 0) {
      ++left_out;
      continue;
    }
    by_type[type].first.push_back(e);
    for (int n : corners_first(m, e)) by_type[type].second.push_back(n);
  }
  if (left_out > 0)
    notes.push_back(std::to_string(left_out) +
                    " joint, rockbolt, thin or infinite elements "
                    "have no Gmsh element type and are left out of the .msh file");
  const bool lines = by_type.count(1) || by_type.count(8);
  const bool areas = by_type.size() > (by_type.count(1) + by_type.count(8));
  const int surface = areas || !lines ? gmsh::model::addDiscreteEntity(2) : 0;
  const int curve = lines ? gmsh::model::addDiscreteEntity(1) : 0;
  std::vector<double> xyz;
  for (int n = 1; n <= m.npoin; ++n) xyz.insert(xyz.end(), {m.coord(n, 1), m.coord(n, 2), 0.0});
  gmsh::model::mesh::addNodes(surface ? 2 : 1, surface ? surface : curve, node_tags(m), xyz);
  std::vector<std::size_t> given;
  for (auto& [type, lists] : by_type) {
    const bool line = type == 1 || type == 8;
    gmsh::model::mesh::addElementsByType(line ? curve : surface, type, lists.first, lists.second);
    given.insert(given.end(), lists.first.begin(), lists.first.end());
  }
  return given;
}

int node_view(const std::string& name, const std::vector<std::vector<double>>& steps,
              const MeshModel& m) {
  const int v = gmsh::view::add(name);
  for (size_t s = 0; s < steps.size(); ++s) {
    std::vector<std::vector<double>> data;
    for (double x : steps[s]) data.push_back({x});
    gmsh::view::addModelData(v, static_cast<int>(s), MODEL, "NodeData", node_tags(m), data,
                             static_cast<double>(s + 1));
  }
  return v;
}

int element_view(const std::string& name, const std::vector<std::size_t>& elements,
                 const Table1<int, MELEM>& value) {
  const int v = gmsh::view::add(name);
  std::vector<std::vector<double>> data;
  for (std::size_t e : elements) data.push_back({static_cast<double>(value(static_cast<int>(e)))});
  gmsh::view::addModelData(v, 0, MODEL, "ElementData", elements, data);
  return v;
}

std::vector<int> add_model_views(const ExportData& d, const std::vector<std::size_t>& elements) {
  const MeshModel& m = *d.mesh;
  std::vector<int> views;
  if (!elements.empty()) {
    views.push_back(element_view("property_set", elements, m.matset));
    views.push_back(element_view("material_type", elements, m.mattyp));
  }
  std::vector<double> kode;
  for (int n = 1; n <= m.npoin; ++n) kode.push_back(m.kode(n));
  views.push_back(node_view("fixity_code", {kode}, m));
  if (d.sets.empty()) return views;
  const auto names = nodal_value_names(d.sets.front().labels);
  for (int k = 0; k < 4; ++k) {
    std::vector<std::vector<double>> steps;
    for (const auto& set : d.sets) {
      steps.emplace_back();
      for (const auto& row : set.nodal) steps.back().push_back(row[k]);
    }
    views.push_back(node_view(names[k], steps, m));
  }
  return views;
}

// One list-based point view per Gauss-point value (and the yield codes) of
// each result set that has Gauss points.
std::vector<int> add_gauss_views(const ExportData& d) {
  std::vector<int> views;
  const auto names = gauss_value_names(d.mesh->ndofn);
  for (size_t s = 0; s < d.sets.size(); ++s) {
    const auto& gauss = d.sets[s].gauss;
    if (gauss.empty()) continue;
    const std::string suffix = d.sets.size() > 1 ? " (set " + std::to_string(s + 1) + ")" : "";
    for (size_t k = 0; k <= names.size(); ++k) {
      std::vector<double> data;
      for (const auto& g : gauss)
        data.insert(data.end(), {g.x, g.y, 0.0, k < names.size() ? g.values[k] : g.yield});
      const int v = gmsh::view::add((k < names.size() ? names[k] : "yield_code") + suffix);
      gmsh::view::addListData(v, "SP", static_cast<int>(gauss.size()), data);
      views.push_back(v);
    }
  }
  return views;
}

}  // namespace

bool write_gmsh_files(const std::string& msh_path, const std::string& pos_path,
                      const ExportData& data, std::vector<std::string>& notes, std::string& error) {
  const std::string msh_part = partial_name(msh_path), pos_part = partial_name(pos_path);
  bool with_pos = false;
  try {
    gmsh::clear();
    gmsh::model::add(MODEL);
    const auto elements = add_mesh(*data.mesh, notes);
    const auto model_views = add_model_views(data, elements);
    const auto point_views = add_gauss_views(data);
    gmsh::write(msh_part);
    // Views go after the mesh, without writing the mesh again for each.
    gmsh::option::setNumber("PostProcessing.SaveMesh", 0);
    for (int v : model_views) gmsh::view::write(v, msh_part, true);
    for (size_t i = 0; i < point_views.size(); ++i)
      gmsh::view::write(point_views[i], pos_part, i > 0);
    with_pos = !point_views.empty();
    // The library does not always say when a file cannot be made.
    if (!std::ifstream(msh_part) || (with_pos && !std::ifstream(pos_part)))
      throw std::string("the file could not be made");
  } catch (const std::string& e) {
    error = "Gmsh could not write " + msh_path + ": " + e;
  } catch (...) {
    const std::string e = gmsh_error();
    error = "Gmsh could not write " + msh_path + (e.empty() ? "" : ": " + e);
  }
  if (!error.empty()) {
    std::remove(msh_part.c_str());
    std::remove(pos_part.c_str());
    return false;
  }
  if (!replace_file(msh_part, msh_path, error)) {
    std::remove(pos_part.c_str());
    return false;
  }
  return !with_pos || replace_file(pos_part, pos_path, error);
}

}  // namespace vortan
