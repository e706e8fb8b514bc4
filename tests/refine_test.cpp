// Refinement: the edge table, automatic and manual division, the rebuilt
// elements and their node positions, fixity codes on divided edges, the
// boundary chains and the limits. Expected positions are worked out by
// hand from the shape functions.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "refine.h"
#include "test_support.h"

namespace vortan {
namespace {

using Nodes = std::vector<int>;

struct RMesh : test::TestMesh {
  std::unique_ptr<EdgeTables> tables = std::make_unique<EdgeTables>();
  EdgeTables& t = *tables;
  using TestMesh::TestMesh;
  void automatic() {
    ASSERT_TRUE(build_edges(*m, t));
    divide_all(*m, t);
    ASSERT_TRUE(apply_divisions(*m, t, AUTOMATIC));
  }
};

TEST(RefineSides, SideRuleGivesTheCatalogueSides) {
  // (type, side) -> start node index and step count.
  struct Case {
    int type, side, start, steps;
  } cases[] = {{1, 2, 4, 2},  {2, 2, 4, 2},  {7, 3, 5, 2},  {8, 2, 3, 1},  {8, 3, 4, 2},
               {8, 4, 6, 1},  {9, 4, 7, 2},  {10, 2, 3, 1}, {10, 3, 5, 1}, {11, 2, 3, 1},
               {12, 3, 4, 1}, {13, 2, 3, 1}, {6, 4, 4, 1},  {5, 3, 3, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(side_start(c.type, c.side), c.start) << c.type << " side " << c.side;
    EXPECT_EQ(side_steps(c.type, c.side), c.steps) << c.type << " side " << c.side;
  }
}

TEST(RefineEdges, EdgesAreNumberedAsFirstMetAndSharedWithSigns) {
  test::ScriptedSession s("");
  RMesh r(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}, {2, 1}});
  r.add(4, {1, 2, 3, 4});
  r.add(4, {2, 5, 6, 3});
  ASSERT_TRUE(build_edges(*r.m, r.t));
  EXPECT_EQ(r.t.nedge, 7);
  EXPECT_EQ(r.t.lelsid(2, 4), -2);  // 3-2 runs against edge 2 (2-3)
  EXPECT_EQ(r.t.leledg(2, 1), 1);
  EXPECT_EQ(r.t.leledg(2, 2), 2);
  EXPECT_EQ(r.t.lelsid(2, 1), 5);
  EXPECT_EQ(r.t.ledge(5, 1), 2);
  EXPECT_EQ(r.t.ledge(5, 2), 5);
  EXPECT_EQ(r.t.ledge(5, 3), 0);
  EXPECT_EQ(find_edge(r.t, 3, 2), 2);
  EXPECT_EQ(find_edge(r.t, 1, 3), 0);
}

TEST(RefineEdges, UnknownElementStopsBeforeAnyChange) {
  test::ScriptedSession s("");
  RMesh r(2, {{0, 0}, {1, 0}, {1, 1}});
  r.add(3, {1, 2, 3});
  r.m->nside(1) = 4;  // 3 nodes and 4 sides is no type
  REFINE(*r.m, AUTOMATIC, MeshWindow{}, r.t);
  EXPECT_EQ(r.m->nelem, 1);
  EXPECT_EQ(r.m->npoin, 3);
  const std::string tr = s.transcript();
  EXPECT_NE(tr.find("Element has no recognized type!"), std::string::npos);
  EXPECT_NE(tr.find("Problem occurred in element"), std::string::npos);
}

TEST(RefineAutomatic, EightNodedQuadrilateralGivesFourElementsAnd21Nodes) {
  test::ScriptedSession s("");
  // A 2 x 2 square with its bottom midside node pulled down by 0.2: the map
  // is x = 1 + s, y = 1 + t - 0.1 (1 - s^2)(1 - t).
  RMesh r(2, {{0, 0}, {1, -0.2}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}});
  r.add(4, {1, 2, 3, 4, 5, 6, 7, 8});
  r.automatic();
  ASSERT_EQ(r.m->npoin, 21);
  ASSERT_EQ(r.m->nelem, 4);
  // Edge nodes: two per edge, the old midside node moved to s = 0.5.
  r.expect_at(9, 0.5, -0.15);
  r.expect_at(10, 1.0, -0.2);
  r.expect_at(2, 1.5, -0.15);
  r.expect_at(11, 2, 0.5);
  r.expect_at(12, 2, 1);
  r.expect_at(4, 2, 1.5);
  r.expect_at(13, 1.5, 2);
  r.expect_at(14, 1, 2);
  r.expect_at(6, 0.5, 2);
  r.expect_at(15, 0, 1.5);
  r.expect_at(16, 0, 1);
  r.expect_at(8, 0, 0.5);
  // Inside: (0,-0.5), (0,0), (-0.5,0), (0.5,0), (0,0.5) in natural coordinates.
  r.expect_at(17, 1, 0.35);
  r.expect_at(18, 1, 0.9);
  r.expect_at(19, 0.5, 0.925);
  r.expect_at(20, 1.5, 0.925);
  r.expect_at(21, 1, 1.45);
  EXPECT_EQ(r.nodes(2), (Nodes{1, 9, 10, 17, 18, 19, 16, 8}));
  EXPECT_EQ(r.nodes(3), (Nodes{10, 2, 3, 11, 12, 20, 18, 17}));
  EXPECT_EQ(r.nodes(4), (Nodes{16, 19, 18, 21, 14, 6, 7, 15}));
  EXPECT_EQ(r.nodes(1), (Nodes{18, 20, 12, 4, 5, 13, 14, 21}));
  for (int e = 1; e <= 4; ++e) {
    EXPECT_EQ(r.m->nnode(e), 8);
    EXPECT_EQ(r.m->nside(e), 4);
    EXPECT_EQ(r.m->matset(e), 1);
  }
}

