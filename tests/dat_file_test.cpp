// Part A of the .dat file: writing it column for column, reading it back
// (with the corrections and refusals of the reader), and finding Part B.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "dat_file.h"
#include "mesh_model.h"
#include "platform/platform.h"
#include "test_support.h"

namespace vortan {
namespace {

using test::lines_of;

using test::ScriptedSession;

std::string example(const std::string& name) {
  return test::read_file(std::string(VORTAN_SOURCE_DIR) + "/examples/" + name);
}

std::string written(const MeshModel& m) {
  std::ostringstream out;
  OUTPUT(out, m);
  return out.str();
}

// Reads `text` as a .dat file; returns the exit status when the reader
// ends the program, -1 when it returns.
int read_text(const std::string& text, MeshModel& m) {
  std::istringstream in(text);
  try {
    INPUT(in, m);
  } catch (const ProgramExit& e) {
    return e.status;
  }
  return -1;
}

// A small Basic elasticity mesh: one linear quadrilateral.
std::unique_ptr<MeshModel> one_quad() {
  auto m = std::make_unique<MeshModel>();
  clear_mesh(*m);
  m->title = "One quad";
  m->title.resize(80, ' ');
  m->npoin = 4;
  m->nelem = 1;
  m->ndofn = 2;
  m->npros = 1;
  const double xy[5][2] = {{0, 0}, {0, 0}, {2, 0}, {2, 1}, {0, 1}};
  for (int n = 1; n <= 4; ++n) {
    m->coord(n, 1) = xy[n][0];
    m->coord(n, 2) = xy[n][1];
    m->ndof(n) = 2;
  }
  m->kode(1) = 11;
  m->kode(2) = 1;
  m->nnode(1) = 4;
  m->nside(1) = 4;
  m->mattyp(1) = 1;
  m->matset(1) = 1;
  for (int k = 1; k <= 4; ++k) m->lnods(1, k) = k;
  m->props(1, 1) = 1000.0;
  m->props(1, 2) = 0.25;
  return m;
}

const char* const NODE_LINE =
    "a node line: flag (I1), fixity code (4 digits), node no. (I5), x and y (F10 each), "
    "no. of d.o.f. (I5)";

const char* const ONE_QUAD =
    "One quad\n"
    "npoin nelem ndofn npros   extra parameters\n"
    "    4    1    2    1\n"
    "nside typ/set elt       nodes\n"
    "1   4 1  1    1    1    2    3    4\n"
    "kode  node  x-coord   y-coord ndof\n"
    "0  11    1   0.00000   0.00000    2\n"
    "0  01    2   2.00000   0.00000    2\n"
    "0  00    3   2.00000   1.00000    2\n"
    "1  00    4   0.00000   1.00000    2\n"
    "  set cmpnt         value\n"
    "0   1    1           0.100E+04\n"
    "0   1    2           0.250E+00\n"
    "1\n";

TEST(DatFileWrite, BasicMeshColumnForColumn) {
  auto m = one_quad();
  EXPECT_EQ(written(*m), ONE_QUAD);
}

TEST(DatFileWrite, AdvancedControlLineAndWideValues) {
  auto m = one_quad();
  m->ndofn = -2;
  m->rextra = {0, 1.25, -3.0, 0.001, 12345.678};
  m->iextra = {0, 1, 22, 333, 4444};
  m->coord(3, 1) = -1234567.0;  // too wide for five decimals
  auto l = lines_of(written(*m));
  ASSERT_GE(l.size(), 9u);
  EXPECT_EQ(l[2], "    4    1   -2    1   1.25000  -3.00000    1   22  333 4444   0.0010012345.6780");
  EXPECT_EQ(l[8], "0  00    3-1234567.0   1.00000    2");
  // Both wide forms read back (to the precision written).
  auto back = std::make_unique<MeshModel>();
  ScriptedSession session("");
  ASSERT_EQ(read_text(written(*m), *back), -1);
  EXPECT_DOUBLE_EQ(back->rextra[4], 12345.678);
  EXPECT_DOUBLE_EQ(back->rextra[3], 0.001);
  EXPECT_DOUBLE_EQ(back->coord(3, 1), -1234567.0);
  EXPECT_EQ(back->iextra[4], 4444);
}

TEST(DatFileWrite, FixityCodeHasOneDigitPerDof) {
  auto m = one_quad();
  m->ndof(1) = 1; m->kode(1) = 1;
  m->ndof(2) = 2; m->kode(2) = 1;
  m->ndof(3) = 3; m->kode(3) = 1;
  m->ndof(4) = 4; m->kode(4) = 10;
  auto l = lines_of(written(*m));
  EXPECT_EQ(l[6].substr(0, 10), "0   1    1");
  EXPECT_EQ(l[7].substr(0, 10), "0  01    2");  // "01" in columns 4-5
  EXPECT_EQ(l[8].substr(0, 10), "0 001    3");
  EXPECT_EQ(l[9].substr(0, 10), "10010    4");
  auto back = std::make_unique<MeshModel>();
  ScriptedSession session("");
  ASSERT_EQ(read_text(written(*m), *back), -1);
  EXPECT_EQ(back->kode(2), 1);
  EXPECT_EQ(back->ndof(2), 2);
  EXPECT_EQ(back->kode(4), 10);
  EXPECT_EQ(back->ndof(4), 4);
}

TEST(DatFileWrite, TitleKeepsFiftyCharactersAndZeroPropertiesAreLeftOut) {
  auto m = one_quad();
  std::string sixty;
  for (int i = 0; i < 6; ++i) sixty += "abcdefghi" + std::to_string(i);
  ASSERT_EQ(sixty.size(), 60u);
  m->title = sixty;
  m->title.resize(80, ' ');
  m->props(1, 1) = 0.0;
  m->props(1, 2) = -0.0;
  m->props(1, 4) = -0.001;
  auto l = lines_of(written(*m));
  EXPECT_EQ(l[0], sixty.substr(0, 50));
  ASSERT_EQ(l.size(), 13u);
  EXPECT_EQ(l[11], "0   1    4          -0.100E-02");
  EXPECT_EQ(l[12], "1");

  auto back = std::make_unique<MeshModel>();
  ScriptedSession session("");
  ASSERT_EQ(read_text(written(*m), *back), -1);
  EXPECT_EQ(back->title, sixty.substr(0, 50) + std::string(30, ' '));
  EXPECT_EQ(back->props(1, 1), 0.0);
  EXPECT_EQ(back->props(1, 2), 0.0);
  EXPECT_DOUBLE_EQ(back->props(1, 4), -0.001);
}

// Every example reads and is written back identically; the stream is left
// just after Part A.
TEST(DatFileRead, ExamplesRoundTrip) {
  for (const char* name : {"quad8.dat", "poisson.dat", "advanced.dat", "frame.dat"}) {
    std::string text = example(name);
    ASSERT_FALSE(text.empty()) << name;
    std::string part_a = text.substr(0, text.find("nbset npset"));
    auto m = std::make_unique<MeshModel>();
    ScriptedSession session("");
    std::istringstream in(text);
    INPUT(in, *m);
    EXPECT_EQ(written(*m), part_a) << name;
    EXPECT_EQ(session.transcript(), "") << name;  // no warnings
    std::string next;
    if (std::string(name) == "quad8.dat") {
      ASSERT_TRUE(find_part_b(in));
      ASSERT_TRUE(std::getline(in, next));
      EXPECT_EQ(next, "nbset npset");
    } else {
      EXPECT_FALSE(find_part_b(in)) << name;
    }
  }
}

TEST(DatFileRead, ExampleValues) {
  ScriptedSession session("");
  auto m = std::make_unique<MeshModel>();
  ASSERT_EQ(read_text(example("quad8.dat"), *m), -1);
  EXPECT_EQ(m->npoin, 21);
  EXPECT_EQ(m->nelem, 4);
  EXPECT_EQ(m->ndofn, 2);
  EXPECT_EQ(m->nnode(4), 8);
  EXPECT_EQ(m->nside(4), 4);
  EXPECT_EQ(m->lnods(4, 8), 15);
  EXPECT_EQ(m->kode(1), 11);
  EXPECT_EQ(m->kode(2), 1);
  EXPECT_EQ(m->kode(6), 10);
  EXPECT_DOUBLE_EQ(m->coord(12, 1), 1.5);
  EXPECT_DOUBLE_EQ(m->props(1, 1), 210000.0);
  EXPECT_DOUBLE_EQ(m->props(1, 2), 0.3);
  EXPECT_EQ(m->title.substr(0, 42), "Two by two mesh of 8-noded quadrilaterals ");
  EXPECT_EQ(m->title.size(), 80u);

  ASSERT_EQ(read_text(example("advanced.dat"), *m), -1);
  EXPECT_EQ(m->ndofn, -2);
  EXPECT_EQ(m->npoin, 5);
  EXPECT_DOUBLE_EQ(m->rextra[1], 9.81);
  EXPECT_DOUBLE_EQ(m->rextra[3], 100.0);
  EXPECT_DOUBLE_EQ(m->rextra[4], -0.25);
  EXPECT_EQ(m->iextra[3], 3);
  EXPECT_EQ(m->kode(3), 10);
  EXPECT_EQ(m->ndof(3), 4);
  EXPECT_EQ(m->kode(4), 1001);
  EXPECT_EQ(m->kode(5), 101);
  EXPECT_EQ(m->ndof(5), 3);
  EXPECT_EQ(m->nnode(2), 3);
  EXPECT_EQ(m->nside(3), 1);
  EXPECT_EQ(m->mattyp(3), 2);
  EXPECT_EQ(m->matset(3), 2);
  EXPECT_DOUBLE_EQ(m->props(1, 5), 1.0e-6);
  EXPECT_DOUBLE_EQ(m->props(2, 3), 0.01);
  // The previous mesh's 21 nodes and 4 elements are gone.
  EXPECT_EQ(m->kode(6), 0);
  EXPECT_EQ(m->nnode(4), 0);
  EXPECT_EQ(m->lnods(4, 8), 0);
  EXPECT_DOUBLE_EQ(m->props(1, 2), 0.25);
}

// Part A lines around the element and node blocks given by the tests below.
std::string file_with(const std::string& control, const std::string& elements,
                      const std::string& nodes, const std::string& props = "") {
  return "Test mesh\nnpoin nelem ndofn npros   extra parameters\n" + control +
         "\nnside typ/set elt       nodes\n" + elements +
         "kode  node  x-coord   y-coord ndof\n" + nodes + "  set cmpnt         value\n" + props +
         "1\n";
}

const char* const TRIANGLE_NODES =
    "0   0    1   0.00000   0.00000    2\n"
    "0   0    2   1.00000   0.00000    2\n"
    "1   0    3   0.00000   1.00000    2\n";

TEST(DatFileRead, ElementCountIsCorrectedWithWarnings) {
  ScriptedSession session("");
  auto m = std::make_unique<MeshModel>();
  std::string f = file_with("    3    2    2    1",
                            "0   3 1  1    1    1    2    3\n"
                            "0   3 1  1    2    1    2    3\n"
                            "1   3 1  1    3    1    2    3\n",
                            TRIANGLE_NODES);
  ASSERT_EQ(read_text(f, *m), -1);
  EXPECT_EQ(m->nelem, 3);
  EXPECT_EQ(m->nnode(3), 3);
  EXPECT_EQ(session.transcript(),
            "WARNING: no. of elements differs from NELEM\nNELEM changed to 3\n");
}

TEST(DatFileRead, ElementLinesTakeTheirSlotsAndDefaults) {
  ScriptedSession session("");
  auto m = std::make_unique<MeshModel>();
  // Element 2 first; element 1 with a blank nside and a 0 node followed by
  // more node numbers; element 3's type and set blank.
  std::string f = file_with("    3    3    2    1",
                            "0   3 2  1    2    3    2    1\n"
                            "0     1  1    1    1    2    0    3\n"
                            "1   1         3    1    2\n",
                            TRIANGLE_NODES);
  ASSERT_EQ(read_text(f, *m), -1);
  EXPECT_EQ(m->nside(1), 4);
  EXPECT_EQ(m->nnode(1), 2);
  EXPECT_EQ(m->lnods(1, 2), 2);
  EXPECT_EQ(m->lnods(1, 4), 0);  // nothing is kept beyond the element's nodes
  EXPECT_EQ(m->mattyp(2), 2);
  EXPECT_EQ(m->lnods(2, 1), 3);
  EXPECT_EQ(m->nnode(2), 3);
  EXPECT_EQ(m->mattyp(3), 0);
  EXPECT_EQ(m->matset(3), 0);
  EXPECT_EQ(m->mattyp(4), 1);  // unread slots: type 1, nothing else
  EXPECT_EQ(m->nnode(4), 0);
  EXPECT_EQ(session.transcript(), "");
}

TEST(DatFileRead, NodeBeyondNpoinRaisesItAndUnlistedNodesKeepDefaults) {
  ScriptedSession session("");
  auto m = std::make_unique<MeshModel>();
  std::string f = file_with("    2    1   -3    0",
                            "1   3 1  1    1    1    2    5\n",
                            "0   1    1      1500      1500\n"
                            "01111    2     1500.     -2.5     4\n"
                            "1 101    5   3.00000   4.00000     \n");
  ASSERT_EQ(read_text(f, *m), -1);
  EXPECT_EQ(m->npoin, 5);
  EXPECT_DOUBLE_EQ(m->coord(1, 1), 1.5);     // implied decimals
  EXPECT_DOUBLE_EQ(m->coord(2, 1), 1500.0);  // a decimal point overrides them
  EXPECT_DOUBLE_EQ(m->coord(2, 2), -2.5);
  EXPECT_EQ(m->ndof(1), 3);  // blank ndof keeps abs(ndofn)
  EXPECT_EQ(m->ndof(2), 4);
  EXPECT_EQ(m->kode(2), 1111);
  EXPECT_EQ(m->kode(5), 101);
  for (int n : {3, 4}) {
    EXPECT_EQ(m->coord(n, 1), 0.0);
    EXPECT_EQ(m->coord(n, 2), 0.0);
    EXPECT_EQ(m->kode(n), 0);
    EXPECT_EQ(m->ndof(n), 3);
  }
  EXPECT_EQ(session.transcript(), "WARNING: node no. 5 exceeds NPOIN\nNPOIN increased to 5\n");
}

// What the reader keeps, the writer writes: a property set beyond npros
// raises npros (as a node beyond npoin raises npoin) instead of being lost
// at the next save, and a Basic-level control line reads no extra
// parameters, which would never be written back; a title reads the same.
TEST(DatFileRead, NothingReadIsLostWhenWrittenBack) {
  ScriptedSession session("");
  auto m = std::make_unique<MeshModel>(), again = std::make_unique<MeshModel>();
  const std::string f = file_with("    3    1    2    1 1    1    1",
                                  "1   3 1  1    1    1    2    3\n", TRIANGLE_NODES,
                                  "0   1    1           0.100E+04\n"
                                  "0   5    2           0.250E+01\n");
  ASSERT_EQ(read_text(f, *m), -1);
  EXPECT_EQ(m->npros, 5);
  EXPECT_DOUBLE_EQ(m->props(5, 2), 2.5);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(m->rextra[i], 0.0);
    EXPECT_EQ(m->iextra[i], 0);
  }
  EXPECT_EQ(session.transcript(),
            "WARNING: property set no. 5 exceeds NPROS\nNPROS increased to 5\n");
  ASSERT_EQ(read_text(written(*m), *again), -1);
  EXPECT_EQ(again->npros, 5);
  // Control characters of a title read as blanks: a carriage return at its
  // end would be lost as a line end.
  ASSERT_EQ(read_text("Two\rlines\r\r\n" + f.substr(f.find('\n') + 1), *m), -1);
  EXPECT_EQ(m->title.substr(0, 12), "Two lines   ");
  ASSERT_EQ(read_text(written(*m), *again), -1);
  EXPECT_EQ(again->title, m->title);
  EXPECT_DOUBLE_EQ(again->props(5, 2), 2.5);
}

TEST(DatFileRead, DosLineEndsAreAccepted) {
  ScriptedSession session("");
  auto m = std::make_unique<MeshModel>();
  std::string text = ONE_QUAD, dos;
  for (char c : text) {
    if (c == '\n') dos += '\r';
    dos += c;
  }
  ASSERT_EQ(read_text(dos, *m), -1);
  EXPECT_EQ(written(*m), ONE_QUAD);
}

TEST(DatFileRead, EndOfFileStopsTheProgram) {
  std::string text = ONE_QUAD;
  text = text.substr(0, text.find("1  00    4"));  // cut before the last node
  ScriptedSession session("");
  auto m = std::make_unique<MeshModel>();
  EXPECT_EQ(read_text(text, *m), 1);
  auto t = lines_of(session.transcript());
  ASSERT_EQ(t.size(), 3u);
  EXPECT_NE(t[0].find("Vortan - error"), std::string::npos);
  EXPECT_NE(t[0].find("Error - end of file encountered during input"), std::string::npos);
  // The fourth node should have been line 10.
  EXPECT_EQ(t[1], std::string("the data, line 10: the file ends here; it should hold ") + NODE_LINE);
  EXPECT_EQ(t[2], "Mesh title is: One quad");

  ScriptedSession empty_file("");
  EXPECT_EQ(read_text("", *m), 1);
  EXPECT_NE(empty_file.transcript().find("Error - end of file encountered during input"),
            std::string::npos);
}

// A real with two points, and a fixity code with a sign (no row of digits:
// it would be written back without its sign).
TEST(DatFileRead, MalformedFieldStopsTheProgram) {
  // The third node's y (line 9), the second node's code (line 8).
  for (const auto& [field, bad, line] : {std::tuple{"   1.00000    2\n1", "   1.0.000", 9},
                                         std::tuple{"0  01    2", "0  -1    2", 8}}) {
    std::string text = ONE_QUAD;
    text.replace(text.find(field), 10, bad);
    ScriptedSession session("");
    auto m = std::make_unique<MeshModel>();
    EXPECT_EQ(read_text(text, *m), 1) << bad;
    auto t = lines_of(session.transcript());
    ASSERT_EQ(t.size(), 3u);
    EXPECT_NE(t[0].find("Error - wrong format in data file"), std::string::npos);
    EXPECT_EQ(t[1], "the data, line " + std::to_string(line) + ": it should hold " + NODE_LINE);
    EXPECT_EQ(t[2], "Mesh title is: One quad");
  }
}

TEST(DatFileRead, NodeNumberOutsideTheTableStopsTheProgram) {
  const std::pair<const char*, const char*> cases[] = {
      {"1   030001   1.00000   1.00000    2\n", "30001"},
      {"1   0   -4   1.00000   1.00000    2\n", "-4"}};
  for (const auto& [bad, number] : cases) {
    ScriptedSession session("");
    auto m = std::make_unique<MeshModel>();
    std::string f = file_with("    3    1    2    1", "1   3 1  1    1    1    2    3\n",
                              std::string("0   0    1   0.00000   0.00000    2\n") + bad);
    EXPECT_EQ(read_text(f, *m), 1) << bad;
    std::string t = session.transcript();
    EXPECT_NE(t.find(std::string("ERROR: node no. ") + number + " exceeds MPOIN or is negative\n"),
              std::string::npos)
        << t;
    EXPECT_NE(t.find("Mesh title is: Test mesh\n"), std::string::npos);
    EXPECT_LE(m->npoin, MPOIN);  // the count never runs past the tables
  }
}

TEST(DatFileRead, NumbersBeyondTheTablesStopTheProgram) {
  const std::string good_element = "1   3 1  1    1    1    2    3\n";
  struct Case {
    std::string control, elements, props, message;
  };
  const Case cases[] = {
      {"    3    1    2    1", "1   3 1  1    0    1    2    3\n", "",
       "ERROR: element no. 0 exceeds MELEM or is not positive"},
      {"    3    1    2    1", "1   3 1  110000    1    2    3\n", "",
       "ERROR: element no. 10000 exceeds MELEM or is not positive"},
      {"    3    1    2    1", "1   3 1  1    1    1    230001\n", "",
       "ERROR: node no. 30001 of element 1 exceeds MPOIN or is negative"},
      {"    3    1    2    1", "1   3 1  1    1    1   -2    3\n", "",
       "ERROR: node no. -2 of element 1 exceeds MPOIN or is negative"},
      {"    3    1    2   10", good_element, "", "ERROR: NPROS = 10 exceeds MPROP or is negative"},
      {"30001    1    2    1", good_element, "", "ERROR: NPOIN = 30001 exceeds MPOIN or is negative"},
      {"    3    1    2    1", good_element, "0  10    1           0.100E+01\n",
       "ERROR: property set 10 component 1 exceeds MPROP or MCOMP"},
      {"    3    1    2    1", good_element, "0   1   10           0.100E+01\n",
       "ERROR: property set 1 component 10 exceeds MPROP or MCOMP"},
      {"    3    1    2    1", good_element, "0   1    0           0.100E+01\n",
       "ERROR: property set 1 component 0 exceeds MPROP or MCOMP"},
      // Numbers with a gap or given twice: an element would be lost.
      {"    3    2    2    1", "0   3 1  1    1    1    2    3\n1   3 1  1    3    1    2    3\n",
       "", "ERROR: element no. 2 is missing from the element lines"},
      {"    3    3    2    1", "0   3 1  1    1    1    2    3\n0   3 1  1    1    1    2    3\n" +
       good_element, "", "ERROR: element no. 1 appears twice in the element lines"},
  };
  for (const auto& c : cases) {
    ScriptedSession session("");
    auto m = std::make_unique<MeshModel>();
    EXPECT_EQ(read_text(file_with(c.control, c.elements, TRIANGLE_NODES, c.props), *m), 1)
        << c.message;
    EXPECT_EQ(session.transcript(), c.message + "\nMesh title is: Test mesh\n");
  }
}

TEST(DatFileRead, MoreElementLinesThanTheTableHoldsStopTheProgram) {
  std::string elements;
  for (int e = 1; e <= MELEM + 1; ++e)
    elements += std::string(e <= MELEM ? "0" : "1") + "   3 1  1" +
                std::string(5 - std::to_string(e).size(), ' ') + std::to_string(e) +
                "    1    2    3\n";
  ScriptedSession session("");
  auto m = std::make_unique<MeshModel>();
  EXPECT_EQ(read_text(file_with("    3    1    2    1", elements, TRIANGLE_NODES), *m), 1);
  EXPECT_EQ(session.transcript(),
            "ERROR: more than 9999 element lines; exceeds MELEM\nMesh title is: Test mesh\n");
}

TEST(DatFileRead, ReadingRewindsFirst) {
  ScriptedSession session("");
  auto m = std::make_unique<MeshModel>();
  std::stringstream s(ONE_QUAD);
  std::string skip;
  while (std::getline(s, skip)) {
  }  // at the end of the stream, failed
  INPUT(s, *m);
  EXPECT_EQ(m->npoin, 4);
  EXPECT_EQ(written(*m), ONE_QUAD);
}

TEST(DatFilePartB, FindingPartB) {
  std::istringstream ends("Part A\n");
  std::string l;
  std::getline(ends, l);
  EXPECT_FALSE(find_part_b(ends));

  std::istringstream blank("Part A\n\n");
  std::getline(blank, l);
  EXPECT_FALSE(find_part_b(blank));

  std::istringstream has("Part A\nnbset npset\n    0    0\n");
  std::getline(has, l);
  ASSERT_TRUE(find_part_b(has));
  ASSERT_TRUE(std::getline(has, l));
  EXPECT_EQ(l, "nbset npset");
}

const char* const LOADS_AND_REST =
    "nbset npset \n"
    "    1    1\n"
    "  ld  node x-cmpnt   y-cmpnt\n"
    "0   1    3 0.100E+01 0.000E+00\n"
    "0   2    4 0.000E+00-0.500E-02\n"
    "1\n"
    "   set  cpmnt     body force\n"
    "0   1    1           0.000E+00\n"
    "1   1    2          -0.200E+02\n"
    "   set  elements in this body force set\n"
    "0   1    1    2    0    0    0    0    0    0    0    0    0    0    0    0\n"
    "1\n"
    "   set  forces:     normal    tangential\n"
    "1   1    1 2         0.100E+03 0.000E+00\n"
    " nnas elt  n set     n set\n"
    "0   3    1    1 1     3 1\n"
    "1\n"
    " nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)\n"
    "    0    0\n"
    "nincs    increment sizes\n"
    "    2 0.50 0.50\n"
    "     dtint     ftime     allow     theta    ttend \n"
    "\n";

TEST(DatFilePartB, SkippingCopiedBlocks) {
  std::istringstream in(LOADS_AND_REST);
  ASSERT_TRUE(skip_copied_loads(in));
  std::string l;
  ASSERT_TRUE(std::getline(in, l));
  EXPECT_EQ(l, " nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)");
  std::getline(in, l);
  ASSERT_TRUE(skip_copied_block(in));
  ASSERT_TRUE(std::getline(in, l));
  EXPECT_EQ(l, "     dtint     ftime     allow     theta    ttend ");

  // No body forces or tractions: only the load list is skipped.
  std::istringstream none("nbset npset\n    0    0\n   ld  node  x-cmpnt    y-cmpnt\n1\nnext\n");
  ASSERT_TRUE(skip_copied_loads(none));
  std::getline(none, l);
  EXPECT_EQ(l, "next");
}

TEST(DatFilePartB, SkippingStopsQuietlyOnBadInput) {
  std::string text = LOADS_AND_REST;
  std::istringstream cut(text.substr(0, text.find("   set  forces")));
  EXPECT_FALSE(skip_copied_loads(cut));
  std::istringstream garbage("nbset npset\n  x  y\n");
  EXPECT_FALSE(skip_copied_loads(garbage));
  std::istringstream empty("");
  EXPECT_FALSE(skip_copied_loads(empty));
  std::istringstream one_line("nincs    increment sizes\n");
  EXPECT_FALSE(skip_copied_block(one_line));
}

}  // namespace
}  // namespace vortan

