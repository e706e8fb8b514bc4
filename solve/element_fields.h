// What vortan-solve computes over an element itself: the shape functions
// and their derivatives of the area elements, the points where PLOTOR's
// contour plots read Gauss values, the stresses or flows there from the
// nodal values, and the consistent nodal forces of body forces and edge
// tractions.
#pragma once

#include <array>
#include <vector>

#include "mesh_model.h"

namespace vortan {

// Values and natural derivatives of the shape functions of an area element
// (key 33, 44, 63, 64 or 84) at (s, t), in the element's node order.
// Triangles use area coordinates s, t in 0..1; quadrilaterals -1..1; the
// thin quadrilateral is quadratic in s along its long sides 1-2-3 and
// 6-5-4, linear in t across.
void shape_functions(int key, double s, double t, double* n, double* ds, double* dt);

// The natural coordinates of the Gauss points PLOTOR reads, in its order:
// the centre of a linear triangle or quadrilateral; the midpoints of sides
// 1-3, 3-5, 5-1 of a quadratic triangle; s = -1/sqrt3 and +1/sqrt3 on the
// thin quadrilateral's mid-line t = 0; the 2 x 2 points of an 8-noded
// quadrilateral, nearest corner 1, then corner 4, corner 2, corner 3.
int plotor_points(int key, double (&s)[4], double (&t)[4]);

// World position and x, y derivatives of the shape functions of element e
// at (s, t); false when the Jacobian there is not positive (an element
// turned clockwise, folded or collapsed).
bool world_derivatives(const MeshModel& m, int e, double s, double t, double& x, double& y,
                       double* dx, double* dy);

// True when the Jacobian is positive at every point the element is
// integrated or read at.
bool element_shape_sound(const MeshModel& m, int e);

// The material a Gauss-point value is computed with.
struct Material {
  bool poisson = false;       // flows -(AX dU/dx, AY dU/dy) instead of stresses
  double a1 = 0.0, a2 = 0.0;  // E and nu; or AX and AY
  bool plane_strain = false;
};

// Per node (1..npoin, index 0 unused): three values, the d.o.f. of a node.
using NodeValues = std::vector<std::array<double, 3>>;

// The four values PLOTOR reads at (s, t) of element e from the nodal values
// u[n][0..1]: sigma-x, sigma-y, tau-xy, sigma-z (nu (sx + sy) in plane
// strain, 0 in plane stress), or the two flows from u[n][0] and two zeros.
void point_values(const MeshModel& m, int e, double s, double t, const Material& mat,
                  const NodeValues& u, double (&v)[4]);

// Consistent nodal forces of a body force (bx, by per unit volume) over
// element e of thickness th, added into f.
void add_body_force(const MeshModel& m, int e, double bx, double by, double th, NodeValues& f);

// The nodes along the side of element e whose end corners are n1 and n2 (in
// either order), in the element's anticlockwise order: 2 or 3 of them, 0
// when they do not form a side.
int side_nodes(const MeshModel& m, int e, int n1, int n2, int (&nodes)[3]);

// Consistent nodal forces of a traction along a side (nodes in the
// element's order, 2 or 3 of them) varying linearly from (pn0, pt0) at its
// first node to (pn1, pt1) at its last: the normal part pushes into the
// element when positive, the tangential part acts along the side in the
// element's anticlockwise sense. Thickness th. fx, fy per side node.
void side_traction(const MeshModel& m, const int (&nodes)[3], int count, double pn0, double pt0,
                   double pn1, double pt1, double th, double (&fx)[3], double (&fy)[3]);

}  // namespace vortan

