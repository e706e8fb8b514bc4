#include "gauss_points.h"

#include <cmath>

namespace vortan {

namespace {

// The point of the element at local (s, t) through the shape functions.
void map_point(const MeshModel& m, int e, int key, double s, double t, double& x, double& y) {
  double n[MNODE] = {};
  SHAPE(s, t, key, n);
  x = y = 0.0;
  for (int k = 1; k <= m.nnode(e); ++k) {
    x += n[k - 1] * m.coord(m.lnods(e, k), 1);
    y += n[k - 1] * m.coord(m.lnods(e, k), 2);
  }
}

// The thin quadrilateral's point at s halfway across: the mean of its two
// quadratic long sides, 1-2-3 and 6-5-4.
void thin_point(const MeshModel& m, int e, double s, double& x, double& y) {
  double n[3];
  SHAPE(s, 0.0, 31, n);
  const int bottom[3] = {1, 2, 3}, top[3] = {6, 5, 4};
  x = y = 0.0;
  for (int k = 0; k < 3; ++k) {
    x += 0.5 * n[k] * (m.coord(m.lnods(e, bottom[k]), 1) + m.coord(m.lnods(e, top[k]), 1));
    y += 0.5 * n[k] * (m.coord(m.lnods(e, bottom[k]), 2) + m.coord(m.lnods(e, top[k]), 2));
  }
}

}  // namespace

int element_gauss_points(const MeshModel& m, int e, double (&x)[MAX_ELEMENT_GAUSS],
                         double (&y)[MAX_ELEMENT_GAUSS]) {
  const double g = 1.0 / std::sqrt(3.0);
  switch (element_key(m.nnode(e), m.nside(e))) {
    case 33:
      map_point(m, e, 33, 1.0 / 3.0, 1.0 / 3.0, x[0], y[0]);
      return 1;
    case 44:
      map_point(m, e, 44, 0.0, 0.0, x[0], y[0]);
      return 1;
    case 63:  // the midside nodes lie where the shape functions put the side midpoints
      for (int k = 0; k < 3; ++k) {
        x[k] = m.coord(m.lnods(e, 2 * k + 2), 1);
        y[k] = m.coord(m.lnods(e, 2 * k + 2), 2);
      }
      return 3;
    case 64:
      thin_point(m, e, -g, x[0], y[0]);
      thin_point(m, e, g, x[1], y[1]);
      return 2;
    case 84: {
      const double s[4] = {-g, -g, g, g}, t[4] = {-g, g, -g, g};
      for (int k = 0; k < 4; ++k) map_point(m, e, 84, s[k], t[k], x[k], y[k]);
      return 4;
    }
    default:
      return 0;
  }
}

}  // namespace vortan
