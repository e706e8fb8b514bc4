#include "element_fields.h"

#include <cmath>

#include "loads.h"

namespace vortan {

namespace {

const double G = 1.0 / std::sqrt(3.0);

void triangle(int key, double s, double t, double* n, double* ds, double* dt) {
  const double a = 1.0 - s - t;
  if (key == 33) {
    const double v[3] = {a, s, t}, vs[3] = {-1, 1, 0}, vt[3] = {-1, 0, 1};
    for (int k = 0; k < 3; ++k) n[k] = v[k], ds[k] = vs[k], dt[k] = vt[k];
    return;
  }
  const double v[6] = {a * (2 * a - 1), 4 * s * a, s * (2 * s - 1), 4 * s * t, t * (2 * t - 1),
                       4 * t * a};
  const double vs[6] = {1 - 4 * a, 4 * (a - s), 4 * s - 1, 4 * t, 0, -4 * t};
  const double vt[6] = {1 - 4 * a, -4 * s, 0, 4 * s, 4 * t - 1, 4 * (a - t)};
  for (int k = 0; k < 6; ++k) n[k] = v[k], ds[k] = vs[k], dt[k] = vt[k];
}

// The 8-noded (serendipity) quadrilateral; the 4-noded one is its corners
// with bilinear functions.
void quadrilateral(int key, double s, double t, double* n, double* ds, double* dt) {
  static const int cs[4] = {-1, 1, 1, -1}, ct[4] = {-1, -1, 1, 1};
  if (key == 44) {
    for (int k = 0; k < 4; ++k) {
      n[k] = 0.25 * (1 + s * cs[k]) * (1 + t * ct[k]);
      ds[k] = 0.25 * cs[k] * (1 + t * ct[k]);
      dt[k] = 0.25 * ct[k] * (1 + s * cs[k]);
    }
    return;
  }
  static const int ms[4] = {0, 1, 0, -1}, mt[4] = {-1, 0, 1, 0};
  for (int k = 0; k < 4; ++k) {
    const double si = cs[k], ti = ct[k];
    n[2 * k] = 0.25 * (1 + s * si) * (1 + t * ti) * (s * si + t * ti - 1);
    ds[2 * k] = 0.25 * si * (1 + t * ti) * (2 * s * si + t * ti);
    dt[2 * k] = 0.25 * ti * (1 + s * si) * (s * si + 2 * t * ti);
    const double mi = ms[k], ni = mt[k];
    if (mi == 0) {
      n[2 * k + 1] = 0.5 * (1 - s * s) * (1 + t * ni);
      ds[2 * k + 1] = -s * (1 + t * ni);
      dt[2 * k + 1] = 0.5 * ni * (1 - s * s);
    } else {
      n[2 * k + 1] = 0.5 * (1 + s * mi) * (1 - t * t);
      ds[2 * k + 1] = 0.5 * mi * (1 - t * t);
      dt[2 * k + 1] = -t * (1 + s * mi);
    }
  }
}

// Quadratic in s along the long sides 1-2-3 (t = -1) and 6-5-4 (t = +1).
void thin_quadrilateral(double s, double t, double* n, double* ds, double* dt) {
  const double l[3] = {-0.5 * s * (1 - s), 1 - s * s, 0.5 * s * (1 + s)};
  const double dl[3] = {s - 0.5, -2 * s, s + 0.5};
  const int bottom[3] = {0, 1, 2}, top[3] = {5, 4, 3};
  for (int k = 0; k < 3; ++k) {
    n[bottom[k]] = l[k] * 0.5 * (1 - t);
    ds[bottom[k]] = dl[k] * 0.5 * (1 - t);
    dt[bottom[k]] = -0.5 * l[k];
    n[top[k]] = l[k] * 0.5 * (1 + t);
    ds[top[k]] = dl[k] * 0.5 * (1 + t);
    dt[top[k]] = 0.5 * l[k];
  }
}

// Integration rules over an element: points and weights (reference area
// included). Triangles: six points, exact to degree 4; quadrilaterals 3 x 3.
int integration_points(int key, double (&s)[9], double (&t)[9], double (&w)[9]) {
  if (key == 33 || key == 63) {
    const double a = 0.445948490915965, b = 0.091576213509771;
    const double wa = 0.5 * 0.223381589678011, wb = 0.5 * 0.109951743655322;
    const double ps[6] = {a, 1 - 2 * a, a, b, 1 - 2 * b, b};
    const double pt[6] = {a, a, 1 - 2 * a, b, b, 1 - 2 * b};
    for (int k = 0; k < 6; ++k) s[k] = ps[k], t[k] = pt[k], w[k] = k < 3 ? wa : wb;
    return 6;
  }
  const double p[3] = {-std::sqrt(0.6), 0.0, std::sqrt(0.6)}, q[3] = {5.0 / 9, 8.0 / 9, 5.0 / 9};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) s[3 * i + j] = p[i], t[3 * i + j] = p[j], w[3 * i + j] = q[i] * q[j];
  return 9;
}

}  // namespace

