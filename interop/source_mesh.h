// A mesh as Gmsh holds it, copied out of the Gmsh library into plain
// tables: nodes by tag, elements with their Gmsh type and entity, and the
// physical groups with their entities and nodes. The import rules work on
// this copy only, so they can be tried without any file.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace vortan {

// Gmsh element type numbers that the import maps.
constexpr int GMSH_LINE2 = 1;
constexpr int GMSH_TRIANGLE3 = 2;
constexpr int GMSH_QUAD4 = 3;
constexpr int GMSH_LINE3 = 8;
constexpr int GMSH_TRIANGLE6 = 9;
constexpr int GMSH_QUAD9 = 10;
constexpr int GMSH_POINT = 15;
constexpr int GMSH_QUAD8 = 16;

struct SourceNode {
  double x = 0, y = 0, z = 0;
};

struct SourceElement {
  int type = 0;    // Gmsh element type number
  int dim = 0;     // dimension of the entity it lies on
  int entity = 0;  // tag of that entity
  std::size_t tag = 0;
  std::vector<std::size_t> nodes;  // node tags in Gmsh's order
};

struct SourceGroup {
  int dim = 0;
  int tag = 0;
  std::string name;
  std::vector<int> entities;       // entities of dimension dim
  std::vector<std::size_t> nodes;  // every node of the group's elements
};

struct SourceMesh {
  int dimension = 0;  // highest dimension of the model's entities
  std::map<std::size_t, SourceNode> nodes;
  std::vector<SourceElement> elements;    // in element tag order
  std::vector<SourceGroup> groups;        // by dimension, then tag
  std::map<int, std::string> type_names;  // Gmsh's names of the types found
  std::vector<std::string> warnings;      // what Gmsh warned of while reading
};

// The name of a Gmsh element type for messages ("Tetrahedron 4").
std::string gmsh_type_name(const SourceMesh& mesh, int type);

// The mesh as the bytes the contained reader sends its parent, and back.
// Unpacking trusts nothing: a short, overlong or inconsistent message is
// refused with `error` set, and `mesh` is left empty.
std::string pack_source_mesh(const SourceMesh& mesh);
bool unpack_source_mesh(const std::string& bytes, SourceMesh& mesh, std::string& error);

}  // namespace vortan
