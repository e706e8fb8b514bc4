// The printed listing of a mesh, to a file and to the text window.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dat_file.h"
#include "listing.h"
#include "mesh_model.h"
#include "platform/platform.h"
#include "test_support.h"

namespace vortan {
namespace {

using test::lines_of;

using test::ScriptedSession;

std::string listed(const MeshModel& m) {
  std::ostringstream out;
  PRINT(&out, m);
  return out.str();
}

// Lines from `heading` up to the next blank line.
std::vector<std::string> block(const std::string& text, const std::string& heading) {
  auto all = lines_of(text);
  std::vector<std::string> out;
  bool in = false;
  for (const auto& l : all) {
    if (l == heading) in = true;
    if (in && l.empty()) break;
    if (in) out.push_back(l);
  }
  return out;
}

std::unique_ptr<MeshModel> little_frame() {
  auto m = std::make_unique<MeshModel>();
  clear_mesh(*m);
  m->title = "Little frame";
  m->title.resize(80, ' ');
  m->npoin = 4;
  m->nelem = 3;
  m->ndofn = 3;
  m->npros = 1;
  const double xy[5][2] = {{0, 0}, {0, 0}, {2.5, 4}, {-1.25, 10.125}, {6, 0}};
  const int kode[5] = {0, 111, 101, 1, 10};
  for (int n = 1; n <= 4; ++n) {
    m->coord(n, 1) = xy[n][0];
    m->coord(n, 2) = xy[n][1];
    m->kode(n) = kode[n];
    m->ndof(n) = 3;
  }
  for (int e = 1; e <= 3; ++e) {
    m->nside(e) = 1;
    m->nnode(e) = 2;
    m->lnods(e, 1) = e;
    m->lnods(e, 2) = e + 1;
    m->mattyp(e) = e == 3 ? 2 : 1;
    m->matset(e) = 1;
  }
  m->props(1, 1) = 210000.0;
  m->props(1, 2) = 0.3;
  return m;
}

TEST(PrintListing, WholeListingOfAFrame) {
  auto m = little_frame();
  EXPECT_EQ(listed(*m),
            "VORTAN - two-dimensional finite element package: mesh data listing\n"
            "\n"
            "Mesh title is: \n"
            "Little frame\n"
            "\n"
            "Integer problem constants\n"
            "-------------------------\n"
            "npoin =     4   nelem =     3\n"
            "\n"
            "Frame or beam problem\n"
            "\n"
            "Basic-level analysis\n"
            "\n"
            "Element-node connection data\n"
            "----------------------------\n"
            "\n"
            "Element  No. of  No. of  Matl     Nodes around element\n"
            " number   sides   nodes   type\n"
            "    1      1       2       1         1    2\n"
            "    2      1       2       1         2    3\n"
            "    3      1       2       2         3    4\n"
            "\n"
            "Nodal Coordinates\n"
            "-----------------\n"
            "\n"
            " Node     x-coord      y-coord  ndof\n"
            "    1        0.000        0.000    3\n"
            "    2        2.500        4.000    3\n"
            "    3       -1.250       10.125    3\n"
            "    4        6.000        0.000    3\n"
            "\n"
            "Fixed degrees of freedom:\n"
            "-------------------------\n"
            "\n"
            "Fixed in x-direction:\n"
            "--------------------\n"
            "    2\n"
            "\n"
            "Fixed in y-direction:\n"
            "--------------------\n"
            "    4\n"
            "\n"
            "Fixed in both directions:\n"
            "------------------------\n"
            "    1\n"
            "\n"
            "Fixed rotations:\n"
            "---------------\n"
            "    3\n"
            "    2\n"
            "    1\n"
            "\n"
            "Material Properties\n"
            "-------------------\n"
            "Elts in mat. prop. set 1:\n"
            "    1    2    3\n"
            "\n"
            "The non-zero mat. properties are:\n"
            "\n"
            "Set number 1\n"
            "Component 1 has value 210000.0\n"
            "Component 2 has value 0.3\n");
}

TEST(PrintListing, BasicElasticityGroupsByTwoDigitCodes) {
  auto m = little_frame();
  m->ndofn = 2;
  const int kode[5] = {0, 10, 1, 11, 10};
  for (int n = 1; n <= 4; ++n) {
    m->ndof(n) = 2;
    m->kode(n) = kode[n];
  }
  std::string t = listed(*m);
  EXPECT_NE(t.find("Elasticity problem\n\nBasic-level analysis\n\nElement-node"), std::string::npos);
  EXPECT_EQ(t.find("parameter"), std::string::npos);
  EXPECT_EQ(t.find("Fixed rotations:"), std::string::npos);
  EXPECT_EQ(block(t, "Fixed in x-direction:"),
            (std::vector<std::string>{"Fixed in x-direction:", "--------------------", "    1    4"}));
  EXPECT_EQ(block(t, "Fixed in y-direction:"),
            (std::vector<std::string>{"Fixed in y-direction:", "--------------------", "    2"}));
  EXPECT_EQ(block(t, "Fixed in both directions:"),
            (std::vector<std::string>{"Fixed in both directions:", "------------------------", "    3"}));
}

TEST(PrintListing, AdvancedMeshWithMixedDof) {
  ScriptedSession session("");
  auto m = std::make_unique<MeshModel>();
  std::istringstream in(
      test::read_file(std::string(VORTAN_SOURCE_DIR) + "/examples/advanced.dat"));
  INPUT(in, *m);
  std::string t = listed(*m);
  EXPECT_NE(t.find("Elasticity problem\n\n"
                   "Advanced-level analysis\n"
                   "   Extra mesh parameters:\n"
                   "     First real parameter = 9.81\n"
                   "     Second real parameter = 0.5\n"
                   "     First integer parameter = 1\n"
                   "     Second integer parameter = 0\n"
                   "     Third integer parameter = 3\n"
                   "     Fourth integer parameter = 2\n"
                   "     Third real parameter = 100.0\n"
                   "     Fourth real parameter = -0.25\n\n"),
            std::string::npos)
      << t;
  // Each node is grouped by its own digits: 101 (3 d.o.f.) and 1001 (4).
  EXPECT_EQ(block(t, "Fixed in x-direction:"),
            (std::vector<std::string>{"Fixed in x-direction:", "--------------------", "    5", "    4"}));
  EXPECT_EQ(block(t, "Fixed in y-direction:"),
            (std::vector<std::string>{"Fixed in y-direction:", "--------------------", "    2"}));
  EXPECT_EQ(block(t, "Fixed in both directions:"),
            (std::vector<std::string>{"Fixed in both directions:", "------------------------", "    1"}));
  EXPECT_EQ(block(t, "Material Properties"),
            (std::vector<std::string>{"Material Properties", "-------------------",
                                      "Elts in mat. prop. set 1:", "    1    2",
                                      "Elts in mat. prop. set 2:", "    3"}));
  EXPECT_NE(t.find("Set number 1\nComponent 1 has value 30000.0\nComponent 2 has value 0.25\n"
                   "Component 5 has value 1.00000E-06\n\nSet number 2\n"),
            std::string::npos);
  EXPECT_EQ(block(t, " Node     x-coord      y-coord  ndof")[3], "    3        2.250        3.125    4");
}

TEST(PrintListing, PoissonListsDirichletNodes) {
  ScriptedSession session("");
  auto m = std::make_unique<MeshModel>();
  std::istringstream in(
      test::read_file(std::string(VORTAN_SOURCE_DIR) + "/examples/poisson.dat"));
  INPUT(in, *m);
  std::string t = listed(*m);
  EXPECT_NE(t.find("Poisson/Laplace problem\n"), std::string::npos);
  EXPECT_EQ(block(t, "Dirichlet nodes (KODE=1):"),
            (std::vector<std::string>{"Dirichlet nodes (KODE=1):", "-------------------------",
                                      "    1    3    4    6    7    9"}));
  EXPECT_EQ(t.find("Fixed"), std::string::npos);
}

// 30 triangles on three nodes, all in set 1.
std::unique_ptr<MeshModel> thirty_elements() {
  auto m = little_frame();
  m->ndofn = 2;
  m->npoin = 3;
  m->nelem = 30;
  for (int e = 1; e <= 30; ++e) {
    m->nside(e) = 3;
    m->nnode(e) = 3;
    for (int k = 1; k <= 3; ++k) m->lnods(e, k) = k;
    m->mattyp(e) = 1;
    m->matset(e) = 1;
  }
  return m;
}

TEST(PrintListing, FourteenNumbersToALine) {
  auto m = thirty_elements();
  EXPECT_EQ(block(listed(*m), "Elts in mat. prop. set 1:"),
            (std::vector<std::string>{
                "Elts in mat. prop. set 1:",
                "    1    2    3    4    5    6    7    8    9   10   11   12   13   14",
                "   15   16   17   18   19   20   21   22   23   24   25   26   27   28",
                "   29   30"}));
}

TEST(PrintListing, TextWindowPausesBetweenSectionsAndPages) {
  auto m = thirty_elements();
  // Pauses: before the elements, before element 25, before the nodes,
  // the fixities, the material sets and the property values.
  ScriptedSession session("key a\nkey b\nkey c\nkey d\nkey e\nkey f\n");
  PRINT(nullptr, *m);
  auto t = lines_of(session.transcript());
  const std::string pause = "Press any key to continue!";
  int pauses = 0;
  size_t e24 = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == pause) ++pauses;
    if (t[i] == "   24      3       3       1         1    2    3") e24 = i;
  }
  EXPECT_EQ(pauses, 6);
  ASSERT_GT(e24, 0u);
  ASSERT_LT(e24 + 2, t.size());
  EXPECT_EQ(t[e24 + 1], pause);
  EXPECT_EQ(t[e24 + 2], "   25      3       3       1         1    2    3");
  // Without the pauses the text window shows what the file gets.
  std::string shown;
  for (const auto& l : t)
    if (l != pause) shown += l + "\n";
  EXPECT_EQ(shown, listed(*m));
}

TEST(PrintListing, NodeLinesPauseEveryTwentyFive) {
  auto m = little_frame();
  m->npoin = 50;
  ScriptedSession session("key a\nkey a\nkey a\nkey a\nkey a\nkey a\nkey a\n");
  PRINT(nullptr, *m);
  auto t = lines_of(session.transcript());
  int pauses = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] != "Press any key to continue!") continue;
    ++pauses;
    if (i > 0 && t[i - 1].rfind("   24  ", 0) == 0) {
      EXPECT_EQ(t[i + 1].substr(0, 7), "   25  ");
    }
  }
  EXPECT_EQ(pauses, 7);  // five between sections, before node 25 and node 50
  EXPECT_NE(session.transcript().find("   49        0.000        0.000    0\n"
                                      "Press any key to continue!\n"
                                      "   50        0.000        0.000    0\n"),
            std::string::npos);
}

}  // namespace
}  // namespace vortan
