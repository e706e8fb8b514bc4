// Loads of Part B: the edge check over the element catalogue, nodal loads
// of both kinds on one node, body force and traction sets with their
// limits, and the loads section as the driver's sequence writes it.
// Expected records are worked out by hand from the field layouts.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "loads.h"
#include "part_b_sequence.h"
#include "test_support.h"

namespace vortan {
namespace {

const char* END = "click 560 460\n";

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The lines of a text from the first one that equals `first`.
std::vector<std::string> lines_from(const std::string& text, const std::string& first) {
  auto all = test::lines_of(text);
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i] == first) return {all.begin() + static_cast<long>(i), all.end()};
  return {};
}

// One element of the given counts with nodes 1..nnode placed round a circle
// (the positions do not matter to the edge check).
test::TestMesh one_element(int nside, int nnode) {
  std::vector<std::pair<double, double>> xy;
  for (int i = 0; i < nnode; ++i) xy.push_back({static_cast<double>(i), static_cast<double>(i % 2)});
  test::TestMesh t(2, xy);
  test::TestMesh::Nodes nodes;
  for (int i = 1; i <= nnode; ++i) nodes.push_back(i);
  t.add(nside, nodes);
  return t;
}

struct Side {
  int a, b, count;
};

void expect_sides(int nside, int nnode, std::initializer_list<Side> sides) {
  test::TestMesh t = one_element(nside, nnode);
  for (const Side& s : sides) {
    EXPECT_EQ(edge_node_count(*t.m, 1, s.a, s.b), s.count)
        << nnode << " nodes, " << nside << " sides: " << s.a << "-" << s.b;
    EXPECT_EQ(edge_node_count(*t.m, 1, s.b, s.a), s.count)
        << nnode << " nodes, " << nside << " sides, reversed: " << s.b << "-" << s.a;
  }
}

TEST(EdgeCheck, SidesOfEveryElementTypeInEitherOrder) {
  // Quadratic sides run over their midside node and count 3 nodes; straight
  // sides count 2; pairs that are no side count 0.
  expect_sides(4, 8, {{1, 3, 3}, {3, 5, 3}, {5, 7, 3}, {7, 1, 3}, {1, 5, 0}, {1, 2, 0}});
  expect_sides(3, 3, {{1, 2, 2}, {2, 3, 2}, {3, 1, 2}});
  expect_sides(4, 4, {{1, 2, 2}, {2, 3, 2}, {3, 4, 2}, {4, 1, 2}, {1, 3, 0}});
  expect_sides(3, 6, {{1, 3, 3}, {3, 5, 3}, {5, 1, 3}, {2, 4, 0}});
  // Thin quadrilateral: curved faces 1-3 and 4-6, straight ends 3-4 and 6-1.
  expect_sides(4, 6, {{1, 3, 3}, {3, 4, 2}, {4, 6, 3}, {6, 1, 2}});
  // Joint and rockbolt: the two faces only, not the ends between them.
  expect_sides(2, 6, {{1, 3, 3}, {4, 6, 3}, {3, 4, 0}, {6, 1, 0}});
  expect_sides(1, 6, {{1, 3, 3}, {4, 6, 3}, {3, 4, 0}});
  expect_sides(1, 2, {{1, 2, 2}});
  expect_sides(1, 3, {{1, 3, 3}, {1, 2, 0}});
  // Infinite elements: the curved first side, then straight sides that skip
  // the node between them.
  expect_sides(3, 5, {{1, 3, 3}, {3, 4, 2}, {5, 1, 2}, {4, 5, 0}});
  expect_sides(2, 3, {{1, 2, 2}, {3, 1, 2}, {2, 3, 0}});
  expect_sides(3, 4, {{1, 2, 2}, {2, 3, 2}, {4, 1, 2}, {3, 4, 0}});
  expect_sides(2, 4, {{1, 2, 2}, {3, 4, 2}, {2, 3, 0}});
}

TEST(EdgeCheck, UnknownElementsAndNumbersOutOfRangeHaveNoSides) {
  test::TestMesh t = one_element(4, 5);  // 5 nodes and 4 sides is no type
  EXPECT_EQ(edge_node_count(*t.m, 1, 1, 2), 0);
  EXPECT_EQ(edge_node_count(*t.m, 0, 1, 2), 0);
  EXPECT_EQ(edge_node_count(*t.m, 2, 1, 2), 0);
  EXPECT_EQ(edge_node_count(*t.m, -5, 1, 2), 0);
}

