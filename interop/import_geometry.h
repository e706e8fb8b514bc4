// The geometric checks of an imported mesh: the Jacobian of each element at
// its nodes, coincident nodes, and nodes that the data file's five decimals
// would put at one place.
#pragma once

#include <cstddef>
#include <map>
#include <vector>

namespace vortan {

struct Point2 {
  double x = 0, y = 0;
};

// The determinant of the element's Jacobian at each of its nodes (corners
// and mid-side nodes), for nodes in the project's order round the element
// (3- and 6-node triangles, 4- and 8-node quadrilaterals); empty for other
// types. Positive everywhere for a valid counter-clockwise element.
std::vector<double> node_jacobians(const std::vector<Point2>& xy, int nside);

// For each node within `tol` of a node of lower tag, that node's tag (the
// lowest of a cluster); nodes apart from all others are not listed.
std::map<std::size_t, std::size_t> coincident_nodes(const std::map<std::size_t, Point2>& at,
                                                    double tol);

// Two nodes farther apart than `tol` that the data file's five decimals
// would write at the same place.
struct Collapse {
  int pairs = 0;  // how many such pairs (each node counted with the first at its place)
  std::size_t a = 0, b = 0;
  double distance = 0;  // the smallest distance between such a pair
};
Collapse collapsed_nodes(const std::map<std::size_t, Point2>& at, double tol);

// The coordinate as the data file's F10.5 field keeps it.
double five_decimals(double v);

}  // namespace vortan
