#include "vtk_output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <type_traits>

#include "element_orders.h"
#include "export_fields.h"

namespace vortan {

namespace {

// The code point of the UTF-8 sequence at s[i] and its length; 0 bytes
// when the bytes there are not valid UTF-8 (overlong, surrogate, cut).
int utf8_at(const std::string& s, size_t i, unsigned& cp) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned c = b(i);
  int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) return 0;
  cp = len == 1 ? c : c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  static const unsigned least[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < least[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

void put_utf8(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Characters XML 1.0 does not allow, and the C1 controls.
bool control(unsigned cp) {
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0xFFFE || cp == 0xFFFF;
}

std::string real(double v) {
  // ParaView's reader takes no "inf" or "nan": such a value is written as 0.
  if (!std::isfinite(v)) v = 0;
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

void grid_head(std::ostream& out) {
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<VTKFile type=\"UnstructuredGrid\" version=\"1.0\" byte_order=\"LittleEndian\">\n"
      << "  <UnstructuredGrid>\n";
}

void piece_head(std::ostream& out, size_t points, size_t cells) {
  out << "    <Piece NumberOfPoints=\"" << points << "\" NumberOfCells=\"" << cells << "\">\n";
}

void grid_tail(std::ostream& out) { out << "    </Piece>\n  </UnstructuredGrid>\n</VTKFile>\n"; }

// The set's title (a string array, as VTK keeps strings: the bytes and a
// closing 0) and its number, for the whole grid.
void field_data(std::ostream& out, const ExportSet& set, int step) {
  std::vector<int> bytes;
  for (unsigned char c : clean_text(set.title)) bytes.push_back(c);
  bytes.push_back(0);
  out << "    <FieldData>\n"
      << "      <Array type=\"String\" Name=\"title\" NumberOfTuples=\"1\" format=\"ascii\">\n";
  for (size_t i = 0; i < bytes.size(); ++i)
    out << (i % 20 == 0 ? "        " : " ") << bytes[i]
        << (i % 20 == 19 || i + 1 == bytes.size() ? "\n" : "");
  out << "      </Array>\n"
      << "      <DataArray type=\"Float64\" Name=\"TimeValue\" NumberOfTuples=\"1\" "
         "format=\"ascii\">\n"
      << "        " << step << "\n      </DataArray>\n"
      << "    </FieldData>\n";
}

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

// Stress components (and what follows from them) or flow rates, one row
// per point or cell.
void gauss_arrays(std::ostream& out, const MeshModel& m,
                  const std::vector<std::array<double, 4>>& rows) {
  const auto names = gauss_value_names(m.ndofn);
  for (size_t k = 0; k < names.size(); ++k) {
    std::vector<double> v;
    for (const auto& r : rows) v.push_back(r[k]);
    data_array(out, "Float64", names[k], 1, v);
  }
  if (names.size() == 2) {
    std::vector<double> flow, magnitude;
    for (const auto& r : rows) {
      flow.insert(flow.end(), {r[0], r[1], 0.0});
      magnitude.push_back(std::hypot(r[0], r[1]));
    }
    data_array(out, "Float64", "flow", 3, flow);
    data_array(out, "Float64", "flow_magnitude", 1, magnitude);
    return;
  }
  std::vector<double> major, minor, angle, mises;
  for (const auto& r : rows) {
    const Principal p = principal_stresses(r);
    major.push_back(p.major);
    minor.push_back(p.minor);
    angle.push_back(p.angle);
    mises.push_back(p.von_mises);
  }
  data_array(out, "Float64", "sigma_1", 1, major);
  data_array(out, "Float64", "sigma_3", 1, minor);
  data_array(out, "Float64", "principal_angle", 1, angle);
  data_array(out, "Float64", "von_mises", 1, mises);
}

void nodal_values(std::ostream& out, const MeshModel& m, const ExportSet& set) {
  for (const auto& c : used_nodal_columns(set.labels)) {
    std::vector<double> v;
    for (const auto& row : set.nodal) v.push_back(row[c.column]);
    data_array(out, "Float64", c.name, 1, v);
  }
  if (std::abs(m.ndofn) >= 2) {
    std::vector<double> d;
    for (const auto& row : set.nodal) d.insert(d.end(), {row[0], row[1], 0.0});
    data_array(out, "Float64", "displacement", 3, d);
  }
}

void mesh_point_data(std::ostream& out, const MeshModel& m) {
  std::vector<int> node, kode, ndof;
  for (int n = 1; n <= m.npoin; ++n) {
    node.push_back(n);
    kode.push_back(m.kode(n));
    ndof.push_back(m.ndof(n));
  }
  data_array(out, "Int32", "node", 1, node);
  data_array(out, "Int32", "fixity_code", 1, kode);
  data_array(out, "Int32", "ndof", 1, ndof);
  const auto flags = fixity_flag_names(m);
  for (size_t k = 0; k < flags.size(); ++k) {
    std::vector<int> v;
    for (int n = 1; n <= m.npoin; ++n) v.push_back(fixity_flag(m, n, static_cast<int>(k)));
    data_array(out, "UInt8", flags[k], 1, v);
  }
}

void part_b_point_data(std::ostream& out, const PartBData& b) {
  data_array(out, "Float64", "nodal_load", 3, b.load);
  data_array(out, "Float64", "specified_displacement", 3, b.fixed);
  data_array(out, "Int32", "boundary_set", 1, b.boundary_set);
  data_array(out, "Int32", "dirichlet_dof", 1, b.dirichlet_dof);
  data_array(out, "Float64", "dirichlet_value", 1, b.dirichlet_value);
}

void part_b_cell_data(std::ostream& out, const PartBData& b) {
  data_array(out, "Int32", "body_force_set", 1, b.body_force_set);
  data_array(out, "Float64", "body_force", 3, b.body_force);
  data_array(out, "Int32", "loaded_edges", 1, b.loaded_edges);
  data_array(out, "Int32", "traction_set", 1, b.traction_set);
}

}  // namespace

std::string clean_text(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    unsigned cp;
    int len = utf8_at(s, i, cp);
    if (len == 0) {  // not UTF-8: the byte as a Latin-1 character
      cp = static_cast<unsigned char>(s[i]);
      len = 1;
    }
    i += len;
    put_utf8(out, control(cp) ? ' ' : cp);
  }
  return out;
}

std::string xml_text(const std::string& s) {
  std::string out;
  for (char c : clean_text(s)) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

bool xml_names_exactly(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    unsigned cp;
    const int len = utf8_at(s, i, cp);
    if (len == 0 || control(cp)) return false;
    i += len;
  }
  return true;
}

std::string mesh_vtu(const MeshModel& m, const ExportSet* set, int step, const OldPartB* part_b) {
  std::ostringstream out;
  grid_head(out);
  if (set) field_data(out, *set, step);
  piece_head(out, m.npoin, m.nelem);
  std::vector<double> xyz;
  for (int n = 1; n <= m.npoin; ++n) xyz.insert(xyz.end(), {m.coord(n, 1), m.coord(n, 2), 0.0});
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
  const bool smoothed = set && !set->gauss.empty();
  const SmoothedValues sv = smoothed ? smooth_gauss_values(m, *set) : SmoothedValues{};
  out << "      <PointData>\n";
  mesh_point_data(out, m);
  if (set) nodal_values(out, m, *set);
  if (smoothed) gauss_arrays(out, m, sv.point);
  const PartBData pb = part_b ? part_b_data(m, *part_b) : PartBData{};
  if (part_b) part_b_point_data(out, pb);
  out << "      </PointData>\n      <CellData>\n";
  data_array(out, "Int32", "element", 1, element);
  data_array(out, "Int32", "property_set", 1, pset);
  data_array(out, "Int32", "material_type", 1, mtype);
  if (smoothed) gauss_arrays(out, m, sv.cell);
  if (part_b) part_b_cell_data(out, pb);
  out << "      </CellData>\n";
  grid_tail(out);
  return out.str();
}

std::string gauss_vtu(const MeshModel& m, const ExportSet& set, int step) {
  std::ostringstream out;
  const size_t n = set.gauss.size();
  grid_head(out);
  field_data(out, set, step);
  piece_head(out, n, n);
  std::vector<double> xyz;
  std::vector<int> connectivity, offsets, types, element, point, yield;
  std::vector<std::array<double, 4>> rows;
  for (size_t i = 0; i < n; ++i) {
    const GaussRecord& g = set.gauss[i];
    xyz.insert(xyz.end(), {g.x, g.y, 0.0});
    connectivity.push_back(static_cast<int>(i));
    offsets.push_back(static_cast<int>(i) + 1);
    types.push_back(1);  // VTK_VERTEX
    element.push_back(g.element);
    point.push_back(g.point);
    yield.push_back(g.yield);
    rows.push_back(g.values);
  }
  points(out, xyz);
  cells(out, connectivity, offsets, types);
  out << "      <PointData>\n";
  data_array(out, "Int32", "element", 1, element);
  data_array(out, "Int32", "gauss_point", 1, point);
  data_array(out, "Int32", "yield_code", 1, yield);
  gauss_arrays(out, m, rows);
  out << "      </PointData>\n";
  grid_tail(out);
  return out.str();
}

std::string pvd_text(const std::vector<PvdEntry>& entries) {
  std::ostringstream out;
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<VTKFile type=\"Collection\" version=\"1.0\" byte_order=\"LittleEndian\">\n"
      << "  <Collection>\n";
  for (const auto& e : entries)
    out << "    <DataSet timestep=\"" << e.timestep << "\" group=\"\" part=\"" << e.part
        << "\" name=\"" << xml_text(e.title) << "\" file=\"" << xml_text(e.file) << "\"/>\n";
  out << "  </Collection>\n</VTKFile>\n";
  return out.str();
}

}  // namespace vortan