void shape_functions(int key, double s, double t, double* n, double* ds, double* dt) {
  if (key == 33 || key == 63)
    triangle(key, s, t, n, ds, dt);
  else if (key == 64)
    thin_quadrilateral(s, t, n, ds, dt);
  else
    quadrilateral(key, s, t, n, ds, dt);
}

int plotor_points(int key, double (&s)[4], double (&t)[4]) {
  switch (key) {
    case 33: s[0] = t[0] = 1.0 / 3.0; return 1;
    case 44: s[0] = t[0] = 0.0; return 1;
    case 63:
      s[0] = 0.5, t[0] = 0.0, s[1] = 0.5, t[1] = 0.5, s[2] = 0.0, t[2] = 0.5;
      return 3;
    case 64: s[0] = -G, s[1] = G, t[0] = t[1] = 0.0; return 2;
    case 84:
      s[0] = -G, t[0] = -G, s[1] = -G, t[1] = G, s[2] = G, t[2] = -G, s[3] = G, t[3] = G;
      return 4;
    default: return 0;
  }
}

bool world_derivatives(const MeshModel& m, int e, double s, double t, double& x, double& y,
                       double* dx, double* dy) {
  const int key = element_key(m.nnode(e), m.nside(e)), nn = m.nnode(e);
  double n[MNODE], ns[MNODE], nt[MNODE];
  shape_functions(key, s, t, n, ns, nt);
  double xs = 0, xt = 0, ys = 0, yt = 0;
  x = y = 0;
  for (int k = 0; k < nn; ++k) {
    const double px = m.coord(m.lnods(e, k + 1), 1), py = m.coord(m.lnods(e, k + 1), 2);
    x += n[k] * px, y += n[k] * py;
    xs += ns[k] * px, xt += nt[k] * px, ys += ns[k] * py, yt += nt[k] * py;
  }
  const double det = xs * yt - xt * ys;
  if (!(det > 0.0)) return false;
  for (int k = 0; k < nn; ++k) {
    dx[k] = (yt * ns[k] - ys * nt[k]) / det;
    dy[k] = (xs * nt[k] - xt * ns[k]) / det;
  }
  return true;
}

bool element_shape_sound(const MeshModel& m, int e) {
  const int key = element_key(m.nnode(e), m.nside(e));
  double s[9], t[9], w[9], x, y, dx[MNODE], dy[MNODE];
  const int np = integration_points(key, s, t, w);
  for (int k = 0; k < np; ++k)
    if (!world_derivatives(m, e, s[k], t[k], x, y, dx, dy)) return false;
  double ps[4], pt[4];
  const int ng = plotor_points(key, ps, pt);
  for (int k = 0; k < ng; ++k)
    if (!world_derivatives(m, e, ps[k], pt[k], x, y, dx, dy)) return false;
  return true;
}

void stress_from_gradients(const Material& mat, double ux, double uy, double vx, double vy,
                           double (&v)[4]) {
  if (mat.poisson) {
    v[0] = -mat.a1 * ux, v[1] = -mat.a2 * uy, v[2] = v[3] = 0.0;
    return;
  }
  const double e = mat.a1, nu = mat.a2, shear = e / (2 * (1 + nu)) * (uy + vx);
  if (mat.plane_strain) {
    const double c = e / ((1 + nu) * (1 - 2 * nu));
    v[0] = c * ((1 - nu) * ux + nu * vy);
    v[1] = c * (nu * ux + (1 - nu) * vy);
    v[3] = nu * (v[0] + v[1]);
  } else {
    const double c = e / (1 - nu * nu);
    v[0] = c * (ux + nu * vy);
    v[1] = c * (vy + nu * ux);
    v[3] = 0.0;
  }
  v[2] = shear;
}

