// Mesh modification: the table operations on their own, then the dialogue
// run from session scripts (level, extra d.o.f.s, constraints, adding and
// deleting elements, property sets and element reassignment).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "mesh_model.h"
#include "modify_mesh.h"
#include "platform/platform.h"
#include "prompts.h"
#include "test_support.h"

namespace vortan {
namespace {

// Buttons of the modification menu (five buttons of 89 pixels from the
// bottom of the bar) and the single "End" button.
const char* DELETE_ELTS = "click 560 430\n";
const char* ADD_ELTS = "click 560 340\n";
const char* CHANGE_COORDS = "click 560 250\n";
const char* NEW_CONSTRAINTS = "click 560 160\n";
const char* CONTINUE = "click 560 80\n";
const char* END = "click 560 300\n";
// Leaves the menu without touching titles or properties.
const std::string LEAVE = std::string(CONTINUE) + "dialog No\n";

struct ModifyRun {
  std::string transcript;
  int status = -1;  // exit status when the dialogue ended the program
  std::unique_ptr<Table1<int, MPOIN>> newnod = std::make_unique<Table1<int, MPOIN>>();
  std::unique_ptr<Table1<int, MELEM>> marks = std::make_unique<Table1<int, MELEM>>();
};

ModifyRun run_modify(MeshModel& m, const std::string& script) {
  ModifyRun r;
  test::ScriptedSession s(script);
  try {
    MODIFY(m, *r.newnod, *r.marks);
  } catch (const ProgramExit& e) {
    r.status = e.status;
  }
  r.transcript = s.transcript();
  return r;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Three unit squares in a row: nodes 1-4 along y = 0, 5-8 along y = 1.
test::TestMesh three_squares(int ndofn) {
  test::TestMesh t(ndofn, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}});
  t.add(4, {1, 2, 6, 5});
  t.add(4, {2, 3, 7, 6});
  t.add(4, {3, 4, 8, 7});
  return t;
}

// Two 8-noded quadrilaterals side by side, material types 1 and 2, every
// node fixed in both directions.
test::TestMesh two_quad8(int ndofn) {
  test::TestMesh t(ndofn, {{0, 0}, {0.5, 0}, {1, 0}, {1, 0.5}, {1, 1}, {0.5, 1}, {0, 1},
                           {0, 0.5}, {1.5, 0}, {2, 0}, {2, 0.5}, {2, 1}, {1.5, 1}});
  t.add(4, {1, 2, 3, 4, 5, 6, 7, 8});
  t.add(4, {3, 9, 10, 11, 12, 13, 5, 4});
  t.m->mattyp(2) = 2;
  for (int n = 1; n <= t.m->npoin; ++n) t.m->kode(n) = 11;
  return t;
}

TEST(ModifyTables, MidsidePositionsAndCodeResizing) {
  EXPECT_TRUE(is_midside(84, 8));
  EXPECT_FALSE(is_midside(84, 7));
  EXPECT_TRUE(is_midside(63, 6));
  EXPECT_FALSE(is_midside(63, 5));
  EXPECT_TRUE(is_midside(62, 5));
  EXPECT_TRUE(is_midside(64, 2));
  EXPECT_FALSE(is_midside(64, 4));
  EXPECT_TRUE(is_midside(53, 2));
  EXPECT_FALSE(is_midside(53, 4));
  EXPECT_TRUE(is_midside(31, 2));
  EXPECT_FALSE(is_midside(44, 2));  // linear: every node a corner
  EXPECT_FALSE(is_midside(61, 2));  // the rockbolt is not in the table

  EXPECT_EQ(resize_kode(11, 2, 3), 110);
  EXPECT_EQ(resize_kode(1, 1, 2), 10);
  EXPECT_EQ(resize_kode(1, 2, 4), 100);
  EXPECT_EQ(resize_kode(110, 3, 2), 11);
  EXPECT_EQ(resize_kode(101, 3, 3), 101);
}

TEST(ModifyTables, CornerAndMidsideCountsByMaterialType) {
  test::TestMesh t = two_quad8(-2);
  MeshModel& m = *t.m;
  set_material_dofs(m, 2, 3, 2);
  // Node 3 is a corner of element 2 (and of element 1, which is not type 2).
  EXPECT_EQ(m.ndof(3), 3);
  EXPECT_EQ(m.kode(3), 110);
  EXPECT_EQ(m.ndof(10), 3);
  EXPECT_EQ(m.kode(10), 110);
  // Midside nodes of element 2 keep two digits.
  EXPECT_EQ(m.ndof(4), 2);
  EXPECT_EQ(m.kode(4), 11);
  EXPECT_EQ(m.kode(9), 11);
  // Nodes of element 1 alone are untouched.
  EXPECT_EQ(m.ndof(1), 2);
  EXPECT_EQ(m.kode(1), 11);

  // The same counts again append nothing: one digit per d.o.f. stays.
  set_material_dofs(m, 2, 3, 2);
  EXPECT_EQ(m.kode(3), 110);

  // Material type 0 reaches every element; a shared node takes the value of
  // the last element (node 4 is a midside of element 2).
  set_material_dofs(m, 0, 4, 3);
  EXPECT_EQ(m.ndof(1), 4);
  EXPECT_EQ(m.kode(1), 1100);
  EXPECT_EQ(m.ndof(2), 3);
  EXPECT_EQ(m.kode(2), 110);
  EXPECT_EQ(m.ndof(4), 3);
  EXPECT_EQ(m.kode(4), 110);
  EXPECT_EQ(m.kode(3), 1100);
}

TEST(ModifyTables, UnusedNodesRemovedAndRenumbered) {
  test::TestMesh t = three_squares(2);
  MeshModel& m = *t.m;
  m.kode(2) = 1;
  m.kode(8) = 10;
  m.ndof(8) = 3;
  auto newnod = std::make_unique<Table1<int, MPOIN>>();
  test::ScriptedSession s("");

  // Every node used: numbers unchanged, nothing said.
  EXPECT_EQ(remove_unused_nodes(m, *newnod), 0);
  EXPECT_EQ((*newnod)(8), 8);

  // Element 1 gone: nodes 1 and 5 are unused.
  t.m->nelem = 2;
  for (int k = 1; k <= 4; ++k) {
    m.lnods(1, k) = m.lnods(3, k);
    m.lnods(3, k) = 0;
  }
  EXPECT_EQ(remove_unused_nodes(m, *newnod), 2);
  EXPECT_EQ(m.npoin, 6);
  const int expected[] = {0, 0, 1, 2, 3, 0, 4, 5, 6};
  for (int n = 1; n <= 8; ++n) EXPECT_EQ((*newnod)(n), expected[n]) << "node " << n;
  EXPECT_EQ(t.nodes(1), (test::TestMesh::Nodes{2, 3, 6, 5}));  // old 3 4 8 7
  EXPECT_EQ(t.nodes(2), (test::TestMesh::Nodes{1, 2, 5, 4}));  // old 2 3 7 6
  t.expect_at(1, 1, 0);
  EXPECT_EQ(m.kode(1), 1);
  EXPECT_EQ(m.kode(6), 10);
  EXPECT_EQ(m.ndof(6), 3);
  // Entries above the new count are cleared.
  t.expect_at(7, 0, 0);
  EXPECT_EQ(m.kode(8), 0);
  EXPECT_EQ(m.ndof(8), 0);
  // Said once: for the second call only.
  const std::string said = s.transcript();
  EXPECT_TRUE(has(said, "Deleting unused nodes and renumbering..."));
  EXPECT_EQ(said.find("Deleting unused"), said.rfind("Deleting unused"));
}

TEST(ModifyTables, MarkedElementsDeletedInOrderButNeverAll) {
  test::TestMesh t = three_squares(2);
  MeshModel& m = *t.m;
  m.matset(3) = 2;
  m.mattyp(3) = 5;
  auto marks = std::make_unique<Table1<int, MELEM>>();
  for (int e = 1; e <= 3; ++e) (*marks)(e) = -e;
  EXPECT_EQ(delete_marked_elements(m, *marks), 0);  // all marked: refused
  EXPECT_EQ(m.nelem, 3);

  (*marks)(3) = 3;
  (*marks)(2) = 2;
  EXPECT_EQ(delete_marked_elements(m, *marks), 1);
  EXPECT_EQ(m.nelem, 2);
  EXPECT_EQ(t.nodes(1), (test::TestMesh::Nodes{2, 3, 7, 6}));
  EXPECT_EQ(t.nodes(2), (test::TestMesh::Nodes{3, 4, 8, 7}));
  EXPECT_EQ(m.matset(2), 2);
  EXPECT_EQ(m.mattyp(2), 5);
  EXPECT_EQ(m.nnode(3), 0);
  EXPECT_EQ(m.lnods(3, 1), 0);
}

TEST(ModifyDialogue, BasicMeshRaisedToAdvancedEditsExtraParameters) {
  test::TestMesh t = three_squares(2);
  std::string s = "dialog Yes\n";                            // Advanced level
  s += "dialog OK 9.81 3 0.5 0 0 0 100 -2\n";                // extra parameters
  s += "dialog No\n";                                        // no extra d.o.f.s
  s += LEAVE;
  ModifyRun r = run_modify(*t.m, s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_EQ(t.m->ndofn, -2);
  EXPECT_DOUBLE_EQ(t.m->rextra[1], 9.81);
  EXPECT_DOUBLE_EQ(t.m->rextra[2], 0.5);
  EXPECT_DOUBLE_EQ(t.m->rextra[4], 100);
  EXPECT_EQ(t.m->iextra[1], 3);
  EXPECT_EQ(t.m->iextra[4], -2);
  // The parameter dialog follows the level question at once.
  auto lines = test::lines_of(r.transcript);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(has(lines[0], "Do you want to write new mesh at Advanced level?"));
  EXPECT_TRUE(has(lines[1], "\"Extra mesh parameters\": Add or change extra mesh parameters"));
}

TEST(ModifyDialogue, ExtraDofsRefuseFewerAtCorners) {
  test::TestMesh t = two_quad8(-2);
  std::string s = "dialog OK\n";                // extra parameters kept
  s += "dialog Yes\n";                          // add d.o.f.s
  s += "dialog OK 2\ndialog OK 2 3\n";          // corners below midsides: refused
  s += "dialog OK 2\ndialog OK 3 2\n";
  s += "dialog No\n";
  s += LEAVE;
  ModifyRun r = run_modify(*t.m, s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_TRUE(has(r.transcript, "Ndof cannot be less at corners than at midsides!"));
  EXPECT_TRUE(has(r.transcript, "No. of d.o.f.s and fixity codes at all nodes updated."));
  EXPECT_EQ(t.m->kode(3), 110);
  EXPECT_EQ(t.m->kode(4), 11);
  EXPECT_EQ(t.m->ndof(12), 3);
  EXPECT_EQ(t.m->ndof(1), 2);
}

TEST(ModifyDialogue, NewConstraintsResizeTheCodeBeforeItIsShown) {
  test::TestMesh t = three_squares(2);
  MeshModel& m = *t.m;
  m.kode(1) = 11;
  m.ndof(2) = 1;
  m.kode(2) = 1;
  m.kode(3) = 11;
  std::string s = "dialog No\n";  // stay Basic
  s += NEW_CONSTRAINTS;
  s += "dialog No\n";  // no zoom
  s += "wclick 0 0\ndialog OK 3\ndialog OK 1 1 1\ndialog Yes\n";  // 2 -> 3 d.o.f.
  s += "wclick 1 0\ndialog OK 2\ndialog OK\ndialog Yes\n";        // 1 -> 2 d.o.f.
  s += "wclick 2 0\ndialog OK 1\ndialog OK\ndialog Yes\n";        // 2 -> 1 d.o.f.
  s += "wclick 3 0\ndialog Cancel\n";                             // back to the menu
  s += LEAVE;
  ModifyRun r = run_modify(m, s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_TRUE(has(r.transcript, "Current fixity code is 110 |"));
  EXPECT_EQ(m.kode(1), 111);
  EXPECT_EQ(m.ndof(1), 3);
  EXPECT_TRUE(has(r.transcript, "Current fixity code is 10 |"));
  EXPECT_EQ(m.kode(2), 10);
  EXPECT_EQ(m.ndof(2), 2);
  // Fewer d.o.f.: the trailing digit goes, one digit per d.o.f. stays.
  EXPECT_TRUE(has(r.transcript, "Current fixity code is 1 |"));
  EXPECT_EQ(m.kode(3), 1);
  EXPECT_EQ(m.ndof(3), 1);
  EXPECT_EQ(m.ndof(4), 2);
}

TEST(ModifyDialogue, DeletedElementTakesItsOwnNodesWithIt) {
  test::TestMesh t = three_squares(2);
  MeshModel& m = *t.m;
  m.kode(6) = 11;
  std::string s = "dialog No\n";
  // Every element marked: refused, nothing deleted.
  s += DELETE_ELTS;
  s += "wclick 0.5 0.5\nwclick 1.5 0.5\nwclick 2.5 0.5\n";
  s += END;
  // Element 1 alone: nodes 1 and 5 go.
  s += DELETE_ELTS;
  s += "wclick 0.5 0.5\n";
  s += END;
  s += LEAVE;
  ModifyRun r = run_modify(m, s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_TRUE(has(r.transcript, "At least one element must remain - nothing deleted."));
  EXPECT_TRUE(has(r.transcript, "Deleting unused nodes and renumbering..."));
  EXPECT_EQ(m.nelem, 2);
  EXPECT_EQ(m.npoin, 6);
  EXPECT_EQ(t.nodes(1), (test::TestMesh::Nodes{1, 2, 5, 4}));
  EXPECT_EQ(t.nodes(2), (test::TestMesh::Nodes{2, 3, 6, 5}));
  t.expect_at(4, 1, 1);
  EXPECT_EQ(m.kode(4), 11);  // old node 6
  EXPECT_EQ((*r.newnod)(1), 0);
  EXPECT_EQ((*r.newnod)(6), 4);
  EXPECT_DOUBLE_EQ(m.xycen(1, 1), 1.5);
}

TEST(ModifyDialogue, NewQuadraticElementWithNewNodes) {
  test::TestMesh t(2, {{0, 0}, {0.5, 0}, {1, 0}, {1, 0.5}, {1, 1}, {0.5, 1}, {0, 1}, {0, 0.5}});
  t.add(4, {1, 2, 3, 4, 5, 6, 7, 8});
  MeshModel& m = *t.m;
  std::string s = "dialog No\n";
  s += ADD_ELTS;
  s += "dialog No\n";
  s += "dialog OK 4 8 1 2\n";  // property set 2 does not exist
  s += "dialog OK 4 7 1 1\n";  // not a type
  s += "dialog OK 4 8 3 1\n";
  // A node left at 0 is refused; then the eighth is given.
  s += "dialog OK 9 11 1 8 7 12 10\n";
  s += "dialog OK - - - - - - - 13\n";
  s += "dialog OK -1 0 1 0\n";    // node 9, fixed in x
  s += "dialog OK 0 0\n";         // node 11 left at (0,0): interpolated
  s += "dialog OK 0 1.2\n";       // node 12 given with x = 0: kept
  s += "dialog OK -1 1\n";        // node 10
  s += "dialog OK\n";             // node 13 left at (0,0): interpolated
  s += LEAVE;
  ModifyRun r = run_modify(m, s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_TRUE(has(r.transcript, "Invalid set no. Try again:"));
  EXPECT_TRUE(has(r.transcript, "Not a valid element type. "));
  EXPECT_TRUE(has(r.transcript, "Node numbers must lie between 1 and 30000. Try again:"));
  EXPECT_TRUE(has(r.transcript, "Number new nodes starting from 9"));
  EXPECT_TRUE(has(r.transcript, "Details of node 9 |"));
  EXPECT_TRUE(has(r.transcript, "Details of node 13 |"));
  EXPECT_TRUE(has(r.transcript, "New element is number | 2"));
  EXPECT_EQ(m.nelem, 2);
  EXPECT_EQ(m.npoin, 13);
  EXPECT_EQ(t.nodes(2), (test::TestMesh::Nodes{9, 11, 1, 8, 7, 12, 10, 13}));
  EXPECT_EQ(m.nside(2), 4);
  EXPECT_EQ(m.mattyp(2), 3);
  EXPECT_EQ(m.matset(2), 1);
  t.expect_at(9, -1, 0);
  t.expect_at(11, -0.5, 0);
  t.expect_at(12, 0, 1.2);
  t.expect_at(10, -1, 1);
  t.expect_at(13, -1, 0.5);
  t.expect_at(8, 0, 0.5);  // an old node is never moved
  EXPECT_EQ(m.kode(9), 10);
  EXPECT_EQ(m.ndof(13), 2);
  // Centre: x (-1 - 0.5 + 0 + 0 + 0 + 0 - 1 - 1) / 8, y (0 + 0 + 0 + 0.5 + 1 + 1.2 + 1 + 0.5) / 8.
  EXPECT_NEAR(m.xycen(2, 1), -3.5 / 8, 1e-12);
  EXPECT_NEAR(m.xycen(2, 2), 4.2 / 8, 1e-12);
}

TEST(ModifyDialogue, AdvancedNewNodeAsksItsDofs) {
  test::TestMesh t = three_squares(-2);
  MeshModel& m = *t.m;
  std::string s = "dialog OK\ndialog No\n";
  s += ADD_ELTS;
  s += "dialog No\ndialog OK 3 3 1 1\ndialog OK 4 9 8\n";
  s += "dialog OK 4 0.5\n";           // coordinates only
  s += "dialog OK\ndialog OK 1 1\n";  // the count offered (2), code 11
  s += LEAVE;
  ModifyRun r = run_modify(m, s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_FALSE(has(r.transcript, "Fixity code = "));  // asked by SETKOD instead
  EXPECT_TRUE(has(r.transcript, "Current fixity code is 00 |"));
  EXPECT_EQ(m.npoin, 9);
  EXPECT_EQ(m.ndof(9), 2);
  EXPECT_EQ(m.kode(9), 11);
  t.expect_at(9, 4, 0.5);
}

TEST(ModifyDialogue, MovedNodeMovesTheCentres) {
  test::TestMesh t = three_squares(2);
  MeshModel& m = *t.m;
  std::string s = "dialog No\n";
  s += CHANGE_COORDS;
  s += "dialog No\nwclick 0 1\nwclick 0.2 1.4\ndialog OK 0 1.5\n";
  s += CHANGE_COORDS;  // a second move, in a zoom, cancelled
  s += "dialog Yes\nwclick 0.5 0.5\nwclick 0.5 0.5\nwclick 1.5 1.5\n";  // a repeated corner is ignored
  s += "wclick 1 1\nwclick 1.2 1.4\ndialog Cancel\n";
  s += LEAVE;
  ModifyRun r = run_modify(m, s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_TRUE(has(r.transcript, "New coords of node 5:"));
  EXPECT_TRUE(has(r.transcript, "Click on opposite corners defining zoom area:"));
  EXPECT_TRUE(has(r.transcript, "New coords of node 6:"));
  t.expect_at(5, 0, 1.5);
  t.expect_at(6, 1, 1);
  EXPECT_NEAR(m.xycen(1, 2), 2.5 / 4, 1e-12);
}

TEST(ModifyDialogue, FullElementTableRefusesNewElements) {
  test::TestMesh t(3, {{0, 0}, {1, 0}});
  for (int e = 1; e <= MELEM; ++e) t.add(1, {1, 2});
  std::string s = ADD_ELTS + LEAVE;
  ModifyRun r = run_modify(*t.m, "dialog No\n" + s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_TRUE(has(r.transcript, "Max. no. of elements already reached"));
  EXPECT_FALSE(has(r.transcript, "Do you want to zoom?"));
  EXPECT_EQ(t.m->nelem, MELEM);
}

// A Basic elasticity quadrilateral 1-2-3-4 and a bar 2-5.
test::TestMesh quad_and_bar(int ndofn) {
  test::TestMesh t(ndofn, {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}});
  t.add(4, {1, 2, 3, 4});
  t.add(1, {2, 5});
  t.m->props(1, 1) = 210;
  t.m->props(1, 2) = 0.3;
  return t;
}

TEST(ModifyProperties, TitleSetsAndReassignment) {
  test::TestMesh t = quad_and_bar(2);
  MeshModel& m = *t.m;
  m.title = std::string("Old title").append(71, ' ');
  std::string s = "dialog No\n";
  s += CONTINUE;
  s += "dialog Yes\ndialog Yes\n";
  s += "key y\nline New title\n";
  s += "key y\nline 1\nline 100\nline 0.25\nline 2\nkey n\n";  // set 1 changed
  s += "key y\nline 300\nline 0.2\nline 1\nkey n\n";         // new set 2, no changes
  s += "key y\nkey a\n";
  s += "click 560 460\n";                                     // the display's Continue
  s += "wclick 0.5 0.5\nwclick 1.5 0\n";
  s += END;
  s += "dialog OK 9\ndialog OK 3\n";                          // type 9 refused
  s += "dialog OK 5\ndialog OK\n";                            // set 5 refused; 1 offered
  s += "dialog No\n";
  ModifyRun r = run_modify(m, s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_EQ(trimmed(m.title), "New title");
  EXPECT_TRUE(has(r.transcript, "Current title for this mesh is:\nOld title\n"));
  EXPECT_TRUE(has(r.transcript, "Set number 1\nThe non-zero mat. properties are:\n"
                                "Component 1 has value 210.0\nComponent 2 has value 0.3\n"));
  EXPECT_TRUE(has(r.transcript, "Enter the material thickness for set 1: "));
  EXPECT_TRUE(has(r.transcript, "New set will be set no. 2"));
  EXPECT_TRUE(has(r.transcript, "Max. prop. set no. is 2"));
  // No changes to the new set leads straight to the reassignment offer.
  EXPECT_TRUE(has(r.transcript, "Do you want to make any changes?  No\n"
                                "You can now choose elements and change\n"));
  EXPECT_TRUE(has(r.transcript, "Material type must lie between 0 and 8. Try again:"));
  EXPECT_TRUE(has(r.transcript, "Invalid set no. Try again:"));
  EXPECT_TRUE(has(r.transcript, "Element(s) reassigned."));
  EXPECT_EQ(m.npros, 2);
  EXPECT_DOUBLE_EQ(m.props(1, 1), 100);
  EXPECT_DOUBLE_EQ(m.props(1, 3), 2);
  EXPECT_DOUBLE_EQ(m.props(2, 1), 300);
  EXPECT_DOUBLE_EQ(m.props(2, 3), 1);
  // Elasticity: only the two-dimensional element takes the new values.
  EXPECT_EQ(m.mattyp(1), 3);
  EXPECT_EQ(m.matset(1), 1);
  EXPECT_EQ(m.mattyp(2), 1);
  EXPECT_EQ(m.matset(2), 1);
}

TEST(ModifyProperties, AdvancedElasticityAsksWhetherTheSetIsOneDimensional) {
  test::TestMesh t = quad_and_bar(-2);
  MeshModel& m = *t.m;
  std::string s = "dialog OK\ndialog No\n";
  s += CONTINUE;
  s += "dialog Yes\ndialog No\n";  // straight to the reassignment
  s += "click 560 460\n";
  s += "wclick 0.5 0.5\nwclick 1.5 0\n";
  s += END;
  s += "dialog OK 4\ndialog OK 1\ndialog Yes\ndialog No\n";
  ModifyRun r = run_modify(m, s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_TRUE(has(r.transcript, "Is this a set for 1D elements?"));
  EXPECT_EQ(m.mattyp(1), 1);
  EXPECT_EQ(m.mattyp(2), 4);
}

TEST(ModifyProperties, NoSetBeyondTheTable) {
  test::TestMesh t = quad_and_bar(2);
  MeshModel& m = *t.m;
  m.npros = MPROP;
  std::string s = "dialog No\n";
  s += CONTINUE;
  s += "dialog Yes\ndialog Yes\n";
  s += "key n\nkey n\nkey y\n";  // title kept, values kept, a new set asked for
  s += "key n\nkey a\n";
  ModifyRun r = run_modify(m, s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_TRUE(has(r.transcript, "Max. no. of property sets is 9 - no more can be created."));
  EXPECT_EQ(m.npros, MPROP);
}

}  // namespace
}  // namespace vortan
