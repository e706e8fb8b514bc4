#include "gmsh_library.h"

#include <gmsh.h>

#include <algorithm>
#include <fstream>

namespace vortan {

std::string gmsh_type_name(const SourceMesh& mesh, int type) {
  auto it = mesh.type_names.find(type);
  if (it != mesh.type_names.end()) return it->second;
  return "Gmsh element type " + std::to_string(type);
}

GmshLibrary::GmshLibrary() {
  gmsh::initialize(0, nullptr, false);
  gmsh::option::setNumber("General.Terminal", 0);
}

GmshLibrary::~GmshLibrary() { gmsh::finalize(); }

std::string gmsh_error() {
  std::string error;
  gmsh::logger::getLastError(error);
  return error;
}

namespace {

// The last error Gmsh recorded for the file, or a plain one when the
// library failed without saying why.
std::string library_error(const std::string& path) {
  std::string e = gmsh_error();
  return e.empty() ? "Gmsh could not read " + path : e;
}

void copy_elements(SourceMesh& mesh) {
  gmsh::vectorpair entities;
  gmsh::model::getEntities(entities);
  for (auto [dim, tag] : entities) {
    std::vector<int> types;
    std::vector<std::vector<std::size_t>> tags, nodes;
    gmsh::model::mesh::getElements(types, tags, nodes, dim, tag);
    for (size_t t = 0; t < types.size(); ++t) {
      if (!mesh.type_names.count(types[t])) {
        std::string name;
        int d, order, n, primary;
        std::vector<double> local;
        gmsh::model::mesh::getElementProperties(types[t], name, d, order, n, local, primary);
        mesh.type_names[types[t]] = name;
      }
      const size_t per = tags[t].empty() ? 0 : nodes[t].size() / tags[t].size();
      for (size_t e = 0; e < tags[t].size(); ++e) {
        SourceElement el{types[t], dim, tag, tags[t][e], {}};
        el.nodes.assign(nodes[t].begin() + e * per, nodes[t].begin() + (e + 1) * per);
        mesh.elements.push_back(std::move(el));
      }
    }
  }
  std::stable_sort(mesh.elements.begin(), mesh.elements.end(),
                   [](const SourceElement& a, const SourceElement& b) { return a.tag < b.tag; });
}

void copy_groups(SourceMesh& mesh) {
  gmsh::vectorpair groups;
  gmsh::model::getPhysicalGroups(groups);
  for (auto [dim, tag] : groups) {
    SourceGroup g;
    g.dim = dim;
    g.tag = tag;
    gmsh::model::getPhysicalName(dim, tag, g.name);
    gmsh::model::getEntitiesForPhysicalGroup(dim, tag, g.entities);
    std::vector<double> coord;
    gmsh::model::mesh::getNodesForPhysicalGroup(dim, tag, g.nodes, coord);
    mesh.groups.push_back(std::move(g));
  }
  std::stable_sort(mesh.groups.begin(), mesh.groups.end(),
                   [](const SourceGroup& a, const SourceGroup& b) {
                     return a.dim != b.dim ? a.dim < b.dim : a.tag < b.tag;
                   });
}

}  // namespace

bool read_gmsh_file(const std::string& path, SourceMesh& mesh, std::string& error) {
  mesh = SourceMesh{};
  // Gmsh says nothing about a file that is not there.
  if (!std::ifstream(path)) {
    error = "cannot read " + path;
    return false;
  }
  try {
    gmsh::clear();
    gmsh::open(path);
    mesh.dimension = gmsh::model::getDimension();
    std::vector<std::size_t> tags;
    std::vector<double> coord, param;
    gmsh::model::mesh::getNodes(tags, coord, param, -1, -1, false, false);
    // A geometry without a mesh is meshed here, in the plane only: a
    // volume is refused by the import rules, not meshed.
    if (tags.empty() && mesh.dimension >= 1 && mesh.dimension <= 2) {
      gmsh::model::mesh::generate(2);
      gmsh::model::mesh::getNodes(tags, coord, param, -1, -1, false, false);
    }
    for (size_t i = 0; i < tags.size(); ++i)
      mesh.nodes[tags[i]] = {coord[3 * i], coord[3 * i + 1], coord[3 * i + 2]};
    copy_elements(mesh);
    copy_groups(mesh);
  } catch (const std::string& e) {  // the library throws its error text
    error = e.empty() ? library_error(path) : e;
    return false;
  } catch (...) {
    error = library_error(path);
    return false;
  }
  // A volume comes back unmeshed, for the import rules to refuse by name.
  if (mesh.dimension < 0 || (mesh.nodes.empty() && mesh.dimension < 3)) {
    error = path + " holds no mesh that Gmsh could read";
    return false;
  }
  return true;
}

}  // namespace vortan