TEST(RefineAutomatic, LinearTriangleKeepsItsNumberForTheMiddleTriangle) {
  test::ScriptedSession s("");
  RMesh r(1, {{0, 0}, {1, 0}, {0, 1}});
  r.add(3, {1, 2, 3});
  r.m->matset(1) = 2;
  r.automatic();
  ASSERT_EQ(r.m->npoin, 6);
  ASSERT_EQ(r.m->nelem, 4);
  r.expect_at(4, 0.5, 0);
  r.expect_at(5, 0.5, 0.5);
  r.expect_at(6, 0, 0.5);
  EXPECT_EQ(r.nodes(1), (Nodes{4, 5, 6}));
  EXPECT_EQ(r.nodes(2), (Nodes{1, 4, 6}));
  EXPECT_EQ(r.nodes(3), (Nodes{2, 5, 4}));
  EXPECT_EQ(r.nodes(4), (Nodes{3, 6, 5}));
  for (int e = 1; e <= 4; ++e) EXPECT_EQ(r.m->matset(e), 2);
}

TEST(RefineAutomatic, QuadraticTriangleGivesFourSixNodedTriangles) {
  test::ScriptedSession s("");
  RMesh r(1, {{0, 0}, {1, 0}, {2, 0}, {1, 1}, {0, 2}, {0, 1}});
  r.add(3, {1, 2, 3, 4, 5, 6});
  r.automatic();
  // Edge nodes 7..12 (two per side), then a, b, c inside.
  ASSERT_EQ(r.m->npoin, 15);
  ASSERT_EQ(r.m->nelem, 4);
  r.expect_at(13, 1, 0.5);    // between old nodes 2 and 4
  r.expect_at(14, 0.5, 1);    // 4 and 6
  r.expect_at(15, 0.5, 0.5);  // 2 and 6
  // Side 1: 1, 7, 8, 2, 3 with 8 the middle; side 2: 3, 9, 10, 4, 5;
  // side 3: 5, 11, 12, 6, 1.
  r.expect_at(8, 1, 0);
  r.expect_at(2, 1.5, 0);
  EXPECT_EQ(r.nodes(2), (Nodes{1, 7, 8, 15, 12, 6}));
  EXPECT_EQ(r.nodes(3), (Nodes{3, 9, 10, 13, 8, 2}));
  EXPECT_EQ(r.nodes(4), (Nodes{5, 11, 12, 14, 10, 4}));
  EXPECT_EQ(r.nodes(1), (Nodes{8, 13, 10, 14, 12, 15}));
}

