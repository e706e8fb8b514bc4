// What vortan-export writes out, read with the project's own readers: the
// mesh of a .dat file, or the mesh and every result set of a .out file,
// each set copied into plain tables. Also the names the exported values go
// by, shared by the VTK and the Gmsh files.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "mesh_model.h"

namespace vortan {

struct GaussRecord {
  int element = 0, point = 0;  // 0 when the file repeats the element's point
  int yield = 0;
  double x = 0, y = 0;
  std::array<double, 4> values{};
};

struct ExportSet {
  std::string title;
  std::array<std::string, 4> labels;         // the four d.o.f. labels as read
  std::vector<std::array<double, 4>> nodal;  // row n-1 holds node n
  bool has_gauss = false;
  std::vector<GaussRecord> gauss;
};

struct OldPartB;

struct ExportData {
  std::unique_ptr<MeshModel> mesh = std::make_unique<MeshModel>();
  bool mesh_read = false;  // the mesh read whole
  bool results = false;    // a .out file: the sets below
  std::vector<ExportSet> sets;
  // The loads and boundaries of a .dat file; null when it has none.
  std::shared_ptr<OldPartB> part_b;
};

// Reads a .dat file (mesh only) or a .out file (mesh and result sets) by
// its extension, and notes it as an input of the run. False with `error`
// set when the mesh does not read or no result set reads whole; true with
// `error` set when a later set does not read whole (the sets before it are
// kept). The readers' own messages go to the text window.
bool read_for_export(const std::string& path, ExportData& data, std::string& error);
// The same from a stream, for data.results already set; false with `error`
// set when anything did not read whole (data.sets keeps the sets read; a
// .dat's mesh is kept when its Part B does not read).
bool read_export_stream(std::istream& in, ExportData& data, std::string& error);

// The names of the Gauss-point values that the problem uses: stresses for
// elasticity and beams, flow rates for Poisson problems.
std::vector<std::string> gauss_value_names(int ndofn);

}  // namespace vortan