void point_values(const MeshModel& m, int e, double s, double t, const Material& mat,
                  const NodeValues& u, double (&v)[4]) {
  double x, y, dx[MNODE] = {}, dy[MNODE] = {};
  world_derivatives(m, e, s, t, x, y, dx, dy);
  double ux = 0, uy = 0, vx = 0, vy = 0;
  for (int k = 1; k <= m.nnode(e); ++k) {
    const auto& a = u[m.lnods(e, k)];
    ux += dx[k - 1] * a[0], uy += dy[k - 1] * a[0];
    vx += dx[k - 1] * a[1], vy += dy[k - 1] * a[1];
  }
  stress_from_gradients(mat, ux, uy, vx, vy, v);
}

void add_body_force(const MeshModel& m, int e, double bx, double by, double th, NodeValues& f) {
  const int key = element_key(m.nnode(e), m.nside(e)), nn = m.nnode(e);
  double s[9], t[9], w[9], n[MNODE], ns[MNODE], nt[MNODE];
  const int np = integration_points(key, s, t, w);
  for (int p = 0; p < np; ++p) {
    shape_functions(key, s[p], t[p], n, ns, nt);
    double xs = 0, xt = 0, ys = 0, yt = 0;
    for (int k = 0; k < nn; ++k) {
      const double px = m.coord(m.lnods(e, k + 1), 1), py = m.coord(m.lnods(e, k + 1), 2);
      xs += ns[k] * px, xt += nt[k] * px, ys += ns[k] * py, yt += nt[k] * py;
    }
    const double da = (xs * yt - xt * ys) * w[p] * th;
    for (int k = 0; k < nn; ++k) {
      f[m.lnods(e, k + 1)][0] += n[k] * bx * da;
      f[m.lnods(e, k + 1)][1] += n[k] * by * da;
    }
  }
}

int side_nodes(const MeshModel& m, int e, int n1, int n2, int (&nodes)[3]) {
  const int count = edge_node_count(m, e, n1, n2), nn = m.nnode(e);
  if (count != 2 && count != 3) return 0;
  int p1 = 0, p2 = 0;
  for (int k = 1; k <= nn; ++k) {
    if (m.lnods(e, k) == n1) p1 = k;
    if (m.lnods(e, k) == n2) p2 = k;
  }
  const int step = count - 1;
  int first = (p1 - 1 + step) % nn + 1 == p2 ? p1 : p2;  // the side runs anticlockwise from it
  for (int k = 0; k < count; ++k) nodes[k] = m.lnods(e, (first - 1 + k) % nn + 1);
  return count;
}

void side_traction(const MeshModel& m, const int (&nodes)[3], int count, double pn0, double pt0,
                   double pn1, double pt1, double th, double (&fx)[3], double (&fy)[3]) {
  const double p[3] = {-std::sqrt(0.6), 0.0, std::sqrt(0.6)}, q[3] = {5.0 / 9, 8.0 / 9, 5.0 / 9};
  for (int k = 0; k < 3; ++k) fx[k] = fy[k] = 0.0;
  for (int g = 0; g < 3; ++g) {
    const double r = p[g];
    double n[3], dn[3];
    if (count == 2) {
      n[0] = 0.5 * (1 - r), n[1] = 0.5 * (1 + r), dn[0] = -0.5, dn[1] = 0.5;
    } else {
      n[0] = -0.5 * r * (1 - r), n[1] = 1 - r * r, n[2] = 0.5 * r * (1 + r);
      dn[0] = r - 0.5, dn[1] = -2 * r, dn[2] = r + 0.5;
    }
    double xr = 0, yr = 0;
    for (int k = 0; k < count; ++k) {
      xr += dn[k] * m.coord(nodes[k], 1);
      yr += dn[k] * m.coord(nodes[k], 2);
    }
    // Along the side (xr, yr); into an anticlockwise element (-yr, xr). Both
    // carry the length factor of the integral.
    const double a = 0.5 * (1 + r);
    const double pn = (1 - a) * pn0 + a * pn1, pt = (1 - a) * pt0 + a * pt1;
    const double tx = pn * -yr + pt * xr, ty = pn * xr + pt * yr;
    for (int k = 0; k < count; ++k) {
      fx[k] += q[g] * n[k] * tx * th;
      fy[k] += q[g] * n[k] * ty * th;
    }
  }
}

}  // namespace vortan