TEST(RefineAutomatic, InfiniteSidesStayWhole) {
  test::ScriptedSession s("");
  // A unit square with a linear infinite element on its right-hand side:
  // finite side 3-2, node 5 beyond node 2 and node 6 beyond node 3.
  RMesh r(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}, {2, 1}});
  r.add(4, {1, 2, 3, 4});
  r.add(3, {3, 2, 5, 6});
  r.automatic();
  ASSERT_EQ(r.m->npoin, 12);
  ASSERT_EQ(r.m->nelem, 6);
  r.expect_at(8, 1, 0.5);
  r.expect_at(11, 0.5, 0.5);
  r.expect_at(12, 2, 0.5);  // the new outer node, halfway between 6 and 5
  EXPECT_EQ(r.nodes(3), (Nodes{1, 7, 11, 10}));
  EXPECT_EQ(r.nodes(4), (Nodes{7, 2, 8, 11}));
  EXPECT_EQ(r.nodes(5), (Nodes{10, 11, 9, 4}));
  EXPECT_EQ(r.nodes(1), (Nodes{11, 8, 3, 9}));
  EXPECT_EQ(r.nodes(6), (Nodes{3, 8, 12, 6}));
  EXPECT_EQ(r.nodes(2), (Nodes{8, 2, 5, 12}));
}

TEST(RefineManual, QuadraticEdgeDividedOneOneTwo) {
  test::ScriptedSession s("");
  // A curved quadratic bar: x = 2 + 2s, y = 1 - s^2.
  RMesh r(3, {{0, 0}, {2, 1}, {4, 0}});
  r.add(1, {1, 2, 3});
  ASSERT_TRUE(build_edges(*r.m, r.t));
  const double w[] = {0, 1, 1, 2};
  ASSERT_TRUE(divide_edge(*r.m, r.t, 1, 3, w));
  EXPECT_DOUBLE_EQ(r.t.wdivs(1, 1), 0.5);
  EXPECT_DOUBLE_EQ(r.t.wdivs(1, 3), 1.0);
  ASSERT_TRUE(apply_divisions(*r.m, r.t, MANUAL));
  ASSERT_EQ(r.m->npoin, 7);
  r.expect_at(4, 0.5, 0.4375);  // s = -0.75, midside
  r.expect_at(5, 1, 0.75);      // s = -0.5, corner
  r.expect_at(6, 1.5, 0.9375);  // s = -0.25, midside
  r.expect_at(7, 2, 1);         // s = 0, corner
  r.expect_at(2, 3, 0.75);      // s = 0.5: the old midside node
  ASSERT_EQ(r.m->nelem, 3);
  EXPECT_EQ(r.nodes(2), (Nodes{1, 4, 5}));
  EXPECT_EQ(r.nodes(3), (Nodes{5, 6, 7}));
  EXPECT_EQ(r.nodes(1), (Nodes{7, 2, 3}));
}

// A column of three linear quadrilaterals A, B, C under a triangle T, with a
// quadrilateral D beside A. B and C start at other corners than A, so the
// edges between them are met running the other way.
struct Strip : RMesh {
  Strip()
      : RMesh(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {1, 2}, {0, 2}, {1, 3}, {0, 3}, {0.5, 4},
                  {2, 0}, {2, 1}}) {
    add(4, {1, 2, 3, 4});   // A: edges 1 (1-2), 2, 3 (3-4), 4
    add(4, {4, 3, 5, 6});   // B: -3, 5, 6 (5-6), 7
    add(4, {6, 5, 7, 8});   // C: -6, 8, 9 (7-8), 10
    add(3, {8, 7, 9});      // T: -9, 11, 12
    add(4, {2, 10, 11, 3}); // D: 13, 14, 15, -2
  }
};