// Two linear triangles over the unit square, Advanced elasticity.
test::TestMesh advanced_square() {
  test::TestMesh t(-2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  t.add(3, {1, 2, 3});
  t.add(3, {1, 3, 4});
  return t;
}

struct LoadRun {
  std::string dat, prt, transcript;
};

LoadRun run_loadg(test::TestMesh& t, const std::string& script) {
  LoadRun r;
  test::ScriptedSession s(script);
  auto storage = std::make_unique<LoadTables>();
  LoadTables& tables = *storage;
  clear_loads(tables);
  std::ostringstream out, prt;
  LOADG(*t.m, tables, out, prt);
  r.dat = out.str();
  r.prt = prt.str();
  r.transcript = s.transcript();
  return r;
}

TEST(Loadg, ForceThenDisplacementOnOneNodeIsWrittenOnceAsDisplacement) {
  test::TestMesh t = advanced_square();
  std::string script = "dialog No\nwclick 1 1\ndialog OK 4 0\n";
  script += END;
  // Specified displacements: node 3 again, and node 2.
  script += "dialog Yes\ndialog No\nwclick 1 1\ndialog OK 0 -0.5\nwclick 1 0\ndialog OK 0.25 0\n";
  script += END;
  script += "dialog No\ndialog No\n";  // no body forces, no tractions
  LoadRun r = run_loadg(t, script);
  EXPECT_EQ(r.dat,
            "nbset npset \n"
            "    0    0\n"
            "  ld  node x-cmpnt   y-cmpnt\n"
            "0   2    2 0.250E+00 0.000E+00\n"
            "0   2    3 0.000E+00-0.500E+00\n"
            "1\n");
  // The listing keeps both entries as they were given.
  EXPECT_TRUE(has(r.prt, "    3    0.400E+01    0.000E+00\n"));
  EXPECT_TRUE(has(r.prt, "Specified displacements.\n-----------------------\n"));
  EXPECT_TRUE(has(r.prt, "    3    0.000E+00   -0.500E+00\n"));
}

TEST(Loadg, CancelledForceLeavesTheNodeFree) {
  test::TestMesh t = advanced_square();
  std::string script = "dialog No\nwclick 0 1\ndialog Cancel 9 9\n";
  script += END;
  script += "dialog No\ndialog No\ndialog No\n";
  LoadRun r = run_loadg(t, script);
  EXPECT_EQ(lines_from(r.dat, "  ld  node x-cmpnt   y-cmpnt").size(), 2u);  // header, terminator
}

TEST(Loadg, TwoBodyForceSetsCarryFlagsZeroZeroZeroOne) {
  test::TestMesh t = advanced_square();
  t.add(1, {2, 4});  // a bar, which takes no body force
  std::string script = "dialog No\n";
  script += END;
  script += "dialog No\n";              // no displacements
  script += "dialog Yes\ndialog No\n";  // body forces, no tractions
  // Set 1: triangle 1 (centroid 2/3, 1/3) and the bar (centroid 0.5, 0.5).
  script += "dialog OK 0 -9.81\nwclick 0.6667 0.3333\nwclick 0.5 0.5\n";
  script += END;
  script += "dialog Yes\n";
  // Set 2: triangle 2 (centroid 1/3, 2/3).
  script += "dialog OK 1.5 0\nwclick 0.3333 0.6667\n";
  script += END;
  script += "dialog No\n";
  LoadRun r = run_loadg(t, script);
  auto lines = lines_from(r.dat, "   set  cpmnt     body force");
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(lines[1], "0   1    1           0.000E+00");
  EXPECT_EQ(lines[2], "0   1    2          -0.981E+01");
  EXPECT_EQ(lines[3], "0   2    1           0.150E+01");
  EXPECT_EQ(lines[4], "1   2    2           0.000E+00");
  EXPECT_EQ(lines[5], "   set  elements in this body force set");
  EXPECT_EQ(lines[6], "0   1    1    0    0    0    0    0    0    0    0    0    0    0    0    0");
  EXPECT_EQ(lines[7], "0   2    2    0    0    0    0    0    0    0    0    0    0    0    0    0");
  EXPECT_EQ(lines[8], "1");
  EXPECT_TRUE(has(r.dat, "nbset npset \n    2    0\n"));
  EXPECT_TRUE(has(r.transcript, "Body force loading data completed."));
}

TEST(Loadg, TenthBodyForceSetIsRefused) {
  test::TestMesh t = advanced_square();
  std::string script = "dialog No\n";
  script += END;
  script += "dialog No\ndialog Yes\ndialog No\n";
  for (int s = 1; s <= 9; ++s) {
    script += "dialog OK " + std::to_string(s) + " 0\n";
    script += END;  // no elements picked
    script += "dialog Yes\n";
  }
  script += "dialog OK 10 0\n";  // the tenth
  LoadRun r = run_loadg(t, script);
  EXPECT_TRUE(has(r.transcript, "Exceeds max. no. of data sets - move on!"));
  EXPECT_TRUE(has(r.dat, "nbset npset \n    9    0\n"));
  EXPECT_TRUE(has(r.dat, "1   9    2           0.000E+00\n"));
  EXPECT_FALSE(has(r.dat, "0.100E+02"));
}

TEST(Loadg, OneTractionSetIsGivenToBothEndsOfAPickedEdge) {
  test::TestMesh t = advanced_square();
  std::string script = "dialog No\n";
  script += END;
  script += "dialog No\ndialog No\ndialog Yes\n";  // tractions only
  script += "dialog OK 100 0\ndialog No\n";
  // Edges: no zoom; triangle 2 (centroid 1/3, 2/3), its side 4-1 picked as
  // 1 then 4.
  script += "dialog No\nwclick 0.3333 0.6667\nwclick 0 0\nwclick 0 1\n";
  script += END;
  LoadRun r = run_loadg(t, script);
  EXPECT_TRUE(has(r.transcript, "Only one traction set; assigning it to the edge..."));
  auto lines = lines_from(r.dat, "   set  forces:     normal    tangential");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], "1   1    1 2         0.100E+03 0.000E+00");
  EXPECT_EQ(lines[2], " nnas elt  n set     n set");
  EXPECT_EQ(lines[3], "0   2    2    1 1     4 1");
  EXPECT_EQ(lines[4], "1");
  EXPECT_TRUE(has(r.prt, "    2      1    1           4    1\n"));
}

