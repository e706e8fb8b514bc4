#include "gmsh_library.h"

#include <gmsh.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>

#include "contained_child.h"

namespace vortan {

std::string gmsh_type_name(const SourceMesh& mesh, int type) {
  auto it = mesh.type_names.find(type);
  if (it != mesh.type_names.end()) return it->second;
  return "Gmsh element type " + std::to_string(type);
}

GmshLibrary::GmshLibrary() {
  gmsh::initialize(0, nullptr, false);
  gmsh::option::setNumber("General.Terminal", 0);
  // Errors are recorded and the call returns, never thrown through the
  // library's own frames.
  gmsh::option::setNumber("General.AbortOnError", 0);
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

// The lines of Gmsh's log of one kind ("Warning", "Error").
std::vector<std::string> gmsh_log(const std::string& kind) {
  std::vector<std::string> log, out;
  gmsh::logger::get(log);
  for (const auto& line : log)
    if (line.rfind(kind, 0) == 0 && line.find("already been initialized") == std::string::npos)
      out.push_back(line);
  return out;
}

// Every error the log holds (the last alone often says only "Error
// loading"), or the last error recorded; empty when there is none.
std::string gmsh_errors() {
  std::string last = gmsh_error(), all;
  if (last.empty()) return "";
  for (const auto& line : gmsh_log("Error")) {
    const auto colon = line.find(": ");
    const std::string text = colon == std::string::npos ? line : line.substr(colon + 2);
    if (all.find(text) == std::string::npos) all += (all.empty() ? "" : "; ") + text;
  }
  return all.empty() ? last : all;
}

// Reads and, for a geometry, meshes the file in this process. False with
// `error` set when the library records an error or throws.
bool read_in_library(const std::string& path, SourceMesh& mesh, std::string& error) {
  mesh = SourceMesh{};
  try {
    gmsh::clear();
    gmsh::logger::start();
    gmsh::open(path);
    if (!(error = gmsh_errors()).empty()) return false;
    mesh.dimension = gmsh::model::getDimension();
    std::vector<std::size_t> tags;
    std::vector<double> coord, param;
    gmsh::model::mesh::getNodes(tags, coord, param, -1, -1, false, false);
    // A geometry without a mesh is meshed here, in the plane only: a
    // volume is refused by the import rules, not meshed.
    if (tags.empty() && mesh.dimension >= 1 && mesh.dimension <= 2) {
      gmsh::model::mesh::generate(2);
      if (!(error = gmsh_errors()).empty()) return false;
      gmsh::model::mesh::getNodes(tags, coord, param, -1, -1, false, false);
    }
    for (size_t i = 0; i < tags.size(); ++i)
      mesh.nodes[tags[i]] = {coord[3 * i], coord[3 * i + 1], coord[3 * i + 2]};
    copy_elements(mesh);
    copy_groups(mesh);
    if (!(error = gmsh_errors()).empty()) return false;
  } catch (const std::string& e) {  // the library throws its error text
    error = e.empty() ? library_error(path) : e;
    return false;
  } catch (...) {
    error = library_error(path);
    return false;
  }
  mesh.warnings = gmsh_log("Warning");
  gmsh::logger::stop();
  return true;
}

std::string lower_extension(const std::string& path) {
  const auto slash = path.find_last_of('/'), dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// Gmsh takes a file it does not know for a script; a mesh file must say
// what it is in its first record before the library sees it. Empty when the
// file may be read.
std::string check_input(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !std::ifstream(path)) return "cannot read " + path;
  if (!S_ISREG(st.st_mode)) return path + " is not a file (a folder or a device)";
  const std::string ext = lower_extension(path);
  if (ext == ".geo") return "";
  static const char* meshes[] = {".unv", ".vtk", ".mesh", ".bdf", ".nas"};
  if (std::find(std::begin(meshes), std::end(meshes), ext) != std::end(meshes)) return "";
  if (ext != ".msh")
    return path +
           ": vortan-import reads Gmsh's .msh and .geo files (and .unv, .vtk, .mesh, .bdf, "
           ".nas meshes)";
  std::ifstream in(path, std::ios::binary);
  std::string head(64, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  const auto start = head.find_first_not_of(" \t\r\n");
  if (start == std::string::npos || head.compare(start, 11, "$MeshFormat") != 0)
    return path + " is not a Gmsh mesh file: its first record is not $MeshFormat";
  return "";
}

}  // namespace

bool read_gmsh_file(const std::string& path, SourceMesh& mesh, std::string& error,
                    int cpu_seconds) {
  mesh = SourceMesh{};
  if (!(error = check_input(path)).empty()) return false;
  const ChildOutcome child = run_contained([&] {
    GmshLibrary library;
    SourceMesh read;
    std::string why;
    return read_in_library(path, read, why) ? "M" + pack_source_mesh(read) : "E" + why;
  }, cpu_seconds);
  if (!child.finished) {
    error = "Gmsh could not read " + path + ": " + child.failure;
    return false;
  }
  if (child.bytes.empty() || child.bytes[0] != 'M') {
    const std::string why = child.bytes.empty() ? "" : child.bytes.substr(1);
    error = why.empty() ? "Gmsh could not read " + path : "Gmsh: " + why;
    return false;
  }
  if (!unpack_source_mesh(child.bytes.substr(1), mesh, error)) return false;
  // A volume comes back unmeshed, for the import rules to refuse by name.
  if (mesh.dimension < 0 || (mesh.nodes.empty() && mesh.dimension < 3)) {
    error = path + " holds no mesh that Gmsh could read";
    return false;
  }
  return true;
}

}  // namespace vortan
