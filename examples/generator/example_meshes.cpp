#include "example_meshes.h"

#include <cmath>
#include <memory>
#include <sstream>
#include <vector>

#include "boundaries.h"
#include "dat_file.h"
#include "loads.h"
#include "part_b_sequence.h"

namespace vortan {

namespace {

// The grid of the plate: index i = 0 .. 2 rings outwards from the hole,
// j = 0 .. 2 sectors anticlockwise from the x axis; odd indices are
// midside positions.
struct PlateGrid {
  const PlateGeometry& p;
  bool triangles;
  int ni() const { return 2 * p.rings; }
  int nj() const { return 2 * p.sectors; }
  // The 8-noded quadrilaterals have no node at their centres (i and j odd).
  bool has_node(int i, int j) const { return triangles || i % 2 == 0 || j % 2 == 0; }
  // Nodes numbered outwards along each ray, ray after ray.
  int node(int i, int j) const {
    if (triangles) return j * (ni() + 1) + i + 1;
    const int pair = (ni() + 1) + (p.rings + 1);
    return (j / 2) * pair + (j % 2 == 0 ? i : (ni() + 1) + i / 2) + 1;
  }
  int nodes() const { return triangles ? (ni() + 1) * (nj() + 1) : node(ni(), nj()); }
};

// Share of the way from the hole to the edge of ring boundary k.
double ring(const PlateGeometry& p, int k) {
  if (p.grading == 1.0) return static_cast<double>(k) / p.rings;
  return (std::pow(p.grading, k) - 1.0) / (std::pow(p.grading, p.rings) - 1.0);
}

// Grid point (i, j): on the straight line from the hole's edge to the
// plate's edge at the same share t of their lengths; midside points halfway.
void grid_point(const PlateGrid& g, int i, int j, double& x, double& y) {
  const PlateGeometry& p = g.p;
  const double f = i % 2 == 0 ? ring(p, i / 2) : 0.5 * (ring(p, i / 2) + ring(p, i / 2 + 1));
  const double t = static_cast<double>(j) / g.nj();
  const double angle = 2.0 * std::atan(1.0) * t;
  const double hx = p.a * std::cos(angle), hy = p.a * std::sin(angle);
  const double ox = t <= 0.5 ? p.w : p.w * (2.0 - 2.0 * t), oy = t <= 0.5 ? 2.0 * p.w * t : p.w;
  x = (1.0 - f) * hx + f * ox;
  y = (1.0 - f) * hy + f * oy;
}

// Fixity code of a grid node: elasticity symmetry planes, or the Poisson
// potential's fixed edges.
int grid_kode(const PlateGrid& g, int ndofn, int i, int j) {
  if (ndofn == 2) return j == 0 ? 1 : j == g.nj() ? 10 : 0;
  return (j == g.nj() || (i == g.ni() && 2 * j <= g.nj())) ? 1 : 0;
}

void add_element(MeshModel& m, int nside, const int* nodes, int count) {
  const int e = ++m.nelem;
  m.nside(e) = nside;
  m.nnode(e) = count;
  m.mattyp(e) = 1;
  m.matset(e) = 1;
  for (int k = 0; k < count; ++k) m.lnods(e, k + 1) = nodes[k];
}

// The elements of the cell between grid corners (2r, 2s) and (2r+2, 2s+2),
// anticlockwise from the corner nearest the hole's start.
void cell_elements(const PlateGrid& g, int r, int s, MeshModel& m) {
  const int i = 2 * r, j = 2 * s;
  auto n = [&](int di, int dj) { return g.node(i + di, j + dj); };
  if (!g.triangles) {
    const int q[8] = {n(0, 0), n(1, 0), n(2, 0), n(2, 1), n(2, 2), n(1, 2), n(0, 2), n(0, 1)};
    add_element(m, 4, q, 8);
    return;
  }
  const int t1[6] = {n(0, 0), n(1, 0), n(2, 0), n(2, 1), n(2, 2), n(1, 1)};
  const int t2[6] = {n(0, 0), n(1, 1), n(2, 2), n(1, 2), n(0, 2), n(0, 1)};
  add_element(m, 3, t1, 6);
  add_element(m, 3, t2, 6);
}

void start_model(MeshModel& m, int ndofn, const std::string& title) {
  clear_mesh(m);
  m.ndofn = ndofn;
  m.npros = 1;
  m.title = title.substr(0, 80);
  m.title.resize(80, ' ');
}

// Part B is written through GRIDOR's own writers; their .prt copy and
// text-window echo are not wanted here.
struct Discard : std::ostream {
  Discard() : std::ostream(nullptr) {}
};

// The increment and timestep blocks, with their default values.
void write_control(std::ostream& out, const MeshModel& m, std::ostream& prt) {
  AnalysisControl control;
  INCREMENTS(m.ndofn, control, out, prt);
  TIMESTEPPING(m.ndofn, control, out, prt);
}

// The end of Part B after the loads: no boundary sets, then the control
// blocks.
void write_plain_ending(std::ostream& out, const MeshModel& m, std::ostream& prt) {
  auto bounds = std::make_unique<BoundaryTables>();
  clear_boundaries(*bounds);
  write_boundary_sets(out, m, *bounds);
  write_control(out, m, prt);
}

// Part B of an elasticity example: the stress s (tension positive) as a
// normal traction on side 2 (nodes 3-4-5) of each of the elements listed.
std::string traction_part_b(const MeshModel& m, const std::vector<int>& elements, double s) {
  std::ostringstream out;
  Discard prt;
  OUTPUT(out, m);
  auto loads = std::make_unique<LoadTables>();
  clear_loads(*loads);
  loads->npset = 1;
  loads->trac[1][1] = -s;  // tractions count compression positive
  write_loads_section(out, m, *loads);
  start_edge_list(out, prt);
  for (int e : elements) write_edge(out, prt, 3, e, m.lnods(e, 3), 1, m.lnods(e, 5), 1);
  out << "1\n";
  write_plain_ending(out, m, prt);
  return out.str();
}

}  // namespace

bool check_plate(const PlateGeometry& p, bool triangles, std::string& error) {
  if (!(p.a > 0.0) || !(p.w > p.a) || p.w > 9999.0) {
    error = "the hole radius must be above 0 and below the half-width, at most 9999";
  } else if (p.rings < 1 || p.sectors < 2 || p.sectors % 2 != 0) {
    error = "rings must be 1 or more and sectors an even number, 2 or more";
  } else if (!(p.grading > 0.0)) {
    error = "the grading must be above 0";
  } else {
    const long nodes = (2L * p.rings + 1) * (2L * p.sectors + 1);
    const long elements = static_cast<long>(p.rings) * p.sectors * (triangles ? 2 : 1);
    if (nodes <= MPOIN && elements <= MELEM) return true;
    error = "the mesh would pass the limits of " + std::to_string(MPOIN) + " nodes and " +
            std::to_string(MELEM) + " elements";
  }
  return false;
}

void plate_mesh(const PlateGeometry& p, int ndofn, bool triangles, const std::string& title,
                MeshModel& m) {
  start_model(m, ndofn, title);
  const PlateGrid g{p, triangles};
  m.npoin = g.nodes();
  for (int j = 0; j <= g.nj(); ++j)
    for (int i = 0; i <= g.ni(); ++i) {
      if (!g.has_node(i, j)) continue;
      const int n = g.node(i, j);
      grid_point(g, i, j, m.coord(n, 1), m.coord(n, 2));
      m.kode(n) = grid_kode(g, ndofn, i, j);
      m.ndof(n) = ndofn;
    }
  for (int s = 0; s < p.sectors; ++s)
    for (int r = 0; r < p.rings; ++r) cell_elements(g, r, s, m);
  if (ndofn == 2) {
    m.props(1, 1) = 210000.0;
    m.props(1, 2) = 0.3;
    m.props(1, 3) = 1.0;
  } else {
    m.props(1, 1) = m.props(1, 2) = 1.0;
  }
}

std::string plate_part_b(const MeshModel& m, const PlateGeometry& p, double s) {
  // The outermost ring's cells on x = w.
  std::vector<int> edge;
  for (int sec = 0; 2 * sec < p.sectors; ++sec) edge.push_back(sec * p.rings + p.rings);
  return traction_part_b(m, edge, s);
}

std::string flow_part_b(const MeshModel& m, const PlateGeometry& p, double u) {
  std::ostringstream out;
  Discard prt;
  OUTPUT(out, m);
  auto bounds = std::make_unique<BoundaryTables>();
  clear_boundaries(*bounds);
  bounds->nbdir = 2;
  write_boundary_sets(out, m, *bounds);
  start_dirichlet(out, prt);
  write_dirichlet(out, prt, 'x', 0.0, 0.0, 1);
  write_dirichlet(out, prt, 'x', p.w, u * p.w, 1);
  end_dirichlet(out);
  write_control(out, m, prt);
  return out.str();
}

namespace {

// Node of grid point (i, j), i = 0 .. 2 columns along x, j = 0 .. 2 rows
// along y; odd indices are midside positions, and no node stands where
// both are odd. Each pair of rows holds 2 columns + 1 nodes, then
// columns + 1.
int grid_node(int columns, int i, int j) {
  const int pair = j / 2 * (3 * columns + 2);
  return pair + (j % 2 == 0 ? i : 2 * columns + 1 + i / 2) + 1;
}

}  // namespace

bool check_grid(int columns, int rows, std::string& error) {
  // Coordinates up to 9999.99999 keep their decimals in the .dat file.
  if (columns < 1 || rows < 1 || columns > 9997 || rows > 9997) {
    error = "a grid needs 1 to 9997 columns and rows";
    return false;
  }
  const long nodes = (2L * columns + 1) * (2L * rows + 1) - static_cast<long>(columns) * rows;
  if (nodes <= MPOIN && static_cast<long>(columns) * rows <= MELEM) return true;
  error = "the grid would pass the limits of " + std::to_string(MPOIN) + " nodes and " +
          std::to_string(MELEM) + " elements";
  return false;
}

void grid_mesh(int columns, int rows, const std::string& title, MeshModel& m) {
  start_model(m, 2, title);
  for (int j = 0; j <= 2 * rows; ++j)
    for (int i = 0; i <= 2 * columns; ++i) {
      if (i % 2 == 1 && j % 2 == 1) continue;
      const int n = grid_node(columns, i, j);
      m.coord(n, 1) = GRID_X0 + 0.5 * i;
      m.coord(n, 2) = 0.5 * j;
      m.kode(n) = (i == 0 ? 10 : 0) + (j == 0 ? 1 : 0);
      m.ndof(n) = 2;
      m.npoin = std::max(m.npoin, n);
    }
  for (int b = 0; b < rows; ++b)
    for (int a = 0; a < columns; ++a) {
      const int i = 2 * a, j = 2 * b;
      auto n = [&](int di, int dj) { return grid_node(columns, i + di, j + dj); };
      const int q[8] = {n(0, 0), n(1, 0), n(2, 0), n(2, 1), n(2, 2), n(1, 2), n(0, 2), n(0, 1)};
      add_element(m, 4, q, 8);
    }
  m.props(1, 1) = 210000.0;
  m.props(1, 2) = 0.3;
  m.props(1, 3) = 1.0;
}

std::string grid_part_b(const MeshModel& m, int columns, int rows, double s) {
  // The last cell of each row.
  std::vector<int> edge;
  for (int b = 1; b <= rows; ++b) edge.push_back(b * columns);
  return traction_part_b(m, edge, s);
}

void cantilever_mesh(double l, int elements, const std::string& title, MeshModel& m) {
  start_model(m, 3, title);
  m.npoin = elements + 1;
  for (int n = 1; n <= m.npoin; ++n) {
    m.coord(n, 1) = l * (n - 1) / elements;
    m.ndof(n) = 3;
  }
  m.kode(1) = 111;
  for (int e = 1; e <= elements; ++e) {
    const int ends[2] = {e, e + 1};
    add_element(m, 1, ends, 2);
  }
  m.props(1, 1) = 2.1e8;
  m.props(1, 2) = 1.0e-4;
  m.props(1, 3) = 0.01;
}

std::string cantilever_part_b(const MeshModel& m, double p) {
  std::ostringstream out;
  Discard prt;
  OUTPUT(out, m);
  auto loads = std::make_unique<LoadTables>();
  clear_loads(*loads);
  loads->ltype(m.npoin) = 1;
  loads->lval(m.npoin, 2) = p;
  write_loads_section(out, m, *loads);
  write_plain_ending(out, m, prt);
  return out.str();
}

}  // namespace vortan
