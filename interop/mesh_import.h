// The rules by which a Gmsh mesh becomes a VORTAN mesh model: element
// types and node orders, property sets from physical groups, fixity codes
// from the groups named by a fixity name ("fix x", "fixed" ...), coincident
// nodes merged, dense node numbers, counter-clockwise elements, and the
// elements' Jacobians, the model's limits and the file's columns checked
// before anything is written.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "mesh_model.h"
#include "source_mesh.h"

namespace vortan {

// What becomes of Gmsh's line elements.
enum class LineUse { None, Bars, Beams };

struct ImportOptions {
  int problem = 2;        // 1 Poisson, 2 elasticity, 3 beams and frames
  bool advanced = false;  // Advanced level (ndofn negative)
  LineUse lines = LineUse::None;
  std::map<int, std::vector<double>> props;  // set number -> components 1, 2, ...
  std::string title;
  double scale = 1;    // every coordinate multiplied by it (--scale)
  bool merge = true;   // coincident nodes merged (--no-merge keeps them apart)
};


struct ImportReport {
  std::string error;               // why the mesh was refused; empty when made
  std::vector<std::string> notes;  // what the user should know about the mesh made
};

// Builds the mesh model from the Gmsh mesh. On refusal the model is left
// empty and the report names what was found.
ImportReport import_mesh(const SourceMesh& src, const ImportOptions& opt, MeshModel& m);

}  // namespace vortan
