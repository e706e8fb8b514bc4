// Cutting quadrilaterals into triangles: the diagonal chosen, the node
// order of the triangles, the centre node of 8-noded quadrilaterals, and
// the stops at the limits.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "test_support.h"
#include "triangulate.h"

namespace vortan {
namespace {

using Nodes = std::vector<int>;

struct TriMesh : test::TestMesh {
  std::unique_ptr<Table1<int, MELEM>> marks = std::make_unique<Table1<int, MELEM>>();
  using TestMesh::TestMesh;
  void mark_all() {
    for (int e = 1; e <= m->nelem; ++e) m->nside(e) = -m->nside(e);
  }
};

TEST(Triangulate, UnitSquareIsCutFromItsFirstCorner) {
  test::ScriptedSession s("");
  TriMesh t(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  t.add(4, {1, 2, 3, 4});
  t.mark_all();
  cut_marked(*t.m);
  ASSERT_EQ(t.m->nelem, 2);
  EXPECT_EQ(t.nodes(1), (Nodes{1, 2, 3}));
  EXPECT_EQ(t.nodes(2), (Nodes{3, 4, 1}));
  EXPECT_EQ(t.m->lnods(1, 4), 0);
  for (int e = 1; e <= 2; ++e) {
    EXPECT_EQ(t.m->nnode(e), 3);
    EXPECT_EQ(t.m->nside(e), 3);
  }
  EXPECT_EQ(t.m->npoin, 4);
}

TEST(Triangulate, RhombusIsCutAlongItsShorterDiagonal) {
  test::ScriptedSession s("");
  // Diagonal 1-3 has length 4, diagonal 2-4 length 2.
  TriMesh t(2, {{0, 0}, {2, -1}, {4, 0}, {2, 1}});
  t.add(4, {1, 2, 3, 4}, 3);
  t.m->mattyp(1) = 2;
  t.mark_all();
  cut_marked(*t.m);
  ASSERT_EQ(t.m->nelem, 2);
  EXPECT_EQ(t.nodes(1), (Nodes{1, 2, 4}));
  EXPECT_EQ(t.nodes(2), (Nodes{2, 3, 4}));
  EXPECT_EQ(t.m->matset(2), 3);
  EXPECT_EQ(t.m->mattyp(2), 2);
}

TEST(Triangulate, DiagonalsWithinTheToleranceCountAsEqual) {
  test::ScriptedSession s("");
  // d13 = 4.00005^2 - a little more than d24 = 4, but within 0.0001.
  TriMesh t(2, {{0, 0}, {1, -1}, {2.0000125, 0}, {1, 1}});
  t.add(4, {1, 2, 3, 4});
  t.mark_all();
  cut_marked(*t.m);
  EXPECT_EQ(t.nodes(1), (Nodes{1, 2, 3}));
}

TEST(Triangulate, EightNodedQuadrilateralGetsACentreNode) {
  test::ScriptedSession s("");
  // A square 2 x 2 whose bottom midside node is pulled down by 0.2; the
  // centre (s = t = 0) then lies at (1, 0.9).
  TriMesh t(-2, {{0, 0}, {1, -0.2}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}});
  t.m->ndof(2) = 3;
  t.m->kode(2) = 101;
  t.add(4, {1, 2, 3, 4, 5, 6, 7, 8});
  t.mark_all();
  cut_marked(*t.m);
  ASSERT_EQ(t.m->npoin, 9);
  EXPECT_NEAR(t.m->coord(9, 1), 1.0, 1e-12);
  EXPECT_NEAR(t.m->coord(9, 2), 0.9, 1e-12);
  EXPECT_EQ(t.m->kode(9), 0);
  EXPECT_EQ(t.m->ndof(9), 3);  // as the element's node 2
  // Both diagonals are equal: cut along 1-5.
  EXPECT_EQ(t.nodes(1), (Nodes{1, 2, 3, 4, 5, 9}));
  EXPECT_EQ(t.nodes(2), (Nodes{1, 9, 5, 6, 7, 8}));
  EXPECT_EQ(t.m->nnode(2), 6);
  EXPECT_EQ(t.m->nside(2), 3);
}

TEST(Triangulate, EightNodedQuadrilateralCutAlongCorners3And7) {
  test::ScriptedSession s("");
  // Corners 3 and 7 are close together: (4,0)-(0,0) is longer than (2,-1)-(2,1).
  TriMesh t(2, {{0, 0}, {1, -0.5}, {2, -1}, {3, -0.5}, {4, 0}, {3, 0.5}, {2, 1}, {1, 0.5}});
  t.add(4, {1, 2, 3, 4, 5, 6, 7, 8});
  t.mark_all();
  cut_marked(*t.m);
  EXPECT_EQ(t.nodes(1), (Nodes{1, 2, 3, 9, 7, 8}));
  EXPECT_EQ(t.nodes(2), (Nodes{7, 9, 3, 4, 5, 6}));
  EXPECT_NEAR(t.m->coord(9, 1), 2.0, 1e-12);
  EXPECT_NEAR(t.m->coord(9, 2), 0.0, 1e-12);
}

TEST(Triangulate, BasicLevelCutsEveryQuadrilateralWithoutAsking) {
  // No event in the script: a question would stop the test.
  test::ScriptedSession s("");
  TriMesh t(2, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}, {3, 0}});
  t.add(4, {1, 2, 5, 4});
  t.add(3, {5, 6, 7});        // triangle
  t.add(4, {2, 3, 6, 5});
  t.add(1, {3, 8});           // bar
  t.add(4, {4, 5, 7, 0});     // not a catalogue type once counted: 3 nodes, 4 sides
  t.m->nnode(5) = 3;
  TRIANG(*t.m, *t.marks);
  ASSERT_EQ(t.m->nelem, 7);
  EXPECT_EQ(t.nodes(1), (Nodes{1, 2, 5}));
  EXPECT_EQ(t.nodes(2), (Nodes{5, 6, 7}));
  EXPECT_EQ(t.nodes(3), (Nodes{2, 3, 6}));
  EXPECT_EQ(t.nodes(4), (Nodes{3, 8}));
  EXPECT_EQ(t.nodes(6), (Nodes{5, 4, 1}));  // second triangle of element 1
  EXPECT_EQ(t.nodes(7), (Nodes{6, 5, 2}));  // second triangle of element 3
  for (int e = 1; e <= t.m->nelem; ++e) EXPECT_GT(t.m->nside(e), 0) << e;
  EXPECT_NE(s.transcript().find("Error: unknown element"), std::string::npos);
}

