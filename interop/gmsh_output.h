// Files for Gmsh: a .msh file of the mesh, its physical groups and its
// model-based views, written through the Gmsh library, and a .pos file of
// list-based views (the Gauss points, which are not nodes of the mesh, and
// each result set's title), written as text.
#pragma once

#include <string>
#include <vector>

#include "export_data.h"
#include "export_files.h"

namespace vortan {

// Adds `msh_path` to the export: the mesh, with one physical group per pair
// of property set and material type ("property set S material type T") and
// one per fixity code, named as vortan-import reads them ("fix x", "fix xy",
// "fixed" ...); element views "property_set" and "material_type", node views
// "fixity_code" and one flag per d.o.f.; for results, one view per used
// nodal value, per smoothed Gauss value and per element average, each with
// one step per result set (time = the set's number). Elements that Gmsh
// has no type for are left out with a note. The library must be started.
// False with files.error set when the file could not be made whole.
bool write_msh(const std::string& msh_path, const ExportData& data, ExportFiles& files,
               std::vector<std::string>& notes);

// The .pos text: the Gauss-point values as point views ("sigma_x (Gauss
// points)" ...) with one step per result set (a view per set when the sets' Gauss points differ), and a
// view "result set" holding each set's title as a 2D text per step.
std::string pos_text(const ExportData& data);

// The name of the physical group of a fixity code of a node with `ndof`
// d.o.f. in a problem of type |ndofn|, as the importer reads it.
std::string fixity_group_name(int ndofn, int ndof, int code);

}  // namespace vortan
