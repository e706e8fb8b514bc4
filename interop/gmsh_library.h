// The Gmsh library, started once per tool run with its terminal output
// off, and the mesh reader built on it.
#pragma once

#include <string>

#include "source_mesh.h"

namespace vortan {

// Starts the library on construction and ends it on destruction.
struct GmshLibrary {
  GmshLibrary();
  ~GmshLibrary();
  GmshLibrary(const GmshLibrary&) = delete;
  GmshLibrary& operator=(const GmshLibrary&) = delete;
};

// Error text the library has recorded since the last call, empty if none.
std::string gmsh_error();

// Opens any file Gmsh reads (.msh of version 2 or 4, .geo and the other
// formats it knows); a geometry without a mesh is meshed in two
// dimensions. Copies the mesh out into `mesh`. False with `error` set when
// the file cannot be read.
bool read_gmsh_file(const std::string& path, SourceMesh& mesh, std::string& error);

}  // namespace vortan
