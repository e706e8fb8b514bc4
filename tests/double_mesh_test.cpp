// Doubling: translated and reflected copies in each direction, the seam
// merge with dense renumbering, node data, and the refusals.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "double_mesh.h"
#include "test_support.h"

namespace vortan {
namespace {

using Nodes = std::vector<int>;

struct DMesh : test::TestMesh {
  std::unique_ptr<DoublingWork> w = std::make_unique<DoublingWork>();
  explicit DMesh(const std::vector<std::pair<double, double>>& xy) : TestMesh(2, xy) {}
};

DMesh unit_square() {
  DMesh d({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  d.add(4, {1, 2, 3, 4}, 2);
  return d;
}

TEST(Double, UnitSquareTranslatedRight) {
  DMesh d = unit_square();
  d.m->kode(1) = 11;
  d.m->kode(4) = 10;
  d.m->kode(2) = 1;
  double_mesh(*d.m, DoublingType::Translation, DoublingDirection::Right, *d.w);
  ASSERT_EQ(d.m->npoin, 6);
  ASSERT_EQ(d.m->nelem, 2);
  EXPECT_EQ(d.nodes(1), (Nodes{1, 2, 3, 4}));
  EXPECT_EQ(d.nodes(2), (Nodes{2, 6, 5, 3}));
  d.expect_at(5, 2, 1);
  d.expect_at(6, 2, 0);
  d.expect_at(7, 0, 0);  // numbers set free are cleared
  d.expect_at(8, 0, 0);
  EXPECT_EQ(d.m->matset(2), 2);
  EXPECT_EQ(d.m->nside(2), 4);
  // Seam nodes 2 and 3 absorbed the copies of 1 and 4 and take their codes.
  EXPECT_EQ(d.m->kode(2), 11);
  EXPECT_EQ(d.m->kode(3), 10);
  EXPECT_EQ(d.m->kode(6), 1);  // the copy of node 2 keeps node 2's own code
  EXPECT_EQ(d.m->kode(1), 11);
}

TEST(Double, UnitSquareReflectedRight) {
  DMesh d = unit_square();
  double_mesh(*d.m, DoublingType::Reflection, DoublingDirection::Right, *d.w);
  ASSERT_EQ(d.m->npoin, 6);
  ASSERT_EQ(d.m->nelem, 2);
  EXPECT_EQ(d.nodes(2), (Nodes{3, 2, 5, 6}));
  d.expect_at(5, 2, 0);
  d.expect_at(6, 2, 1);
}

TEST(Double, TranslationDownAndReflectionUpAndLeft) {
  DMesh a = unit_square();
  double_mesh(*a.m, DoublingType::Translation, DoublingDirection::Down, *a.w);
  // Copies at y - 1: the copies of 3 and 4 land on 2 and 1.
  EXPECT_EQ(a.m->npoin, 6);
  EXPECT_EQ(a.nodes(2), (Nodes{5, 6, 2, 1}));
  a.expect_at(5, 0, -1);
  a.expect_at(6, 1, -1);

  DMesh b = unit_square();
  double_mesh(*b.m, DoublingType::Reflection, DoublingDirection::Up, *b.w);
  // Mirror line y = 1: nodes 3 and 4 are shared.
  EXPECT_EQ(b.m->npoin, 6);
  EXPECT_EQ(b.nodes(2), (Nodes{3, 6, 5, 4}));
  b.expect_at(5, 0, 2);
  b.expect_at(6, 1, 2);

  DMesh c = unit_square();
  double_mesh(*c.m, DoublingType::Reflection, DoublingDirection::Left, *c.w);
  EXPECT_EQ(c.nodes(2), (Nodes{5, 6, 1, 4}));
  c.expect_at(5, -1, 1);
  c.expect_at(6, -1, 0);
}

TEST(Double, ReflectedElementsKeepTheirOwnNodeOrders) {
  // A quadratic triangle and a corner infinite element, mirrored to the left
  // about x = 0 (no node lies elsewhere on that line but node 1).
  DMesh d({{0, 0}, {1, 0}, {2, 0}, {1, 1}, {2, 2}, {3, 3}});
  d.add(3, {1, 2, 3, 4, 5, 4});
  d.m->lnods(1, 6) = 4;  // (midside reused, order only matters here)
  d.add(2, {5, 6, 3});
  double_mesh(*d.m, DoublingType::Reflection, DoublingDirection::Left, *d.w);
  // Copies 7..12 of nodes 1..6; node 1 lies on the mirror and is shared:
  // copy 7 is removed and 12 moves into its number.
  ASSERT_EQ(d.m->npoin, 11);
  EXPECT_EQ(d.nodes(3), (Nodes{9, 8, 1, 10, 11, 10}));
  EXPECT_EQ(d.nodes(4), (Nodes{11, 9, 7}));
  d.expect_at(7, -3, 3);
}

TEST(Double, NodesThatDoNotLineUpAreNotMerged) {
  // Left edge nodes at y = 0, 1; right edge nodes at y = 0, 0.5, 1 - only
  // the copies of the left nodes at y = 0 and 1 merge on the right edge.
  DMesh d({{0, 0}, {1, 0}, {1, 0.5}, {1, 1}, {0, 1}, {0, 0.4}});
  d.add(4, {1, 2, 4, 5});
  d.m->nnode(1) = 4;
  double_mesh(*d.m, DoublingType::Translation, DoublingDirection::Right, *d.w);
  // Copies of 1 and 5 merge with 2 and 4; the copy of 6 at (1, 0.4) stays.
  EXPECT_EQ(d.m->npoin, 10);
}

TEST(Double, TooManyNodesRefusedUnchanged) {
  test::ScriptedSession s("");
  DMesh d = unit_square();
  d.m->npoin = MPOIN / 2 + 1;
  DOUBLE(*d.m, *d.w);
  EXPECT_EQ(d.m->npoin, MPOIN / 2 + 1);
  EXPECT_EQ(d.m->nelem, 1);
  EXPECT_NE(s.transcript().find("Too many nodes to allow duplication of mesh"),
            std::string::npos);
}

TEST(Double, TooManyElementsRefusedUnchanged) {
  test::ScriptedSession s("");
  DMesh d = unit_square();
  for (int e = 2; e <= MELEM / 2 + 1; ++e) d.add(4, {1, 2, 3, 4});
  DOUBLE(*d.m, *d.w);
  EXPECT_EQ(d.m->nelem, MELEM / 2 + 1);
  EXPECT_NE(s.transcript().find("Too many elements to allow duplication of mesh"),
            std::string::npos);
}

TEST(Double, DialogChoosesTypeAndDirectionAndCancelChangesNothing) {
  {
    test::ScriptedSession s("dialog Cancel 2 4\n");
    DMesh d = unit_square();
    DOUBLE(*d.m, *d.w);
    EXPECT_EQ(d.m->nelem, 1);
    EXPECT_NE(s.transcript().find("Doubling options"), std::string::npos);
  }
  {
    test::ScriptedSession s("dialog OK 2 4\n");
    DMesh d = unit_square();
    DOUBLE(*d.m, *d.w);
    EXPECT_EQ(d.nodes(2), (Nodes{3, 2, 5, 6}));
  }
}

}  // namespace
}  // namespace vortan