TEST(Loadg, ZoomedPassesOfNodalForcesRepeatOnRequest) {
  test::TestMesh t = advanced_square();
  // Zoom on the lower half, force on node 2; another part: zoom on the
  // upper half, force on node 4.
  std::string script = "dialog Yes\nwclick -0.1 -0.1\nwclick 1.1 0.4\nwclick 1 0\ndialog OK 1 0\n";
  script += END;
  script += "dialog Yes\ndialog Yes\nwclick -0.1 0.6\nwclick 1.1 1.1\nwclick 0 1\ndialog OK 0 1\n";
  script += END;
  script += "dialog No\ndialog No\ndialog No\ndialog No\n";
  LoadRun r = run_loadg(t, script);
  EXPECT_TRUE(has(r.transcript, "More nodal forces in a different part of mesh?"));
  EXPECT_TRUE(has(r.dat, "0   1    2 0.100E+01 0.000E+00\n0   1    4 0.000E+00 0.100E+01\n"));
}

// --- the driver's sequence --------------------------------------------------------

struct SequenceRun {
  std::string dat, prt, transcript;
};

SequenceRun run_sequence(MeshModel& m, const std::string& script) {
  SequenceRun r;
  test::ScriptedSession s(script);
  const std::string dat = s.folder() + "/b.dat", prt = s.folder() + "/b.prt";
  {
    std::fstream out(dat, std::ios::in | std::ios::out | std::ios::trunc);
    std::ofstream p(prt);
    auto newnod = std::make_unique<Table1<int, MPOIN>>();
    auto newelt = std::make_unique<Table1<int, MELEM>>();
    auto tables = std::make_unique<PartBTables>();
    PART_B_SEQUENCE(m, nullptr, out, p, *newnod, *newelt, *tables);
  }
  r.dat = test::read_file(dat);
  r.prt = test::read_file(prt);
  r.transcript = s.transcript();
  return r;
}

TEST(PartBSequence, BasicElasticityWithoutLoads) {
  test::TestMesh t(2, {{0, 0}, {1, 0}, {1, 1}});
  t.add(3, {1, 2, 3});
  SequenceRun r = run_sequence(*t.m, "dialog No\n");
  EXPECT_EQ(r.dat,
            "nbset npset\n"
            "    0    0\n"
            "   ld  node  x-cmpnt    y-cmpnt\n"
            "1\n"
            " nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)\n"
            "    0    0\n"
            "nincs    increment sizes\n"
            "    1 1.00\n"
            "     dtint     ftime     allow     theta    ttend \n"
            "\n");
  EXPECT_TRUE(has(r.prt, "No applied loads\n"));
}

TEST(PartBSequence, PoissonMeshHasNoLoadsSection) {
  test::TestMesh t(1, {{0, 0}, {1, 0}, {1, 1}});
  t.add(3, {1, 2, 3});
  SequenceRun r = run_sequence(*t.m, "dialog No\ndialog No\n");
  EXPECT_EQ(r.dat.rfind(" nbdry nbdir (no. of rad. bdry sets & Dirichlet bdry planes)\n    0    0\n", 0),
            0u);
  EXPECT_FALSE(has(r.transcript, "Do you want to apply any loads?"));
  EXPECT_TRUE(has(r.transcript, "Will you define any radiating boundaries?"));
}

TEST(PartBSequence, LoadsAnsweredYesButNoneGivenStillCloseEveryList) {
  test::TestMesh t(3, {{0, 0}, {1, 0}});
  t.add(1, {1, 2});
  std::string script = "dialog Yes\ndialog No\n";
  script += END;
  script += "dialog No\n";  // no tractions (Basic: no body force question)
  SequenceRun r = run_sequence(*t.m, script);
  EXPECT_EQ(r.dat.rfind("nbset npset \n    0    0\n  ld  node x-cmpnt   y-cmpnt\n1\n"
                        " nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)\n    0    0\n",
                        0),
            0u);
}

}  // namespace
}  // namespace vortan