TEST(RefineManual, DivisionRunsAcrossTheStripWithWeightsInTheRightOrder) {
  test::ScriptedSession s("");
  Strip r;
  ASSERT_TRUE(build_edges(*r.m, r.t));
  ASSERT_EQ(r.t.nedge, 15);
  const double w[] = {0, 1, 3};
  ASSERT_TRUE(divide_edge(*r.m, r.t, 1, 2, w));
  // Every division point lies on the line x = 0.25.
  EXPECT_DOUBLE_EQ(r.t.wdivs(1, 1), 0.5);
  for (int ed : {3, 6, 9}) {
    EXPECT_EQ(r.t.ndivs(ed), 2) << ed;
    EXPECT_DOUBLE_EQ(r.t.wdivs(ed, 1), 1.5) << ed;  // edges stored right to left
    EXPECT_DOUBLE_EQ(r.t.wdivs(ed, 2), 0.5) << ed;
  }
  for (int ed : {2, 4, 5, 7, 8, 10, 11, 12, 13, 14, 15}) EXPECT_EQ(r.t.ndivs(ed), 0) << ed;
  ASSERT_TRUE(apply_divisions(*r.m, r.t, MANUAL));
  EXPECT_EQ(r.m->nelem, 8);  // A, B, C in two; T and D unchanged
  EXPECT_EQ(r.m->npoin, 15);
  r.expect_at(12, 0.25, 0);
  r.expect_at(13, 0.25, 1);
  r.expect_at(14, 0.25, 2);
  r.expect_at(15, 0.25, 3);
  EXPECT_EQ(r.nodes(6), (Nodes{1, 12, 13, 4}));
  EXPECT_EQ(r.nodes(1), (Nodes{12, 2, 3, 13}));
  EXPECT_EQ(r.nodes(7), (Nodes{4, 13, 14, 6}));  // B's first column, from node 4
  EXPECT_EQ(r.nodes(2), (Nodes{13, 3, 5, 14}));
  EXPECT_EQ(r.nodes(4), (Nodes{8, 7, 9}));
  EXPECT_EQ(r.nodes(5), (Nodes{2, 10, 11, 3}));
}

TEST(RefineManual, StripStopsAtAnEdgeAlreadyDivided) {
  test::ScriptedSession s("");
  Strip r;
  ASSERT_TRUE(build_edges(*r.m, r.t));
  const double three[] = {0, 1, 1, 1}, two[] = {0, 1, 3};
  ASSERT_TRUE(divide_edge(*r.m, r.t, 2, 3, three));  // across A (to 4) and D (to 14)
  EXPECT_EQ(r.t.ndivs(4), 3);
  EXPECT_EQ(r.t.ndivs(14), 3);
  r.t.ndivs(6) = 3;  // as if divided before
  ASSERT_TRUE(divide_edge(*r.m, r.t, 1, 2, two));
  EXPECT_EQ(r.t.ndivs(3), 2);
  EXPECT_EQ(r.t.ndivs(6), 3);
  EXPECT_EQ(r.t.ndivs(9), 0);
}

TEST(RefineManual, OneDivisionRecordsNothingToCarry) {
  test::ScriptedSession s("");
  Strip r;
  ASSERT_TRUE(build_edges(*r.m, r.t));
  const double one[] = {0, 1};
  ASSERT_TRUE(divide_edge(*r.m, r.t, 1, 1, one));
  EXPECT_EQ(r.t.ndivs(3), 0);
  ASSERT_TRUE(apply_divisions(*r.m, r.t, MANUAL));
  EXPECT_EQ(r.m->nelem, 5);
  EXPECT_EQ(r.m->npoin, 11);
}

TEST(RefineManual, MismatchedOppositeSidesLeaveTheQuadrilateralWhole) {
  test::ScriptedSession s("");
  Strip r;
  ASSERT_TRUE(build_edges(*r.m, r.t));
  const double two[] = {0, 1, 1};
  ASSERT_TRUE(divide_edge(*r.m, r.t, 1, 2, two));
  r.t.ndivs(6) = 0;  // B's top no longer matches its bottom
  ASSERT_TRUE(apply_divisions(*r.m, r.t, MANUAL));
  EXPECT_EQ(r.nodes(2), (Nodes{4, 3, 5, 6}));
  EXPECT_NE(s.transcript().find("Error: element"), std::string::npos);
}

// A rockbolt whose face 2 is the bottom of an 8-noded quadrilateral.
struct Bolt : RMesh {
  Bolt()
      : RMesh(2, {{0, 0}, {1, 0}, {2, 0}, {0, 0}, {1, 0}, {2, 0}, {2, 0.5}, {2, 1}, {1, 1},
                  {0, 1}, {0, 0.5}}) {
    add(1, {1, 2, 3, 4, 5, 6});             // faces: edge 1 (1-2-3), edge 2 (4-5-6)
    add(4, {4, 5, 6, 7, 8, 9, 10, 11});     // +2, 3, 4 (8-9-10), 5
  }
};

