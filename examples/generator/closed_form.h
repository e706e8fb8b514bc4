// Closed-form solutions that the bundled examples are made from: Kirsch's
// plate with a circular hole, potential flow around a cylinder, and the
// end-loaded cantilever of beam theory.
#pragma once

namespace vortan::closed_form {

// An infinite plate in plane stress with a traction-free circular hole of
// radius a centred at the origin, pulled by a uniaxial stress s along x.
struct Kirsch {
  double a = 1.0;      // hole radius
  double s = 100.0;    // far-field stress, tension positive
  double e = 210000.0; // Young's modulus
  double nu = 0.3;     // Poisson's ratio
};
// Stresses sigma-x, sigma-y, tau-xy at (x, y); r > 0.
void kirsch_stress(const Kirsch& k, double x, double y, double& sx, double& sy, double& txy);
// Displacements at (x, y), zero at the origin's axes of symmetry (u = 0
// on x = 0, v = 0 on y = 0).
void kirsch_displacement(const Kirsch& k, double x, double y, double& u, double& v);

// Potential flow past a cylinder of radius a centred at the origin, the
// stream far away running along x at speed u: phi = u x (1 + a^2 / r^2).
// Harmonic, so it solves the Laplace equation with any equal permeabilities.
struct Cylinder {
  double a = 1.0;
  double u = 1.0;
};
double cylinder_potential(const Cylinder& c, double x, double y);
// The gradient of the potential.
void cylinder_gradient(const Cylinder& c, double x, double y, double& gx, double& gy);

// A cantilever clamped at x = 0 and loaded at its tip x = l by a transverse
// force p (positive along +y): Euler-Bernoulli deflection and rotation.
struct Cantilever {
  double l = 1.0;      // span
  double p = -1000.0;  // tip load
  double e = 210.0e6;  // Young's modulus
  double i = 1.0e-5;   // second moment of area
};
double cantilever_deflection(const Cantilever& c, double x);
// Rotation of the section, anticlockwise positive: the slope dv/dx.
double cantilever_rotation(const Cantilever& c, double x);

}  // namespace vortan::closed_form
