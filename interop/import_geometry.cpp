#include "import_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace vortan {

namespace {

struct Grad {
  double dxi = 0, deta = 0;
};

// Shape-function derivatives of the serendipity quadrilaterals at (xi, eta),
// nodes in the project's order: corners at (+-1, +-1), mid-sides between.
std::vector<Grad> quad_gradients(int nodes, double xi, double eta) {
  static const double cx[4] = {-1, 1, 1, -1}, cy[4] = {-1, -1, 1, 1};
  std::vector<Grad> g;
  for (int k = 0; k < 4; ++k) {
    const double a = cx[k], b = cy[k];
    if (nodes == 4) {
      g.push_back({a * (1 + eta * b) / 4, b * (1 + xi * a) / 4});
      continue;
    }
    g.push_back({a * (1 + eta * b) * (2 * xi * a + eta * b) / 4,
                 b * (1 + xi * a) * (xi * a + 2 * eta * b) / 4});
    const double ma = (a + cx[(k + 1) % 4]) / 2, mb = (b + cy[(k + 1) % 4]) / 2;
    if (ma == 0)
      g.push_back({-xi * (1 + eta * mb), mb * (1 - xi * xi) / 2});
    else
      g.push_back({ma * (1 - eta * eta) / 2, -eta * (1 + xi * ma)});
  }
  return g;
}

// The same for triangles in area coordinates, corners at (0,0), (1,0), (0,1).
std::vector<Grad> triangle_gradients(int nodes, double xi, double eta) {
  const double l[3] = {1 - xi - eta, xi, eta};
  const Grad dl[3] = {{-1, -1}, {1, 0}, {0, 1}};
  std::vector<Grad> g;
  for (int k = 0; k < 3; ++k) {
    if (nodes == 3) {
      g.push_back(dl[k]);
      continue;
    }
    const int n = (k + 1) % 3;
    g.push_back({(4 * l[k] - 1) * dl[k].dxi, (4 * l[k] - 1) * dl[k].deta});
    g.push_back({4 * (l[k] * dl[n].dxi + l[n] * dl[k].dxi),
                 4 * (l[k] * dl[n].deta + l[n] * dl[k].deta)});
  }
  return g;
}

// Natural coordinates of the nodes, in the project's order.
std::vector<std::pair<double, double>> natural_nodes(int nodes, int nside) {
  if (nside == 4 && nodes == 4) return {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  if (nside == 4) return {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
  if (nodes == 3) return {{0, 0}, {1, 0}, {0, 1}};
  return {{0, 0}, {.5, 0}, {1, 0}, {.5, .5}, {0, 1}, {0, .5}};
}

}  // namespace

std::vector<double> node_jacobians(const std::vector<Point2>& xy, int nside) {
  const int n = static_cast<int>(xy.size());
  const bool known = (nside == 3 && (n == 3 || n == 6)) || (nside == 4 && (n == 4 || n == 8));
  std::vector<double> dets;
  if (!known) return dets;
  for (auto [xi, eta] : natural_nodes(n, nside)) {
    const auto g = nside == 4 ? quad_gradients(n, xi, eta) : triangle_gradients(n, xi, eta);
    double xx = 0, xe = 0, yx = 0, ye = 0;
    for (int k = 0; k < n; ++k) {
      xx += xy[k].x * g[k].dxi;
      xe += xy[k].x * g[k].deta;
      yx += xy[k].y * g[k].dxi;
      ye += xy[k].y * g[k].deta;
    }
    dets.push_back(xx * ye - xe * yx);
  }
  return dets;
}

double five_decimals(double v) { return std::round(v * 1e5) / 1e5; }

std::map<std::size_t, std::size_t> coincident_nodes(const std::map<std::size_t, Point2>& at,
                                                    double tol) {
  std::map<std::size_t, std::size_t> same;
  if (at.empty()) return same;
  double x0 = at.begin()->second.x, y0 = at.begin()->second.y;
  for (const auto& [tag, p] : at) x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
  // Nodes in cells of side tol: a match lies in the node's cell or a neighbour.
  const double cell = tol > 0 ? tol : 1;
  std::map<std::pair<std::int64_t, std::int64_t>, std::vector<std::size_t>> grid;
  for (const auto& [tag, p] : at) {
    const auto i = static_cast<std::int64_t>((p.x - x0) / cell);
    const auto j = static_cast<std::int64_t>((p.y - y0) / cell);
    std::size_t found = 0;
    bool hit = false;
    for (std::int64_t di = -1; di <= 1 && !hit; ++di)
      for (std::int64_t dj = -1; dj <= 1 && !hit; ++dj) {
        auto it = grid.find({i + di, j + dj});
        if (it == grid.end()) continue;
        for (std::size_t other : it->second) {
          const Point2 q = at.at(other);
          if (std::hypot(p.x - q.x, p.y - q.y) <= tol) {
            found = other;
            hit = true;
            break;
          }
        }
      }
    if (hit)
      same[tag] = found;  // `found` heads its cluster: it was never matched
    else
      grid[{i, j}].push_back(tag);
  }
  return same;
}

Collapse collapsed_nodes(const std::map<std::size_t, Point2>& at, double tol) {
  Collapse c;
  std::map<std::pair<double, double>, std::size_t> place;
  for (const auto& [tag, p] : at) {
    auto [it, fresh] = place.insert({{five_decimals(p.x), five_decimals(p.y)}, tag});
    if (fresh) continue;
    const Point2 q = at.at(it->second);
    const double d = std::hypot(p.x - q.x, p.y - q.y);
    if (d <= tol) continue;  // kept apart on purpose (--no-merge)
    if (c.pairs++ == 0 || d < c.distance) c = {c.pairs, it->second, tag, d};
  }
  return c;
}

}  // namespace vortan