TEST(Triangulate, AdvancedLevelAsksAboutTheWholeMesh) {
  test::ScriptedSession s("dialog Yes\n");
  TriMesh t(-2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  t.add(4, {1, 2, 3, 4});
  TRIANG(*t.m, *t.marks);
  EXPECT_EQ(t.m->nelem, 2);
  EXPECT_NE(s.transcript().find("Do you want to triangulate the whole mesh?"), std::string::npos);
}

TEST(Triangulate, ElementLimitStopsWithEveryMarkRemoved) {
  test::ScriptedSession s("");
  TriMesh t(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  // The mesh is full but for one element: only the first quadrilateral is cut.
  for (int e = 1; e < MELEM; ++e) t.add(4, {1, 2, 3, 4});
  t.mark_all();
  cut_marked(*t.m);
  EXPECT_EQ(t.m->nelem, MELEM);
  EXPECT_EQ(t.m->nside(1), 3);
  EXPECT_EQ(t.m->nside(2), 4);
  EXPECT_EQ(t.m->nside(MELEM - 1), 4);
  EXPECT_EQ(t.nodes(MELEM), (Nodes{3, 4, 1}));
  EXPECT_NE(s.transcript().find("Reached max. no. of elements!"), std::string::npos);
}

TEST(Triangulate, NodeLimitStopsWithoutAnEmptyElement) {
  test::ScriptedSession s("");
  TriMesh t(2, {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}});
  t.add(4, {1, 2, 3, 4, 5, 6, 7, 8});
  t.add(4, {1, 2, 3, 4, 5, 6, 7, 8});
  t.m->npoin = MPOIN - 1;  // room for one centre node only
  t.mark_all();
  cut_marked(*t.m);
  EXPECT_EQ(t.m->npoin, MPOIN);
  EXPECT_EQ(t.m->nelem, 3);  // the first quadrilateral cut, no element without nodes
  EXPECT_EQ(t.m->nnode(3), 6);
  EXPECT_EQ(t.nodes(2), (Nodes{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(t.m->nside(2), 4);
  const std::string tr = s.transcript();
  EXPECT_NE(tr.find("Reached max. no. of nodes!"), std::string::npos);
  EXPECT_NE(tr.find("Processing element"), std::string::npos);
}

}  // namespace
}  // namespace vortan
