// Files for Gmsh's post-processor, written through the Gmsh library: a
// .msh file of the mesh with its views, and a .pos file of list-based
// point views for the Gauss-point values (a .msh file holds data on its
// own mesh only, so points that are not nodes need a list-based view).
#pragma once

#include <string>
#include <vector>

#include "export_data.h"

namespace vortan {

// Writes `msh_path`: the mesh; element views "property_set" and
// "material_type" and node view "fixity_code"; for results, one node view
// per nodal value with one step per result set. When any result set has
// Gauss points, writes `pos_path` with one point view per value and set.
// The library must be started (GmshLibrary). Elements Gmsh has no type for
// are left out of the .msh with a note. False with `error` set when a file
// could not be written; nothing is then left under either name.
bool write_gmsh_files(const std::string& msh_path, const std::string& pos_path,
                      const ExportData& data, std::vector<std::string>& notes, std::string& error);

}  // namespace vortan
