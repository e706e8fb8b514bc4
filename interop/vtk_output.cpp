#include "vtk_output.h"

#include <cstdio>
#include <cstdlib>
#include <type_traits>

#include "element_orders.h"

namespace vortan {

namespace {

std::string xml_text(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string real(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

// One DataArray of `ncomp` components, its values written six to a line.
template <class T>
void data_array(std::ostream& out, const char* type, const std::string& name, int ncomp,
                const std::vector<T>& values) {
  out << "        <DataArray type=\"" << type << "\" Name=\"" << xml_text(name) << "\"";
  if (ncomp > 1) out << " NumberOfComponents=\"" << ncomp << "\"";
  out << " format=\"ascii\">\n";
  for (size_t i = 0; i < values.size(); ++i) {
    if (i % 6 == 0) out << "          ";
    if constexpr (std::is_floating_point_v<T>)
      out << real(values[i]);
    else
      out << values[i];
    out << (i % 6 == 5 || i + 1 == values.size() ? "\n" : " ");
  }
  out << "        </DataArray>\n";
}

void grid_head(std::ostream& out, size_t points, size_t cells) {
  out << "<?xml version=\"1.0\"?>\n"
      << "<VTKFile type=\"UnstructuredGrid\" version=\"1.0\" byte_order=\"LittleEndian\">\n"
      << "  <UnstructuredGrid>\n"
      << "    <Piece NumberOfPoints=\"" << points << "\" NumberOfCells=\"" << cells << "\">\n";
}

void grid_tail(std::ostream& out) { out << "    </Piece>\n  </UnstructuredGrid>\n</VTKFile>\n"; }

void points(std::ostream& out, const std::vector<double>& xyz) {
  out << "      <Points>\n";
  data_array(out, "Float64", "Points", 3, xyz);
  out << "      </Points>\n";
}

void cells(std::ostream& out, const std::vector<int>& connectivity, const std::vector<int>& offsets,
           const std::vector<int>& types) {
  out << "      <Cells>\n";
  data_array(out, "Int32", "connectivity", 1, connectivity);
  data_array(out, "Int32", "offsets", 1, offsets);
  data_array(out, "UInt8", "types", 1, types);
  out << "      </Cells>\n";
}

void nodal_values(std::ostream& out, const MeshModel& m, const ExportSet& set) {
  const auto names = nodal_value_names(set.labels);
  for (int k = 0; k < 4; ++k) {
    std::vector<double> v;
    for (const auto& row : set.nodal) v.push_back(row[k]);
    data_array(out, "Float64", names[k], 1, v);
  }
  if (std::abs(m.ndofn) >= 2) {
    std::vector<double> d;
    for (const auto& row : set.nodal) d.insert(d.end(), {row[0], row[1], 0.0});
    data_array(out, "Float64", "displacement", 3, d);
  }
}

}  // namespace

void write_mesh_vtu(std::ostream& out, const MeshModel& m, const ExportSet* set) {
  grid_head(out, m.npoin, m.nelem);
  std::vector<double> xyz;
  std::vector<int> node, kode, ndof;
  for (int n = 1; n <= m.npoin; ++n) {
    xyz.insert(xyz.end(), {m.coord(n, 1), m.coord(n, 2), 0.0});
    node.push_back(n);
    kode.push_back(m.kode(n));
    ndof.push_back(m.ndof(n));
  }
  points(out, xyz);
  std::vector<int> connectivity, offsets, types, element, pset, mtype;
  for (int e = 1; e <= m.nelem; ++e) {
    for (int n : corners_first(m, e)) connectivity.push_back(n - 1);
    offsets.push_back(static_cast<int>(connectivity.size()));
    types.push_back(vtk_cell_type(m, e));
    element.push_back(e);
    pset.push_back(m.matset(e));
    mtype.push_back(m.mattyp(e));
  }
  cells(out, connectivity, offsets, types);
  out << "      <PointData>\n";
  data_array(out, "Int32", "node", 1, node);
  data_array(out, "Int32", "fixity_code", 1, kode);
  data_array(out, "Int32", "ndof", 1, ndof);
  if (set) nodal_values(out, m, *set);
  out << "      </PointData>\n      <CellData>\n";
  data_array(out, "Int32", "element", 1, element);
  data_array(out, "Int32", "property_set", 1, pset);
  data_array(out, "Int32", "material_type", 1, mtype);
  out << "      </CellData>\n";
  grid_tail(out);
}

void write_gauss_vtu(std::ostream& out, const MeshModel& m, const ExportSet& set) {
  const size_t n = set.gauss.size();
  grid_head(out, n, n);
  std::vector<double> xyz;
  std::vector<int> connectivity, offsets, types, element, point, yield;
  for (size_t i = 0; i < n; ++i) {
    const GaussRecord& g = set.gauss[i];
    xyz.insert(xyz.end(), {g.x, g.y, 0.0});
    connectivity.push_back(static_cast<int>(i));
    offsets.push_back(static_cast<int>(i) + 1);
    types.push_back(1);  // VTK_VERTEX
    element.push_back(g.element);
    point.push_back(g.point);
    yield.push_back(g.yield);
  }
  points(out, xyz);
  cells(out, connectivity, offsets, types);
  out << "      <PointData>\n";
  data_array(out, "Int32", "element", 1, element);
  data_array(out, "Int32", "gauss_point", 1, point);
  data_array(out, "Int32", "yield_code", 1, yield);
  const auto names = gauss_value_names(m.ndofn);
  for (size_t k = 0; k < names.size(); ++k) {
    std::vector<double> v;
    for (const auto& g : set.gauss) v.push_back(g.values[k]);
    data_array(out, "Float64", names[k], 1, v);
  }
  if (std::abs(m.ndofn) < 2) {
    std::vector<double> flow;
    for (const auto& g : set.gauss) flow.insert(flow.end(), {g.values[0], g.values[1], 0.0});
    data_array(out, "Float64", "flow", 3, flow);
  }
  out << "      </PointData>\n";
  grid_tail(out);
}

void write_pvd(std::ostream& out, const std::vector<PvdEntry>& entries) {
  out << "<?xml version=\"1.0\"?>\n"
      << "<VTKFile type=\"Collection\" version=\"1.0\" byte_order=\"LittleEndian\">\n"
      << "  <Collection>\n";
  for (const auto& e : entries)
    out << "    <DataSet timestep=\"" << e.timestep << "\" group=\"\" part=\"" << e.part
        << "\" file=\"" << xml_text(e.file) << "\"/>\n";
  out << "  </Collection>\n</VTKFile>\n";
}

}  // namespace vortan