TEST(RefineManual, RockboltCarriesItsDivisionToFaceTwoAndOn) {
  test::ScriptedSession s("");
  Bolt r;
  ASSERT_TRUE(build_edges(*r.m, r.t));
  ASSERT_EQ(r.t.nedge, 5);
  const double w[] = {0, 1, 3};
  ASSERT_TRUE(divide_edge(*r.m, r.t, 1, 2, w));
  EXPECT_EQ(r.t.ndivs(2), 2);
  EXPECT_DOUBLE_EQ(r.t.wdivs(2, 1), 0.5);
  EXPECT_EQ(r.t.ndivs(4), 2);
  EXPECT_DOUBLE_EQ(r.t.wdivs(4, 1), 1.5);  // the top runs the other way
  ASSERT_TRUE(apply_divisions(*r.m, r.t, MANUAL));
  EXPECT_EQ(r.m->nelem, 4);  // the rockbolt and the quadrilateral in two
}

TEST(RefineManual, RockboltFaceOneAfterFaceTwo) {
  {
    test::ScriptedSession s("");
    Bolt r;
    ASSERT_TRUE(build_edges(*r.m, r.t));
    const double w[] = {0, 1, 3};
    ASSERT_TRUE(divide_edge(*r.m, r.t, 2, 2, w));
    EXPECT_EQ(r.t.ndivs(1), 0);
    EXPECT_FALSE(divide_edge(*r.m, r.t, 1, 2, w));
    EXPECT_NE(s.transcript().find("The rockbolt is already subdivided!"), std::string::npos);
  }
  {
    test::ScriptedSession s("");
    Bolt r;
    ASSERT_TRUE(build_edges(*r.m, r.t));
    const double w[] = {0, 1, 3};
    ASSERT_TRUE(divide_edge(*r.m, r.t, 2, 2, w));
    finish_rockbolts(*r.m, r.t);  // when the picking ends
    EXPECT_EQ(r.t.ndivs(1), 2);
    EXPECT_DOUBLE_EQ(r.t.wdivs(1, 1), 0.5);
  }
}

// A rockbolt along y = 0 whose nodes run from x = 2 to x = 0 on both faces,
// listed after an 8-noded quadrilateral on face 1 or on face 2: the face the
// quadrilateral holds is stored running the other way (x = 0 to 2).
struct BackBolt : RMesh {
  explicit BackBolt(int quad_face)
      : RMesh(2, {{0, 0}, {1, 0}, {2, 0}, {0, 0}, {1, 0}, {2, 0}, {2, 0.5}, {2, 1}, {1, 1},
                  {0, 1}, {0, 0.5}}) {
    if (quad_face == 1) add(4, {1, 2, 3, 7, 8, 9, 10, 11});
    else add(4, {4, 5, 6, 7, 8, 9, 10, 11});
    add(1, {3, 2, 1, 6, 5, 4});
  }
  // x of the new corner node on the chain of an edge divided in two.
  double division_x(int ed) const { return m->coord(t.lchain(ed, 3), 1); }
};

TEST(RefineManual, BothRockboltFacesAreDividedAtTheSamePlace) {
  // Weights 1, 3 from the bolt's first node (x = 2): the cut is at x = 1.5.
  const double w[] = {0, 1, 3};
  {  // face 1 picked, face 2 (edge 1) held by the quadrilateral
    test::ScriptedSession s("");
    BackBolt r(2);
    ASSERT_TRUE(build_edges(*r.m, r.t));
    ASSERT_EQ(r.t.lelsid(2, 2), -1);
    ASSERT_TRUE(divide_edge(*r.m, r.t, 5, 2, w));
    finish_rockbolts(*r.m, r.t);
    ASSERT_TRUE(apply_divisions(*r.m, r.t, MANUAL));
    EXPECT_DOUBLE_EQ(r.division_x(5), 1.5);
    EXPECT_DOUBLE_EQ(r.division_x(1), 1.5);
  }
  {  // face 2 picked; face 1 (edge 1, the quadrilateral's) takes it at the end
    test::ScriptedSession s("");
    BackBolt r(1);
    ASSERT_TRUE(build_edges(*r.m, r.t));
    ASSERT_EQ(r.t.lelsid(2, 1), -1);
    ASSERT_TRUE(divide_edge(*r.m, r.t, 5, 2, w));
    finish_rockbolts(*r.m, r.t);
    ASSERT_TRUE(apply_divisions(*r.m, r.t, MANUAL));
    EXPECT_DOUBLE_EQ(r.division_x(5), 1.5);
    EXPECT_DOUBLE_EQ(r.division_x(1), 1.5);
  }
}

