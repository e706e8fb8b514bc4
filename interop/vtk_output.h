// VTK XML files, which ParaView opens: the mesh as an unstructured grid
// (.vtu) with its nodal values and its Gauss-point values smoothed to the
// cells and the nodes, the Gauss points of a result set as a grid of
// vertices of their own, and a collection (.pvd) of result sets.
#pragma once

#include <string>
#include <vector>

#include "export_data.h"

namespace vortan {

struct OldPartB;

struct OldPartB;

// Text as XML takes it in an attribute or between tags: valid UTF-8 (bytes
// that are not are taken as Latin-1), control characters as blanks, and
// & < > " ' escaped.
std::string xml_text(const std::string& s);
// The same without the escapes: valid UTF-8, control characters as blanks.
std::string clean_text(const std::string& s);
// True when a name is valid UTF-8 without control characters, so that an
// XML file can name it exactly.
bool xml_names_exactly(const std::string& s);

// The mesh, with cell data "element", "property_set", "material_type" and
// point data "node", "fixity_code", "ndof" and one fixity flag per d.o.f.
// With a result set (number `step`), also its used nodal values by their
// labels (and the "displacement" vector for elasticity and beams), its
// Gauss values averaged over each cell and smoothed to the nodes, with
// principal stresses, their angle and von Mises, or the flow and its
// magnitude, and the set's title and number as field data. With a .dat's
// Part B, its loads and boundaries as data: point vectors "nodal_load" and
// "specified_displacement", point data "boundary_set", "dirichlet_dof" and
// "dirichlet_value", cell data "body_force_set", "body_force",
// "loaded_edges" and "traction_set" (the set at its first loaded edge).
std::string mesh_vtu(const MeshModel& m, const ExportSet* set, int step,
                     const OldPartB* part_b = nullptr);

// The Gauss points of a result set as vertices, with point data "element",
// "gauss_point", "yield_code", the values and what follows from them.
std::string gauss_vtu(const MeshModel& m, const ExportSet& set, int step);

struct PvdEntry {
  int timestep = 0;   // the result set's number
  int part = 0;       // 0 the mesh and nodal values, 1 the Gauss points
  std::string file;   // relative to the .pvd file
  std::string title;  // the result set's title
};

std::string pvd_text(const std::vector<PvdEntry>& entries);

}  // namespace vortan
