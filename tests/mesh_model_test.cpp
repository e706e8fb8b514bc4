// The mesh model's shared utilities and element catalogue.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <string>

#include "mesh_model.h"
#include "test_support.h"

namespace vortan {
namespace {

TEST(MeshUtilities, LenstrIgnoresTrailingBlanksOnly) {
  EXPECT_EQ(LENSTR("abc  "), 3);
  EXPECT_EQ(LENSTR("  a b"), 5);
  EXPECT_EQ(LENSTR("     "), 0);
  EXPECT_EQ(LENSTR(""), 0);
}

TEST(MeshUtilities, GethomSplitsEitherSeparator) {
  std::string folder;
  int n = -1;
  GETHOM("C:\\meshes\\dam.dat", folder, n);
  EXPECT_EQ(folder, "C:\\meshes");
  EXPECT_EQ(n, 9);
  GETHOM("/home/ann/meshes/dam.dat      ", folder, n);
  EXPECT_EQ(folder, "/home/ann/meshes");
  EXPECT_EQ(n, 16);
  GETHOM("dam.dat", folder, n);  // no folder before the file name
  EXPECT_EQ(folder, "");
  EXPECT_EQ(n, 0);
  GETHOM("C:\\meshes\\", folder, n);  // a folder alone loses one trailing separator
  EXPECT_EQ(folder, "C:\\meshes");
  GETHOM("/home/ann", folder, n);
  EXPECT_EQ(folder, "/home/ann");
  EXPECT_EQ(n, 9);
}

TEST(MeshUtilities, ScanStopsBeforeTheFifteenthMatch) {
  // Entries 1..30; every index except 3, 6, 9, ... holds 7: 20 matches.
  int table[31];
  for (int i = 1; i <= 30; ++i) table[i] = i % 3 == 0 ? 0 : 7;
  auto get = [&](int i) { return table[i]; };
  int list[14];
  int last = 0;
  SCAN(list, 1, last, 7, get, 30);
  const int first14[14] = {1, 2, 4, 5, 7, 8, 10, 11, 13, 14, 16, 17, 19, 20};
  for (int k = 0; k < 14; ++k) EXPECT_EQ(list[k], first14[k]) << k;
  EXPECT_EQ(last, 21);  // the 15th match is at 22
  // The next call takes the rest and reaches the end; unused places are 0.
  SCAN(list, last + 1, last, 7, get, 30);
  const int rest[6] = {22, 23, 25, 26, 28, 29};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(list[k], rest[k]);
  for (int k = 6; k < 14; ++k) EXPECT_EQ(list[k], 0);
  EXPECT_EQ(last, 30);
}

TEST(MeshUtilities, Scan10HasRoomForTen) {
  auto all = [](int) { return 4; };
  int list[10];
  int last = 0;
  SCAN10(list, 5, last, 4, all, 40);
  EXPECT_EQ(list[0], 5);
  EXPECT_EQ(list[9], 14);
  EXPECT_EQ(last, 14);
  SCAN10(list, 1, last, 9, all, 40);  // no match: all zero, end reached
  for (int v : list) EXPECT_EQ(v, 0);
  EXPECT_EQ(last, 40);
}

TEST(MeshUtilities, TruncRoundsThousandths) {
  EXPECT_EQ(TRUNC(2.0006), 2001);
  EXPECT_EQ(TRUNC(2.0004), 2000);
  EXPECT_EQ(TRUNC(-0.0014), -1);
  EXPECT_EQ(TRUNC(0.0), 0);
}

TEST(MeshUtilities, CheckelUsesTheClosedRectangle) {
  auto m = std::make_unique<MeshModel>();
  m->coord(1, 1) = 0.0; m->coord(1, 2) = 0.0;
  m->coord(2, 1) = 2.0; m->coord(2, 2) = 0.0;
  m->coord(3, 1) = 2.0; m->coord(3, 2) = 1.0;
  m->nnode(1) = 3;
  m->lnods(1, 1) = 1; m->lnods(1, 2) = 2; m->lnods(1, 3) = 3;
  EXPECT_EQ(CHECKEL(1, *m, 0.0, 2.0, 0.0, 1.0), 1);   // on the edges counts as inside
  EXPECT_EQ(CHECKEL(1, *m, 0.0, 1.999, 0.0, 1.0), 0);
  EXPECT_EQ(CHECKEL(1, *m, 0.001, 2.0, -5.0, 5.0), 0);
}

// Local coordinates of the nodes of each shape, in element node order.
struct ShapeCase {
  int key;
  int nodes;
  double st[8][2];
};

TEST(MeshUtilities, ShapeFunctionsAreOneAtTheirNodeAndSumToOne) {
  const ShapeCase cases[] = {
      {21, 2, {{-1, 0}, {1, 0}}},
      {31, 3, {{-1, 0}, {0, 0}, {1, 0}}},
      {33, 3, {{0, 0}, {1, 0}, {0, 1}}},
      {44, 4, {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}},
      {63, 6, {{0, 0}, {0.5, 0}, {1, 0}, {0.5, 0.5}, {0, 1}, {0, 0.5}}},
      {84, 8, {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}}},
  };
  for (const auto& c : cases) {
    for (int k = 0; k < c.nodes; ++k) {
      double v[8] = {};
      SHAPE(c.st[k][0], c.st[k][1], c.key, v);
      for (int j = 0; j < c.nodes; ++j)
        EXPECT_NEAR(v[j], j == k ? 1.0 : 0.0, 1e-12) << "key " << c.key << " node " << k + 1;
    }
    double v[8] = {};
    SHAPE(0.21, 0.33, c.key, v);  // an inside point of every shape
    double sum = 0;
    for (int j = 0; j < c.nodes; ++j) sum += v[j];
    EXPECT_NEAR(sum, 1.0, 1e-12) << "key " << c.key;
  }
  // The middle node of a quadratic line at a quarter point.
  double v[3];
  SHAPE(0.5, 0, 31, v);
  EXPECT_NEAR(v[0], -0.125, 1e-12);
  EXPECT_NEAR(v[1], 0.75, 1e-12);
  EXPECT_NEAR(v[2], 0.375, 1e-12);
}

TEST(MeshUtilities, ElementCatalogue) {
  EXPECT_EQ(element_type_code(element_key(8, 4)), 9);
  EXPECT_EQ(element_type_code(element_key(6, 1)), 2);  // the rockbolt
  EXPECT_EQ(element_type_code(element_key(4, 2)), 13);
  EXPECT_EQ(element_type_code(element_key(5, 4)), 0);  // no such type
  EXPECT_EQ(element_type_name(9), "8-noded (Serendipity) quadrilateral");
  EXPECT_EQ(element_type_name(14), "quadratic joint element");
}

TEST(MeshUtilities, EltypOutsideTheCatalogueNamesTheJoint) {
  test::ScriptedSession session("");
  ELTYP(0);
  ELTYP(5);
  EXPECT_EQ(session.transcript(),
            "You have chosen the\nquadratic joint element\n"
            "You have chosen the\nlinear triangle\n");
}

TEST(MeshUtilities, FixityCodeKeepsLeadingZeros) {
  EXPECT_EQ(kode_text(1, 3), "001");
  EXPECT_EQ(kode_text(1, 2), "01");
  EXPECT_EQ(kode_text(10, 4), "0010");
  EXPECT_EQ(kode_text(0, 1), "0");
  EXPECT_EQ(kode_text(111, 3), "111");
}

TEST(MeshUtilities, TitlesKeepTheirFirstSixtyCharacters) {
  auto m = std::make_unique<MeshModel>();
  // Shown: cut at 60, then the blanks it ends with dropped.
  m->title = std::string(59, 'a') + " b" + std::string(19, ' ');
  EXPECT_EQ(title_shown(*m), std::string(59, 'a'));
  m->title = "Plate  " + std::string(73, ' ');
  EXPECT_EQ(title_shown(*m), "Plate");
  // Typed: cut at 60 and held padded to 80.
  EXPECT_EQ(typed_title(std::string(70, 'x')), std::string(60, 'x') + std::string(20, ' '));
  EXPECT_EQ(typed_title("Beam"), "Beam" + std::string(76, ' '));
}

// Without NDEBUG (debug and sanitizer builds) an index outside a table
// stops the program where it is made; a build without assertions has no
// such test.
#ifndef NDEBUG
TEST(MeshModelDeathTest, TablesRefuseAnIndexOutsideTheirBounds) {
  auto m = std::make_unique<MeshModel>();
  EXPECT_DEATH(m->kode(0) = 1, "");
  EXPECT_DEATH(m->kode(MPOIN + 1) = 1, "");
  EXPECT_DEATH(m->lnods(1, MNODE + 1) = 1, "");
  EXPECT_DEATH(m->lnods(MELEM + 1, 1) = 1, "");
}
#endif

TEST(MeshUtilities, ClearMeshEmptiesTheModel) {
  auto m = std::make_unique<MeshModel>();
  m->npoin = 3;
  m->lnods(9999, 8) = 5;
  m->props(9, 9) = 1.0;
  m->title = "x";
  clear_mesh(*m);
  EXPECT_EQ(m->npoin, 0);
  EXPECT_EQ(m->lnods(9999, 8), 0);
  EXPECT_EQ(m->props(9, 9), 0.0);
  EXPECT_EQ(m->title, std::string(80, ' '));
}

// Each node is tested against 1..npoin whatever its sign or size, and only
// the element's own nnode columns count.
TEST(MeshUtilities, ValidElementRefusesEveryNodeOutsideTheMesh) {
  auto m = make_tables<MeshModel>();
  clear_mesh(*m);
  m->npoin = 5;
  m->nelem = 2;
  m->nnode(2) = 3;
  for (int k = 1; k <= 3; ++k) m->lnods(2, k) = k + 2;  // 3 4 5
  m->lnods(2, 4) = -7;  // past nnode: not looked at
  EXPECT_TRUE(valid_element(*m, 2));
  for (int bad : {0, -1, 6, INT_MIN, INT_MAX}) {
    for (int k = 1; k <= 3; ++k) {
      m->lnods(2, k) = bad;
      EXPECT_FALSE(valid_element(*m, 2)) << "node " << bad << " in column " << k;
      m->lnods(2, k) = k + 2;
    }
  }
  for (int nn : {0, -1, MNODE + 1}) {
    m->nnode(2) = nn;
    EXPECT_FALSE(valid_element(*m, 2)) << "nnode " << nn;
  }
  m->nnode(2) = 3;
  EXPECT_FALSE(valid_element(*m, 0));
  EXPECT_FALSE(valid_element(*m, 3));
  EXPECT_FALSE(valid_element(*m, 1));  // no node given
  m->npoin = 4;                         // node 5 no longer in the mesh
  EXPECT_FALSE(valid_element(*m, 2));
}

// A row read whole is the row as entry by entry, reached or not; one
// filled for writing is reached with those below it.
TEST(MeshUtilities, TableRowsReadAsTheirEntries) {
  auto t = make_tables<Table2<double, 100, 2>>();
  t->fill(2.5);
  (*t)(3, 2) = 7;
  EXPECT_EQ(t->row(3)[2], 7);
  EXPECT_EQ(t->row(2)[1], 2.5);
  EXPECT_EQ(t->row(50)[2], 2.5);  // not reached
  double* r = t->row_to_fill(10);
  EXPECT_EQ(r[1], 2.5);
  r[1] = -1;
  EXPECT_EQ((*t)(10, 1), -1);
  EXPECT_EQ((*t)(9, 2), 2.5);
  EXPECT_EQ(t->row(11)[1], 2.5);
}

}  // namespace
}  // namespace vortan
