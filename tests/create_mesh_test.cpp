// The new-mesh dialogue, run from session scripts: the set-up questions,
// mouse and keyboard input with their refusals, element editing, unused
// nodes, fixity passes and the fixity-code dialog.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "create_mesh.h"
#include "mesh_model.h"
#include "platform/platform.h"
#include "test_support.h"

namespace vortan {
namespace {

// Clicks on the toolbar: the inspection screen's Continue, and the "End" of
// a picking group.
const char* CONTINUE = "click 560 460\n";

struct CreateRun {
  std::unique_ptr<MeshModel> mesh = std::make_unique<MeshModel>();
  std::string transcript;
  int status = -1;  // exit status when the dialogue ended the program
};

CreateRun run_create(const std::string& script) {
  CreateRun r;
  test::ScriptedSession s(script);
  try {
    CREATE(*r.mesh);
  } catch (const ProgramExit& e) {
    r.status = e.status;
  }
  r.transcript = s.transcript();
  return r;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A Basic beam of `n` bars along the x axis, typed at the keyboard, up to
// the consistency question.
std::string keyboard_bars(int n) {
  std::string s = "line Bars\nkey 3\nkey b\nkey n\n";
  s += "line " + std::to_string(n + 1) + "\nline " + std::to_string(n) + "\n";
  for (int i = 0; i <= n; ++i) s += "line " + std::to_string(i) + " 0\n";
  s += "dialog No\n";
  for (int e = 1; e <= n; ++e)
    s += "key 1\nkey 2\nline " + std::to_string(e) + " " + std::to_string(e + 1) + "\nkey 1\n";
  return s;
}

// The end of the dialogue for a beam with one property set and no fixities.
std::string beam_tail() {
  std::string s = CONTINUE;  // the review display
  s += "dialog No\n";
  for (int g = 0; g < 4; ++g) s += CONTINUE;  // x, y, both, rotations
  s += "dialog No\n";
  s += CONTINUE;  // the display after the fixities
  s += "key 1\nline 2e8\nline 1e-4\nline 0.01\nkey n\nkey a\n";
  return s;
}

TEST(CreateMesh, SnappingUnitFollowsTheSmallerRange) {
  EXPECT_DOUBLE_EQ(snapping_unit(3), 0.1);     // 10 by 3
  EXPECT_DOUBLE_EQ(snapping_unit(200), 5.0);   // 200 by 500
  EXPECT_DOUBLE_EQ(snapping_unit(201), 10.0);  // 201 by 500
  EXPECT_DOUBLE_EQ(snapping_unit(1), 0.025);
  EXPECT_DOUBLE_EQ(snapping_unit(50), 1.0);
}

TEST(CreateMesh, FixityCodeDialogShowsAllDigits) {
  test::ScriptedSession s("dialog OK\ndialog OK 1\ndialog OK\n");
  int kode = 10;
  SETKOD(3, kode);
  EXPECT_EQ(kode, 10);
  SETKOD(3, kode);
  EXPECT_EQ(kode, 110);
  int same = 1;
  SETKOD(2, same);
  EXPECT_EQ(same, 1);
  int untouched = 7;
  SETKOD(5, untouched);  // no dialog for five digits
  EXPECT_EQ(untouched, 7);
  std::string t = s.transcript();
  EXPECT_TRUE(has(t, "dialog \"Vortan - fixity code\": Current fixity code is 010 | New fixity code: "
                     "| [0] | [1] | [0] |"));
  EXPECT_TRUE(has(t, "Current fixity code is 01 |"));
}

TEST(CreateMesh, MouseExtentsAndElementChecks) {
  // Advanced elasticity by mouse: an x range of 0.09 is refused, 0.1 taken;
  // a joint is refused in the dialog even at Advanced level.
  std::string s = "line Mouse mesh\nkey 2\nkey a\nkey n\nkey y\n";
  s += "line 0 0.09\nline 0 0.1\nline 0 0.1\ndialog OK\n";
  // Nodes at the corners of the 0.1 square, then End.
  s += "wclick 0 0\nwclick 0.1 0\nwclick 0.1 0.1\nwclick 0 0.1\n";
  s += CONTINUE;
  s += "dialog OK 2 6 1\n";  // a joint: refused
  s += "dialog OK 2 5 1\n";  // not a type at all: refused
  s += "dialog OK 4 4 1\n";  // a linear quadrilateral through the four corners
  s += "wclick 0 0\nwclick 0.1 0\nwclick 0.1 0.1\nwclick 0 0.1\ndialog Yes\n";
  s += "dialog End\n";
  CreateRun r = run_create(s);  // runs out at the review: enough for these checks
  EXPECT_EQ(r.status, 4);
  EXPECT_TRUE(has(r.transcript, "ERROR: range must be >0.1. Try again.."));
  EXPECT_EQ(r.transcript.find("ERROR: range must be >0.1"),
            r.transcript.rfind("ERROR: range must be >0.1"));
  EXPECT_TRUE(has(r.transcript, "Coordinates will be defined in units of 0.025"));
  EXPECT_TRUE(has(r.transcript, "Cannot define joint elements graphically."));
  EXPECT_TRUE(has(r.transcript, "Not a valid element type. "));
  EXPECT_EQ(r.mesh->npoin, 4);
  EXPECT_EQ(r.mesh->nelem, 1);
  EXPECT_EQ(r.mesh->nnode(1), 4);
  EXPECT_EQ(r.mesh->lnods(1, 3), 3);
  EXPECT_DOUBLE_EQ(r.mesh->coord(3, 1), 0.1);
  EXPECT_DOUBLE_EQ(r.mesh->coord(3, 2), 0.1);
}

TEST(CreateMesh, BasicPoissonRefusesQuadraticQuadsAdvancedTakesJoints) {
  // Basic Poisson: 4 sides with 8 nodes gives the NNODE=3 or 4 message.
  std::string basic = "line P\nkey 1\nkey b\nkey n\nline 8\nline 1\n";
  for (int i = 0; i < 8; ++i) basic += "line " + std::to_string(i) + " 0\n";
  basic += "dialog No\nkey 4\nkey 8\n";
  CreateRun b = run_create(basic);
  EXPECT_TRUE(has(b.transcript, "You can only use linear triangles and quads (NNODE=3 or 4)"));

  // Advanced Poisson takes the 8-noded quadrilateral and, by keyboard, a joint.
  std::string adv = "line P\nkey 1\nkey a\nkey n\nkey n\nline 8\nline 2\n";
  for (int i = 0; i < 8; ++i) adv += "line " + std::to_string(i) + " 0\n";
  adv += "dialog No\nkey 4\nkey 8\nline 1 2 3 4 5 6 7 8\nkey 1\n";
  adv += "key 2\nkey 6\nline 1 2 3 4 5 6\nkey 0\n";
  CreateRun a = run_create(adv);
  EXPECT_EQ(a.mesh->ndofn, -1);
  EXPECT_EQ(a.mesh->nelem, 2);
  EXPECT_EQ(a.mesh->nside(2), 2);
  EXPECT_EQ(a.mesh->nnode(2), 6);
  EXPECT_EQ(a.mesh->mattyp(2), 0);
  EXPECT_TRUE(has(a.transcript, "quadratic joint element"));
}

TEST(CreateMesh, DeletingAnElementOffersItsNodes) {
  // Five bars, each on two nodes of its own: deleting element 2 leaves its
  // nodes 3 and 4 unused, and both are offered in one pass.
  std::string s = "line Bars\nkey 3\nkey b\nkey n\nline 10\nline 5\n";
  for (int i = 1; i <= 10; ++i) s += "line " + std::to_string(i) + " " + std::to_string(i % 2) + "\n";
  s += "dialog No\n";
  for (int e = 1; e <= 5; ++e)
    s += "key 1\nkey 2\nline " + std::to_string(2 * e - 1) + " " + std::to_string(2 * e) + "\nkey 1\n";
  s += "key y\nline -2\n";  // delete element 2 (nodes 3 and 4)
  s += "key n\n";           // no more changes
  s += "key y\nkey y\n";    // delete node 3, then the node now numbered 3
  s += beam_tail();
  CreateRun r = run_create(s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_TRUE(has(r.transcript, "Elt. 2 deleted, and later elts renumbered."));
  EXPECT_TRUE(has(r.transcript, "Node number 3 is not used in the mesh!\nShould it be deleted?  Yes\n"
                                "Node 3 deleted & subsequent nodes renumbered."));
  EXPECT_EQ(r.mesh->nelem, 4);
  EXPECT_EQ(r.mesh->npoin, 8);
  // Old elements 3, 4, 5 (nodes 5-6, 7-8, 9-10) are now 2, 3, 4 on nodes 3-4, 5-6, 7-8.
  EXPECT_EQ(r.mesh->lnods(2, 1), 3);
  EXPECT_EQ(r.mesh->lnods(4, 2), 8);
  EXPECT_DOUBLE_EQ(r.mesh->coord(3, 1), 5.0);
}

TEST(CreateMesh, TwentiethDeletionIsRefused) {
  std::string s = keyboard_bars(21) + "key c\n";
  for (int k = 0; k < 19; ++k) {
    s += "key y\nline -1\n";
    // The element listing pages after 16 lines while more than 16 remain.
    if (21 - (k + 1) > 16) s += "key c\n";
  }
  s += "key y\nline -1\nline 0\n";  // the twentieth request, then quit editing
  CreateRun r = run_create(s);            // runs out at the unused-node questions
  EXPECT_TRUE(has(r.transcript, "No more elts can be deleted in one go."));
  EXPECT_EQ(r.mesh->nelem, 2);
}

TEST(CreateMesh, BeamFixityPasses) {
  // First pass: node 1 fixed in x then its rotation (101), node 2 fixed in
  // both then its rotation (111). Second pass: node 2 fixed in y keeps its
  // rotation (11); node 1 freed in x and y keeps its rotation (1).
  std::string s = keyboard_bars(1);
  s += "key n\n";
  s += CONTINUE;
  s += "dialog No\n";
  s += "wclick 0 0\n" + std::string(CONTINUE);             // fixed in x
  s += CONTINUE;                                            // fixed in y
  s += "wclick 1 0\n" + std::string(CONTINUE);             // fixed in both
  s += "wclick 0 0\nwclick 1 0\n" + std::string(CONTINUE);  // fixed rotations
  s += "dialog Yes\n";
  s += CONTINUE;                                            // fixed in x
  s += "wclick 1 0\n" + std::string(CONTINUE);             // fixed in y
  s += CONTINUE;                                            // fixed in both
  s += CONTINUE;                                            // fixed rotations
  s += "wclick 0 0\n" + std::string(CONTINUE);             // free in x and y
  s += CONTINUE;                                            // free rotations
  s += "dialog No\n";
  s += CONTINUE;
  s += "key 1\nline 2e8\nline 1e-4\nline 0.01\nkey n\nkey a\n";
  CreateRun r = run_create(s);
  ASSERT_EQ(r.status, -1) << r.transcript;
  EXPECT_EQ(r.mesh->kode(1), 1);
  EXPECT_EQ(r.mesh->kode(2), 11);
  EXPECT_EQ(r.mesh->ndof(1), 3);
  EXPECT_TRUE(has(r.transcript, "Changing code for node  | 2") ||
              has(r.transcript, "Changing code for node 2"));
  EXPECT_EQ(r.mesh->npros, 1);
  EXPECT_EQ(r.mesh->matset(1), 1);
  EXPECT_DOUBLE_EQ(r.mesh->props(1, 3), 0.01);
}

}  // namespace
}  // namespace vortan
