// Boundaries of Part B: radiating sets picked by clicks with their records
// split ten nodes to a line, abandoned counts, the d.o.f. of a radiating
// set, and the Dirichlet value sets with their limit of eight. Expected
// records are worked out by hand from the field layouts.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "boundaries.h"
#include "test_support.h"

namespace vortan {
namespace {

const char* END = "click 560 460\n";

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct BoundaryRun {
  std::string dat, prt, transcript;
};

BoundaryRun run_partb(MeshModel& m, const std::string& script) {
  BoundaryRun r;
  test::ScriptedSession s(script);
  auto storage = std::make_unique<BoundaryTables>();
  BoundaryTables& b = *storage;
  clear_boundaries(b);
  std::ostringstream out, prt;
  PARTB(m, b, out, prt);
  r.dat = out.str();
  r.prt = prt.str();
  r.transcript = s.transcript();
  return r;
}

// A strip of 12 linear quadrilaterals along the x axis: nodes 1..13 at
// y = 0 and 14..26 at y = 1.
test::TestMesh strip(int ndofn) {
  std::vector<std::pair<double, double>> xy;
  for (int y = 0; y <= 1; ++y)
    for (int i = 0; i <= 12; ++i) xy.push_back({static_cast<double>(i), static_cast<double>(y)});
  test::TestMesh t(ndofn, xy);
  for (int i = 1; i <= 12; ++i) t.add(4, {i, i + 1, i + 14, i + 13});
  return t;
}

TEST(Partb, RadiatingSetOfTwelveNodesTakesTwoLines) {
  test::TestMesh t = strip(1);
  std::string script = "dialog Yes\ndialog No\n";      // radiating sets, no planes
  script += "dialog OK 1\n";                             // one set
  script += "dialog OK 0.5 -2\n";                        // ALPHA, QBAR
  script += "dialog No\n";                               // no zoom
  for (int i = 12; i >= 0; --i)                          // the bottom nodes, right to left,
    if (i != 6) script += "wclick " + std::to_string(i) + " 0\n";  // all but node 7
  script += END;
  script += "dialog No\n";
  BoundaryRun r = run_partb(*t.m, script);
  EXPECT_EQ(r.dat,
            " nbdry nbdir (no. of rad. bdry sets & Dirichlet bdry planes)\n"
            "    1    0\n"
            "dof set rad coeft  spec flow    nodes in boundary set\n"
            "0 1 1 0.500     -2.00        1    2    3    4    5    6    8    9   10   11\n"
            "0 1 1 0.500     -2.00       12   13    0    0    0    0    0    0    0    0\n"
            "1\n");
  EXPECT_TRUE(has(r.prt, "Radiating boundaries\n---------------------\nBoundary set: 1\n"));
  EXPECT_TRUE(has(r.prt, "Radiation constant = 0.5\nFlow gradient = -2.0\n"));
  EXPECT_TRUE(has(r.prt, "   Nodes on boundary: \n"
                         "    1    2    3    4    5    6    8    9   10   11   12   13\n"
                         " applies to deg. of freedom 1\n"));
  EXPECT_TRUE(has(r.transcript, "Start of radiating boundary data"));
  EXPECT_TRUE(has(r.transcript, "Click on a node - click End if no more nodes on bdry"));
  EXPECT_TRUE(has(r.transcript, "End of radiating boundary data"));
}

TEST(Partb, InvalidCountsAskAgainOrAbandon) {
  test::TestMesh t = strip(1);
  // Sets: 0 is refused, kept on, then 12 refused and abandoned. Planes: 10
  // refused and abandoned.
  std::string script = "dialog Yes\ndialog Yes\n";
  script += "dialog OK 0\ndialog No\ndialog OK 12\ndialog Yes\n";
  script += "dialog OK 10\ndialog Yes\n";
  BoundaryRun r = run_partb(*t.m, script);
  EXPECT_EQ(r.dat, " nbdry nbdir (no. of rad. bdry sets & Dirichlet bdry planes)\n    0    0\n");
  size_t count = 0;
  for (size_t p = 0; (p = r.transcript.find("Invalid no. - abandon boundary sets?", p)) != std::string::npos; ++p)
    ++count;
  EXPECT_EQ(count, 3u);
}

TEST(Partb, DofOfAnAdvancedPoissonSetIsOneToFour) {
  test::TestMesh t = strip(-1);
  std::string script = "dialog Yes\ndialog No\ndialog OK 1\n";
  script += "dialog OK 5\ndialog OK 0\n";  // 5 refused; 0 stands for 1
  script += "dialog OK 1 1\ndialog No\nwclick 0 1\n";
  script += END;
  script += "dialog No\n";
  BoundaryRun r = run_partb(*t.m, script);
  EXPECT_TRUE(has(r.transcript, "Enter a number between 1 and 4!"));
  EXPECT_TRUE(has(r.dat, "\n0 1 1  1.00      1.00       14    0"));
}

TEST(Partb, ElasticityAndBeamMeshesAskNothing) {
  for (int ndofn : {2, 3}) {
    test::TestMesh t = strip(ndofn);
    BoundaryRun r = run_partb(*t.m, "");
    EXPECT_EQ(r.dat, " nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)\n    0    0\n");
    EXPECT_FALSE(has(r.transcript, "Will you define"));
  }
}

// One Dirichlet value set typed in the text window (after the axis key).
std::string value_set(char axis, const std::string& coord, const std::string& value) {
  return std::string("key ") + axis + "\nline " + coord + "\nline " + value + "\n";
}

TEST(Partb, DirichletValuesStopAtTheEighthSet) {
  test::TestMesh t = strip(1);
  std::string script = "dialog No\ndialog Yes\ndialog OK 9\n";
  for (int i = 1; i <= 8; ++i) {
    script += value_set(i % 2 ? 'x' : 'y', std::to_string(i), "-" + std::to_string(i));
    if (i < 8) script += "key y\n";
  }
  BoundaryRun r = run_partb(*t.m, script);
  auto lines = test::lines_of(r.dat);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[1], "    0    9");
  EXPECT_EQ(lines[2], "x/y = coordinate    value on Dirichlet bdry   d.o.f.");
  EXPECT_EQ(lines[3], "0x =  1.00          -1.00        1");
  EXPECT_EQ(lines[4], "0y =  2.00          -2.00        1");
  EXPECT_EQ(lines[10], "0y =  8.00          -8.00        1");
  EXPECT_EQ(lines[11], "1");
  EXPECT_TRUE(has(r.transcript, "Max number of boundary value sets reached."));
  // Seven times asked for another set; never after the eighth.
  size_t count = 0;
  for (size_t p = 0; (p = r.transcript.find("Input another boundary value set", p)) != std::string::npos; ++p)
    ++count;
  EXPECT_EQ(count, 7u);
  EXPECT_TRUE(has(r.transcript, "boundary function bdryfn in POISS.FOR."));
}

TEST(Partb, AdvancedDirichletValuesForTwoDegreesOfFreedom) {
  test::TestMesh t = strip(-3);
  std::string script = "dialog No\ndialog Yes\ndialog OK 2\n";
  script += "key 0\nkey 2\n" + value_set('X', "12", "0.001") + "key n\nkey y\n";
  script += "key 3\nkey q\n" + value_set('y', "0", "150") + "key n\nkey n\n";
  BoundaryRun r = run_partb(*t.m, script);
  EXPECT_TRUE(has(r.dat, " nbdry nbdir (no. of rad. bdry sets & Dirichlet bdry planes)\n    0    2\n"));
  EXPECT_TRUE(has(r.dat, "\n0x =  12.0          0.100E-02    2\n0y =  0.00           150.        3\n1\n"));
  EXPECT_TRUE(has(r.prt, "Applies to degree of freedom 2\nU = 0.001 on Dirichlet bdry where x = 12.0\n"));
  EXPECT_TRUE(has(r.transcript, "Enter 1 if there is only one d.o.f. per node."));
  EXPECT_TRUE(has(r.transcript, "Type x or y: "));
}

}  // namespace
}  // namespace vortan
