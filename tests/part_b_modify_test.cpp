// Part B carried over from an input file: reading a whole old Part B,
// refusing damaged ones, loads and edges carried across a renumbering or a
// changed mesh, boundary nodes removed by a second click, and the old
// increment and timestepping values as starting values.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "part_b_modify.h"
#include "part_b_sequence.h"
#include "test_support.h"

namespace vortan {
namespace {

const char* END = "click 560 460\n";

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// An old Part B of an Advanced elasticity mesh with every list filled.
const char* FULL =
    "nbset npset \n"
    "    1    1\n"
    "  ld  node x-cmpnt   y-cmpnt\n"
    "0   1    2 0.100E+01 0.000E+00\n"
    "0   2   12 0.000E+00-0.500E-01\n"
    "1\n"
    "   set  cpmnt     body force\n"
    "0   1    1           0.000E+00\n"
    "1   1    2          -0.981E+01\n"
    "   set  elements in this body force set\n"
    "0   1    1    3    0    0    0    0    0    0    0    0    0    0    0    0\n"
    "1\n"
    "   set  forces:     normal    tangential\n"
    "1   1    1 2         0.200E+02 0.100E+01\n"
    " nnas elt  n set     n set\n"
    "0   2    2    3 1     1 1\n"
    "1\n"
    " nbdry nbdir (no. of exc. bdry sets & Dirichlet bdry planes)\n"
    "    1    1\n"
    "istyp set Sx/gamma    Sy/K0     nodes in boundary set\n"
    "0 2 1  20.0     0.500        1    2    0    0    0    0    0    0    0    0\n"
    "1\n"
    "x/y = coordinate    value on Dirichlet bdry   d.o.f.\n"
    "0y =  3.00           1.50        3\n"
    "1\n"
    "nincs    increment sizes\n"
    "    2 0.60 0.40\n"
    "     dtint     ftime     allow     theta     ttend     dtone\n"
    " 0.500E-02 0.000E+00 0.000E+00 0.500E+00 0.000E+00 0.100E-03\n";

TEST(OldPartB, EveryListOfAFullPartBIsRead) {
  std::istringstream in(FULL);
  auto old = std::make_unique<OldPartB>();
  OldPartB& o = *old;
  ASSERT_TRUE(read_old_part_b(in, o));
  EXPECT_TRUE(o.has_loads);
  ASSERT_EQ(o.nload, 2);
  EXPECT_EQ(o.lnode(1), 2);
  EXPECT_EQ(o.ltype(1), 1);
  EXPECT_DOUBLE_EQ(o.lval(1, 1), 1.0);
  EXPECT_EQ(o.lnode(2), 12);
  EXPECT_EQ(o.ltype(2), 2);
  EXPECT_DOUBLE_EQ(o.lval(2, 2), -0.05);
  EXPECT_EQ(o.nbset, 1);
  EXPECT_DOUBLE_EQ(o.bodyf[1][2], -9.81);
  EXPECT_EQ(o.ibody(1), 1);
  EXPECT_EQ(o.ibody(3), 1);
  EXPECT_EQ(o.ibody(2), 0);
  EXPECT_DOUBLE_EQ(o.trac[1][1], 20.0);
  ASSERT_EQ(o.nedge, 1);
  EXPECT_EQ(o.edges(1, 1), 2);
  EXPECT_EQ(o.edges(1, 2), 2);
  EXPECT_EQ(o.edges(1, 3), 3);
  EXPECT_EQ(o.edges(1, 5), 1);
  EXPECT_EQ(o.nbdry, 1);
  EXPECT_EQ(o.bfirst[1], 2);
  EXPECT_DOUBLE_EQ(o.bpar[1][1], 20.0);
  EXPECT_DOUBLE_EQ(o.bpar[1][2], 0.5);
  EXPECT_EQ(o.lbset(1), 1);
  EXPECT_EQ(o.lbset(2), 1);
  EXPECT_EQ(o.lbset(3), 0);
  ASSERT_EQ(o.ndval, 1);
  EXPECT_EQ(o.dirv[1].axis, 'y');
  EXPECT_DOUBLE_EQ(o.dirv[1].coord, 3.0);
  EXPECT_EQ(o.dirv[1].dof, 3);
  EXPECT_EQ(o.nincs, 2);
  EXPECT_DOUBLE_EQ(o.sizes[2], 0.4);
  EXPECT_DOUBLE_EQ(o.dtint, 0.005);
  EXPECT_DOUBLE_EQ(o.theta, 0.5);
}

TEST(OldPartB, OldTimeValuesStartTheDialogueAndZerosTakeDefaults) {
  std::istringstream in(FULL);
  auto old = std::make_unique<OldPartB>();
  OldPartB& o = *old;
  ASSERT_TRUE(read_old_part_b(in, o));
  AnalysisControl c;
  starting_values(o, c);
  EXPECT_EQ(c.nincs, 2);
  EXPECT_DOUBLE_EQ(c.sizes[1], 0.6);
  EXPECT_DOUBLE_EQ(c.sizes[3], 0.0);
  EXPECT_DOUBLE_EQ(c.dtint, 0.005);
  EXPECT_DOUBLE_EQ(c.ftime, 1.2);
  EXPECT_DOUBLE_EQ(c.allow, 10.0);
  EXPECT_DOUBLE_EQ(c.theta, 0.5);
  EXPECT_DOUBLE_EQ(c.ttend, 100.0);
  EXPECT_DOUBLE_EQ(c.dtone, 0.0001);
}

TEST(OldPartB, PoissonPartBWithoutLoadsSectionAndWithoutLastEmptyLine) {
  std::istringstream in(
      " nbdry nbdir (no. of rad. bdry sets & Dirichlet bdry planes)\n"
      "    0    0\n"
      "nincs    increment sizes\n"
      "    1 1.00\n"
      "     dtint     ftime     allow     theta    ttend \n");
  auto old = std::make_unique<OldPartB>();
  OldPartB& o = *old;
  ASSERT_TRUE(read_old_part_b(in, o));
  EXPECT_FALSE(o.has_loads);
  EXPECT_EQ(o.nincs, 1);
  EXPECT_DOUBLE_EQ(o.dtint, 0.0);
}

TEST(OldPartB, DamagedOrShortPartBIsRefusedWherever) {
  const std::string full = FULL;
  // Cut after every line but the last two (the timestepping header and its
  // value line, which may be missing at the very end).
  auto old = std::make_unique<OldPartB>();
  auto lines = test::lines_of(full);
  std::string cut;
  for (size_t i = 0; i + 2 < lines.size(); ++i) {
    cut += lines[i] + "\n";
    std::istringstream in(cut);
    EXPECT_FALSE(read_old_part_b(in, *old)) << "cut after line " << i + 1;
  }
  for (const std::string& bad :
       {std::string("nbset npset\n   12    0\n"),                    // more sets than the tables
        std::string("nbset npset\n  abc    0\n"),                    // not a number
        std::string("nbset npset\n    0    0\n  ld\n0   1    x\n"),  // malformed load line
        std::string("nbset npset\n    0    0\n  ld\nz\n")}) {        // not a flag
    std::istringstream in(bad);
    EXPECT_FALSE(read_old_part_b(in, *old)) << bad;
  }
}

// --- MDFYLD ------------------------------------------------------------------------

struct ModifyRun {
  std::string dat, prt, transcript;
};

// 20 nodes in two rows; element 1 a quadrilateral of nodes 1, 2, 12, 11.
struct Rows : test::TestMesh {
  std::unique_ptr<Table1<int, MPOIN>> newnod = std::make_unique<Table1<int, MPOIN>>();
  std::unique_ptr<Table1<int, MELEM>> newelt = std::make_unique<Table1<int, MELEM>>();
  std::unique_ptr<PartBTables> tables = std::make_unique<PartBTables>();
  Rows(int ndofn) : TestMesh(ndofn, points()) {
    for (int i = 1; i <= 9; ++i) add(4, {i, i + 1, i + 11, i + 10});
    for (int i = 1; i <= MPOIN; ++i) (*newnod)(i) = i;
    for (int i = 1; i <= MELEM; ++i) (*newelt)(i) = i;
  }
  static std::vector<std::pair<double, double>> points() {
    std::vector<std::pair<double, double>> xy;
    for (int y = 0; y <= 1; ++y)
      for (int i = 0; i < 10; ++i) xy.push_back({static_cast<double>(i), static_cast<double>(y)});
    return xy;
  }
};

ModifyRun run_mdfyld(Rows& r, const std::string& part_b, const std::string& script) {
  ModifyRun out;
  test::ScriptedSession s(script);
  std::istringstream in(part_b);
  OldPartB& o = r.tables->old;
  EXPECT_TRUE(read_old_part_b(in, o));
  LoadTables& t = r.tables->loads;
  clear_loads(t);
  std::ostringstream dat, prt;
  MDFYLD(*r.m, t, o, *r.newnod, *r.newelt, dat, prt);
  out.dat = dat.str();
  out.prt = prt.str();
  out.transcript = s.transcript();
  return out;
}

const char* TAIL =
    " nbdry nbdir (no. of bdry sets & Dirichlet bdry planes)\n    0    0\n"
    "nincs    increment sizes\n    1 1.00\n     dtint     ftime     allow     theta    ttend \n\n";

TEST(Mdfyld, EmptyOldLoadListIsReportedAndNewLoadsStillTaken) {
  Rows r(2);
  std::string script = "dialog Yes\ndialog No\nwclick 0 1\ndialog OK 2 0\n";
  script += END;
  script += "dialog No\n";  // no tractions
  ModifyRun m = run_mdfyld(r, std::string("nbset npset\n    0    0\n   ld  node  x-cmpnt    y-cmpnt\n1\n") + TAIL,
                           script);
  EXPECT_TRUE(has(m.transcript, "No load/displt data in input file!"));
  EXPECT_TRUE(has(m.transcript, "LOAD: new nodal forces"));
  EXPECT_EQ(m.dat, "nbset npset \n    0    0\n  ld  node x-cmpnt   y-cmpnt\n"
                   "0   1   11 0.200E+01 0.000E+00\n1\n");
  EXPECT_TRUE(has(m.prt, " Node  x-component  y-component\n   11    0.200E+01    0.000E+00\n"));
}

TEST(Mdfyld, OldLoadFollowsTheRenumberedNode) {
  Rows r(2);
  (*r.newnod)(12) = 3;
  (*r.newnod)(3) = 12;
  const std::string old = std::string("nbset npset \n    0    0\n  ld  node x-cmpnt   y-cmpnt\n"
                                      "0   1   12 0.000E+00-0.300E+01\n"
                                      "0   1   25 0.100E+01 0.000E+00\n1\n") +
                          TAIL;
  ModifyRun m = run_mdfyld(r, old, "dialog Include\ndialog No\ndialog No\n");
  EXPECT_TRUE(has(m.transcript, "Point force on node 3:"));
  EXPECT_FALSE(has(m.transcript, "on node 25"));  // no such node in the mesh
  EXPECT_TRUE(has(m.dat, "\n0   1    3 0.000E+00-0.300E+01\n1\n"));
}

TEST(Mdfyld, EdgeThatNoLongerFormsASideIsDropped) {
  Rows r(2);
  // Element 1 was a quadrilateral 1, 2, 12, 11 loaded along 2-12; it is now
  // the triangle 1, 2, 11, which has no side 2-12.
  r.m->nside(1) = 3;
  r.m->nnode(1) = 3;
  r.m->lnods(1, 3) = 11;
  r.m->lnods(1, 4) = 0;
  const std::string old = std::string("nbset npset \n    0    1\n  ld  node x-cmpnt   y-cmpnt\n1\n"
                                      "   set  forces:     normal    tangential\n"
                                      "1   1    1 2         0.200E+02 0.100E+01\n"
                                      " nnas elt  n set     n set\n"
                                      "0   2    1    2 1    12 1\n"
                                      "0   2    2    3 1    13 1\n1\n") +
                          TAIL;
  // No more loads; tractions: the old set kept; the old edges; no new ones.
  ModifyRun m = run_mdfyld(r, old, "dialog No\ndialog Yes\ndialog OK\ndialog No\ndialog Include\ndialog No\n");
  EXPECT_TRUE(has(m.transcript, "Existing edge traction ignored - no longer makes sense!"));
  EXPECT_TRUE(has(m.dat, " nnas elt  n set     n set\n0   2    2    3 1    13 1\n1\n"));
  EXPECT_FALSE(has(m.dat, "   12 1\n"));
}

TEST(Mdfyld, KeptBodyForceSetStartsWithItsOldElements) {
  Rows r(-2);
  const std::string old =
      std::string("nbset npset \n    1    0\n  ld  node x-cmpnt   y-cmpnt\n1\n"
                  "   set  cpmnt     body force\n0   1    1           0.000E+00\n1   1    2          -0.981E+01\n"
                  "   set  elements in this body force set\n"
                  "0   1    1    3    0    0    0    0    0    0    0    0    0    0    0    0\n1\n") +
      TAIL;
  // No more loads; body forces yes, no tractions; the old set kept; element
  // 3 (centroid 2.5, 0.5) clicked out of it and element 5 (4.5, 0.5) in.
  std::string script = "dialog No\ndialog Yes\ndialog No\ndialog OK\nwclick 2.5 0.5\nwclick 4.5 0.5\n";
  script += END;
  script += "dialog No\n";
  ModifyRun m = run_mdfyld(r, old, script);
  EXPECT_TRUE(has(m.transcript, "You can remove existing elements from"));
  EXPECT_TRUE(has(m.dat, "   set  elements in this body force set\n"
                         "0   1    1    5    0    0    0    0    0    0    0    0    0    0    0    0\n1\n"));
}

// --- MDFYPB ------------------------------------------------------------------------

TEST(Mdfypb, SecondClickOnABoundaryNodeTakesItOut) {
  Rows r(1);
  const std::string old =
      " nbdry nbdir (no. of rad. bdry sets & Dirichlet bdry planes)\n    1    1\n"
      "dof set rad coeft  spec flow    nodes in boundary set\n"
      "0 1 1 0.500     -2.00        1    2    0    0    0    0    0    0    0    0\n1\n"
      "x/y = coordinate    value on Dirichlet bdry   d.o.f.\n"
      "0x =  1.00          -1.00        1\n"
      "0y =  2.00          -2.00        1\n1\n"
      "nincs    increment sizes\n    1 1.00\n     dtint     ftime     allow     theta    ttend \n\n";
  // Radiating sets and planes; one set in all, its old values kept; node 2
  // clicked out, node 3 clicked in and out again, node 4 in; one plane; the
  // first old Dirichlet record kept, the second ignored; no more.
  std::string script = "dialog Yes\ndialog Yes\ndialog OK 1\ndialog OK\ndialog No\n";
  script += "wclick 1 0\nwclick 2 0\nwclick 2 0\nwclick 3 0\n";
  script += END;
  script += "dialog No\ndialog OK 1\ndialog Include\ndialog Ignore\ndialog No\n";
  test::ScriptedSession s(script);
  std::istringstream in(old);
  OldPartB& o = r.tables->old;
  ASSERT_TRUE(read_old_part_b(in, o));
  BoundaryTables& b = r.tables->bdry;
  std::ostringstream dat, prt;
  MDFYPB(*r.m, b, o, *r.newnod, dat, prt);
  const std::string t = s.transcript();
  EXPECT_TRUE(has(t, "No. of existing boundary sets ="));
  EXPECT_TRUE(has(t, "Existing radiation parameters of set 1:"));
  EXPECT_TRUE(has(t, "Click a node (click numbered node to remove from set)"));
  EXPECT_TRUE(has(t, "(For degree of freedom 1) | U = -1.0 on Dirichlet | boundary where  x = 1.0"));
  EXPECT_EQ(dat.str(),
            " nbdry nbdir (no. of rad. bdry sets & Dirichlet bdry planes)\n    1    1\n"
            "dof set rad coeft  spec flow    nodes in boundary set\n"
            "0 1 1 0.500     -2.00        1    4    0    0    0    0    0    0    0    0\n1\n"
            "x/y = coordinate    value on Dirichlet bdry   d.o.f.\n"
            "0x =  1.00          -1.00        1\n1\n");
}

TEST(Mdfypb, BasicElasticityWritesTheRadiationHeader) {
  Rows r(2);
  test::ScriptedSession s("");
  std::ostringstream dat, prt;
  MDFYPB(*r.m, r.tables->bdry, r.tables->old, *r.newnod, dat, prt);
  EXPECT_EQ(dat.str(), " nbrad nbdir (no. of rad. bdry sets & Dirichlet bdry sets)\n    0    0\n");
}

// --- the driver's sequence with a copied Part B ----------------------------------------

TEST(CopiedPartB, DamagedPartBIsCreatedAnew) {
  Rows r(1);
  test::ScriptedSession s("dialog Yes\ndialog No\ndialog No\n");
  const std::string path = s.folder() + "/in.dat", dat = s.folder() + "/b.dat";
  test::write_file(path, " nbdry nbdir (no. of rad. bdry sets & Dirichlet bdry planes)\n    3\n");
  std::ifstream in(path);
  {
    std::fstream out(dat, std::ios::in | std::ios::out | std::ios::trunc);
    std::ofstream prt(s.folder() + "/b.prt");
    PART_B_SEQUENCE(*r.m, &in, out, prt, *r.newnod, *r.newelt, *r.tables);
  }
  const std::string t = s.transcript();
  EXPECT_TRUE(has(t, "Part B in the input file is damaged or incomplete;"));
  EXPECT_TRUE(has(t, "Will you define any radiating boundaries?"));
  EXPECT_EQ(test::read_file(dat),
            " nbdry nbdir (no. of rad. bdry sets & Dirichlet bdry planes)\n    0    0\n"
            "nincs    increment sizes\n    1 1.00\n     dtint     ftime     allow     theta    ttend \n\n");
}

TEST(CopiedPartB, FileEndingAfterPartAHasNoPartB) {
  Rows r(1);
  test::ScriptedSession s("dialog Yes\ndialog No\ndialog No\n");
  const std::string path = s.folder() + "/in.dat";
  test::write_file(path, "");
  std::ifstream in(path);
  std::fstream out(s.folder() + "/b.dat", std::ios::in | std::ios::out | std::ios::trunc);
  std::ofstream prt(s.folder() + "/b.prt");
  PART_B_SEQUENCE(*r.m, &in, out, prt, *r.newnod, *r.newelt, *r.tables);
  EXPECT_TRUE(has(s.transcript(), "Sorry, cannot find Part B in input file!"));
}

}  // namespace
}  // namespace vortan
