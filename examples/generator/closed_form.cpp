#include "closed_form.h"

#include <cmath>

namespace vortan::closed_form {

// The Cartesian form of Kirsch's stresses, with theta measured from the
// load axis.
void kirsch_stress(const Kirsch& k, double x, double y, double& sx, double& sy, double& txy) {
  const double r2 = x * x + y * y, th = std::atan2(y, x);
  const double q2 = k.a * k.a / r2, q4 = q2 * q2;
  const double c2 = std::cos(2 * th), c4 = std::cos(4 * th);
  const double s2 = std::sin(2 * th), s4 = std::sin(4 * th);
  sx = k.s * (1.0 - q2 * (1.5 * c2 + c4) + 1.5 * q4 * c4);
  sy = k.s * (-q2 * (0.5 * c2 - c4) - 1.5 * q4 * c4);
  txy = k.s * (-q2 * (0.5 * s2 + s4) + 1.5 * q4 * s4);
}

// Plane stress: kappa = (3 - nu) / (1 + nu), shear modulus mu. The angles
// come from x / r and y / r, so the symmetry planes x = 0 and y = 0 do not
// move across themselves by rounding.
void kirsch_displacement(const Kirsch& k, double x, double y, double& u, double& v) {
  const double r = std::hypot(x, y), c = x / r, s = y / r;
  const double c3 = 4 * c * c * c - 3 * c, s3 = 3 * s - 4 * s * s * s;
  const double kappa = (3.0 - k.nu) / (1.0 + k.nu);
  const double mu = k.e / (2.0 * (1.0 + k.nu));
  const double f = k.s * k.a / (8.0 * mu), ra = r / k.a, ar = k.a / r, ar3 = ar * ar * ar;
  u = f * (ra * (kappa + 1.0) * c + 2.0 * ar * ((1.0 + kappa) * c + c3) - 2.0 * ar3 * c3);
  v = f * (ra * (kappa - 3.0) * s + 2.0 * ar * ((1.0 - kappa) * s + s3) - 2.0 * ar3 * s3);
}

double cylinder_potential(const Cylinder& c, double x, double y) {
  return c.u * x * (1.0 + c.a * c.a / (x * x + y * y));
}

void cylinder_gradient(const Cylinder& c, double x, double y, double& gx, double& gy) {
  const double r2 = x * x + y * y, a2 = c.a * c.a;
  gx = c.u * (1.0 + a2 * (y * y - x * x) / (r2 * r2));
  gy = c.u * (-2.0 * a2 * x * y / (r2 * r2));
}

double cantilever_deflection(const Cantilever& c, double x) {
  return c.p * x * x * (3.0 * c.l - x) / (6.0 * c.e * c.i);
}

double cantilever_rotation(const Cantilever& c, double x) {
  return c.p * x * (2.0 * c.l - x) / (2.0 * c.e * c.i);
}

}  // namespace vortan::closed_form
