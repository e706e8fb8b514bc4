// Meshes that the reader accepts although they are odd (elements of no known
// type, node numbers beyond npoin, repeated nodes): refining, triangulating
// and doubling them must keep every table in range and the counts within
// the limits.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "double_mesh.h"
#include "refine.h"
#include "test_support.h"
#include "triangulate.h"

namespace vortan {
namespace {

void expect_in_range(const MeshModel& m) {
  ASSERT_LE(m.npoin, MPOIN);
  ASSERT_LE(m.nelem, MELEM);
  for (int e = 1; e <= m.nelem; ++e)
    for (int k = 1; k <= MNODE; ++k) {
      ASSERT_GE(m.lnods(e, k), 0);
      ASSERT_LE(m.lnods(e, k), MPOIN);
    }
}

// A 3 x 3 grid of quadrilaterals with some elements made odd at random.
test::TestMesh odd_mesh(std::mt19937& rng) {
  std::vector<std::pair<double, double>> xy;
  for (int j = 0; j <= 3; ++j)
    for (int i = 0; i <= 3; ++i) xy.push_back({double(i), double(j)});
  test::TestMesh t(2, xy);
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) {
      int a = j * 4 + i + 1;
      t.add(4, {a, a + 1, a + 5, a + 4});
    }
  for (int k = 0; k < 3; ++k) {
    int e = 1 + static_cast<int>(rng() % 9);
    switch (rng() % 4) {
      case 0:  // 4 sides with 3 nodes: no such type
        t.m->nnode(e) = 3;
        t.m->lnods(e, 4) = 0;
        break;
      case 1:  // a node number beyond npoin
        t.m->lnods(e, 1 + rng() % 4) = 17 + static_cast<int>(rng() % 100);
        break;
      case 2:  // a node repeated in the element
        t.m->lnods(e, 2) = t.m->lnods(e, 1);
        break;
      default:  // 3 sides with 4 nodes: a linear infinite element
        t.m->nside(e) = 3;
        break;
    }
  }
  return t;
}

TEST(TransformRobustness, OddMeshesStayInRange) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 60; ++trial) {
    {
      test::TestMesh t = odd_mesh(rng);
      test::ScriptedSession s("");
      auto storage = std::make_unique<EdgeTables>();
      EdgeTables& tables = *storage;
      if (build_edges(*t.m, tables)) {
        divide_all(*t.m, tables);
        apply_divisions(*t.m, tables, AUTOMATIC);
      }
      expect_in_range(*t.m);
    }
    {
      test::TestMesh t = odd_mesh(rng);
      test::ScriptedSession s("");
      for (int e = 1; e <= t.m->nelem; ++e) t.m->nside(e) = -t.m->nside(e);
      cut_marked(*t.m);
      expect_in_range(*t.m);
    }
    {
      test::TestMesh t = odd_mesh(rng);
      test::ScriptedSession s("");
      auto work = std::make_unique<DoublingWork>();
      if (doubling_fits(*t.m))
        double_mesh(*t.m, static_cast<DoublingType>(1 + rng() % 2),
                    static_cast<DoublingDirection>(1 + rng() % 4), *work);
      expect_in_range(*t.m);
    }
  }
}

}  // namespace
}  // namespace vortan
