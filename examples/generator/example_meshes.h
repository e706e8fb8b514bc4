// The meshes of the bundled examples, with their Part B: a quarter plate
// with a hole at the origin, graded towards the hole, and a straight
// cantilever. Written through the same Part A and Part B writers as GRIDOR
// uses, so the files read back in GRIDOR.
#pragma once

#include <string>

#include "mesh_model.h"

namespace vortan {

// The quarter x, y >= 0 of a square plate 2w wide with a hole of radius a
// at its centre: `rings` layers of elements from the hole to the edges,
// each `grading` times as thick as the one inside it, and `sectors`
// elements around the quarter hole (even, so that the plate's corner is a
// node).
struct PlateGeometry {
  double a = 1.0;
  double w = 10.0;
  int rings = 10;
  int sectors = 16;
  double grading = 1.3;
};

// False, with the reason, when the geometry cannot be meshed within the
// limits of the model.
bool check_plate(const PlateGeometry& p, bool triangles, std::string& error);
// Fills the model: 8-noded quadrilaterals, or quadratic triangles (two to
// each quadrilateral) with `triangles`. Elasticity (ndofn 2): u fixed on
// x = 0 and v fixed on y = 0 for the symmetry, E 210000 and nu 0.3.
// Poisson (ndofn 1): the potential fixed on x = 0 and on x = w, AX = AY = 1.
void plate_mesh(const PlateGeometry& p, int ndofn, bool triangles, const std::string& title,
                MeshModel& m);
// Part B of the elasticity plate: the far-field stress s (tension
// positive) as a normal traction on every element edge of x = w.
std::string plate_part_b(const MeshModel& m, const PlateGeometry& p, double s);
// Part B of the Poisson plate: Dirichlet planes phi = 0 on x = 0 and
// phi = u w, the far-field potential, on x = w.
std::string flow_part_b(const MeshModel& m, const PlateGeometry& p, double u);

// A rectangle of `columns` x `rows` square 8-noded quadrilaterals of unit
// side, plane elasticity, beside the hole that the plate's solution
// assumes: its lower left corner at (2, 0), v fixed on y = 0 and u on
// x = 2; E 210000 and nu 0.3. Nodes are numbered row by row from the
// bottom, elements likewise.
constexpr double GRID_X0 = 2.0;
bool check_grid(int columns, int rows, std::string& error);
void grid_mesh(int columns, int rows, const std::string& title, MeshModel& m);
// Part B of the grid: the stress s (tension positive) as a normal traction
// on the right-hand edge.
std::string grid_part_b(const MeshModel& m, int columns, int rows, double s);

// A cantilever of `elements` linear bars along the x axis from 0 to l,
// clamped at x = 0; E 2.1e8, I 1.0e-4, A 0.01 (components 1, 2, 3).
void cantilever_mesh(double l, int elements, const std::string& title, MeshModel& m);
// Part B of the cantilever: the force p along y at its tip.
std::string cantilever_part_b(const MeshModel& m, double p);

}  // namespace vortan