namespace vortan {
namespace {

// The tables of two readings: integers alike, reals alike to the precision
// of their fields (5 decimals for coordinates, 3 significant digits for
// properties), since the first reading may hold more digits than are written.
bool same_tables(const MeshModel& a, const MeshModel& b) {
  if (a.npoin != b.npoin || a.nelem != b.nelem || a.ndofn != b.ndofn || a.npros != b.npros ||
      a.title != b.title)
    return false;
  for (int e = 1; e <= a.nelem; ++e) {
    if (a.nnode(e) != b.nnode(e) || a.nside(e) != b.nside(e) || a.mattyp(e) != b.mattyp(e) ||
        a.matset(e) != b.matset(e))
      return false;
    for (int k = 1; k <= MNODE; ++k)
      if (a.lnods(e, k) != b.lnods(e, k)) return false;
  }
  for (int n = 1; n <= a.npoin; ++n) {
    if (a.kode(n) != b.kode(n) || a.ndof(n) != b.ndof(n)) return false;
    for (int c = 1; c <= 2; ++c)
      if (std::fabs(a.coord(n, c) - b.coord(n, c)) > 5.1e-6 * std::max(1.0, std::fabs(a.coord(n, c))))
        return false;
  }
  for (int s = 1; s <= a.npros; ++s)
    for (int c = 1; c <= MCOMP; ++c)
      if (std::fabs(a.props(s, c) - b.props(s, c)) > 5.1e-3 * std::fabs(a.props(s, c))) return false;
  return true;
}

// Every .dat of the examples and the tests: read, written, read again gives
// the same tables, and the second write equals the first. Files made to be
// refused are passed by (their reading ends the program).
TEST(DatFileRead, EveryDataFileRoundTrips) {
  int tried = 0;
  for (const char* top : {"/examples", "/tests"}) {
    for (auto& e : std::filesystem::recursive_directory_iterator(std::string(VORTAN_SOURCE_DIR) + top)) {
      if (e.path().extension() != ".dat") continue;
      test::ScriptedSession session("");
      auto a = std::make_unique<MeshModel>(), b = std::make_unique<MeshModel>();
      std::istringstream in(test::read_file(e.path().string()));
      try {
        INPUT(in, *a);
      } catch (const ProgramExit&) {
        continue;
      }
      std::ostringstream first, second;
      OUTPUT(first, *a);
      std::istringstream again(first.str());
      INPUT(again, *b);
      OUTPUT(second, *b);
      EXPECT_EQ(second.str(), first.str()) << e.path();
      EXPECT_TRUE(same_tables(*a, *b)) << e.path();
      ++tried;
    }
  }
  EXPECT_GE(tried, 5);
}

}  // namespace
}  // namespace vortan