TEST(RefineFixity, CommonFixedDigitsPassToNewEdgeNodes) {
  test::ScriptedSession s("");
  RMesh r(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  r.m->kode(1) = 11;
  r.m->kode(2) = 10;
  r.m->kode(3) = 1;
  r.add(4, {1, 2, 3, 4});
  r.automatic();
  EXPECT_EQ(r.m->kode(5), 10);  // between codes 11 and 10
  EXPECT_EQ(r.m->kode(6), 0);   // between 10 and 01
  EXPECT_EQ(r.m->kode(7), 0);   // between 01 and 00
  EXPECT_EQ(r.m->kode(9), 0);   // inside
}

TEST(RefineFixity, NodesWithFewerDofGetTheCodeShortened) {
  test::ScriptedSession s("");
  // A quadratic bar between two 3-d.o.f. nodes coded 110, with a 2-d.o.f.
  // midside node: the new corner gets 110, the midside nodes 11.
  RMesh r(-3, {{0, 0}, {1, 0}, {2, 0}});
  r.m->kode(1) = r.m->kode(3) = 110;
  r.m->ndof(2) = 2;
  r.add(1, {1, 2, 3});
  r.automatic();
  ASSERT_EQ(r.m->npoin, 5);
  EXPECT_EQ(r.m->ndof(4), 2);
  EXPECT_EQ(r.m->kode(4), 11);
  EXPECT_EQ(r.m->ndof(5), 3);
  EXPECT_EQ(r.m->kode(5), 110);
  EXPECT_EQ(r.m->kode(2), 11);
}

TEST(RefineBoundary, BoundaryChainsAndRewrittenEdges) {
  test::ScriptedSession s("");
  RMesh r(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}, {2, 1}});
  r.add(4, {1, 2, 3, 4});
  r.add(4, {2, 5, 6, 3});
  r.automatic();
  // Edge 1 (1-2) got node 7: the boundary runs 1 -> 7 -> 2.
  EXPECT_EQ(r.t.nextbd(1), 7);
  EXPECT_EQ(r.t.nextbd(7), 2);
  EXPECT_EQ(r.t.ledge(1, 1), 1);
  EXPECT_EQ(r.t.ledge(1, 2), 3);
  EXPECT_EQ(r.t.ledge(1, 3), 1);
  // Edge 2 (2-3) is shared: its nodes have no boundary successor from it.
  EXPECT_EQ(r.t.nextbd(8), 0);
}

TEST(RefineLimits, TooManyNodesRefusedBeforeAnyChange) {
  test::ScriptedSession s("");
  RMesh r(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  r.add(4, {1, 2, 3, 4});
  r.m->npoin = MPOIN - 4;  // room for the edge nodes, not the centre
  REFINE(*r.m, AUTOMATIC, MeshWindow{}, r.t);
  EXPECT_EQ(r.m->npoin, MPOIN - 4);
  EXPECT_EQ(r.m->nelem, 1);
  EXPECT_EQ(r.nodes(1), (Nodes{1, 2, 3, 4}));
  EXPECT_NE(s.transcript().find("Max. no. of nodes exceeded."), std::string::npos);
}

TEST(RefineLimits, TooManyElementsRefusedBeforeAnyChange) {
  test::ScriptedSession s("");
  RMesh r(2, {{0, 0}, {1, 0}});
  for (int e = 1; e <= MELEM - 1; ++e) r.add(1, {1, 2});
  REFINE(*r.m, AUTOMATIC, MeshWindow{}, r.t);
  EXPECT_EQ(r.m->nelem, MELEM - 1);
  EXPECT_EQ(r.m->npoin, 2);
  EXPECT_NE(s.transcript().find("Max. no. of elements exceeded."), std::string::npos);
}

}  // namespace
}  // namespace vortan
