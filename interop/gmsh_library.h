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

// Reads a .msh file (version 2 or 4, text or binary, its first record
// $MeshFormat), a .geo script, or a .unv, .vtk, .mesh, .bdf or .nas mesh;
// a geometry without a mesh is meshed in two dimensions. The library runs
// in a contained child process (contained_child.h): a crash there, or a
// script that would start a program or change a file, ends as a refusal.
// False with `error` set when the file cannot be read; Gmsh's warnings come
// back in mesh.warnings. Gmsh may take `cpu_seconds` of processor time.
bool read_gmsh_file(const std::string& path, SourceMesh& mesh, std::string& error,
                    int cpu_seconds = 300);

}  // namespace vortan
