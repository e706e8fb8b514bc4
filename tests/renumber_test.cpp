// Renumbering: adjacency lists bounded by MNODE, frontwidth and
// half-bandwidth, the level sweep (pieces, the level limit), node numbers
// along the new element order, the renumbered Part A read back, the matrix
// blocks, and the dialogue with its refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dat_file.h"
#include "mesh_display.h"
#include "platform/platform.h"
#include "renumber.h"
#include "test_support.h"

namespace vortan {
namespace {

using test::TestMesh;
using Nodes = std::vector<int>;

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Four unit squares in a row, numbered out of order: from left to right the
// elements are 2, 4, 1, 3; nodes 1..5 along the bottom, 6..10 along the top.
TestMesh scrambled_strip() {
  TestMesh t(1, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}});
  t.add(4, {3, 4, 9, 8});
  t.add(4, {1, 2, 7, 6});
  t.add(4, {4, 5, 10, 9});
  t.add(4, {2, 3, 8, 7});
  return t;
}

// A row of `n` bars along the x axis, numbered left to right.
TestMesh bar_row(int n) {
  std::vector<std::pair<double, double>> xy;
  for (int i = 0; i <= n; ++i) xy.push_back({i, 0});
  TestMesh t(3, xy);
  for (int e = 1; e <= n; ++e) t.add(1, {e, e + 1});
  return t;
}

std::unique_ptr<RenumberWork> work() { return std::make_unique<RenumberWork>(); }

Table1<int, MELEM> identity_elements() {
  Table1<int, MELEM> t;
  for (int i = 1; i <= MELEM; ++i) t(i) = i;
  return t;
}

// --- adjacency, frontwidth, half-bandwidth ---------------------------------------

TEST(Renumber, AdjacencyListsInIncreasingElementOrder) {
  TestMesh t = scrambled_strip();
  t.add(3, {8, 8, 9});  // a degenerate element naming node 8 twice counts once
  auto w = work();
  EXPECT_TRUE(NODELS(*t.m, *w));
  EXPECT_EQ(w->nelnod(8), 3);
  EXPECT_EQ(w->nodel(8, 1), 1);
  EXPECT_EQ(w->nodel(8, 2), 4);
  EXPECT_EQ(w->nodel(8, 3), 5);
  EXPECT_EQ(w->nelnod(1), 1);
  EXPECT_EQ(w->nodel(1, 1), 2);
}

TEST(Renumber, NineElementsAtOneNodeDoNotFitTheLists) {
  // A fan of triangles round node 1: eight fit, the ninth does not.
  std::vector<std::pair<double, double>> xy{{0, 0}};
  for (int i = 0; i < 10; ++i) xy.push_back({std::cos(i * 0.6), std::sin(i * 0.6)});
  TestMesh t(2, xy);
  for (int i = 2; i <= 9; ++i) t.add(3, {1, i, i + 1});
  auto w = work();
  EXPECT_TRUE(NODELS(*t.m, *w));
  EXPECT_EQ(w->nelnod(1), MNODE);
  t.add(3, {1, 10, 11});
  EXPECT_FALSE(NODELS(*t.m, *w));
  EXPECT_EQ(w->nelnod(1), MNODE);  // the list never passes its room
  EXPECT_EQ(w->nodel(1, MNODE), 8);
}

TEST(Renumber, FrontwidthAndHalfBandwidth) {
  TestMesh t = scrambled_strip();
  auto w = work();
  // Nodes shared by neighbours: elements 2-4, 4-1 and 1-3.
  EXPECT_EQ(frontwidth(*t.m, identity_elements(), *w), 3);
  Table1<int, MELEM> left_to_right;
  left_to_right(2) = 1, left_to_right(4) = 2, left_to_right(1) = 3, left_to_right(3) = 4;
  EXPECT_EQ(frontwidth(*t.m, left_to_right, *w), 1);
  // Every element spans its bottom node n and top node n + 5: D = 6.
  Table1<int, MPOIN> same;
  for (int n = 1; n <= 10; ++n) same(n) = n;
  EXPECT_EQ(half_bandwidth(*t.m, same), 7);
  t.m->ndofn = -2;  // Advanced level: the absolute value counts
  EXPECT_EQ(half_bandwidth(*t.m, same), 14);
}

// --- the level sweep ---------------------------------------------------------------

TEST(Renumber, SweepNumbersBreadthFirstAndRestoresMarks) {
  TestMesh t = scrambled_strip();
  auto w = work();
  ASSERT_TRUE(NODELS(*t.m, *w));
  // From element 1 (third from the left): its nodes 3 and 4 reach 4 and 3,
  // then element 4's node 2 reaches 2.
  ASSERT_TRUE(sweep(*t.m, 1, *w));
  EXPECT_EQ(w->neword(1), 1);
  EXPECT_EQ(w->neword(4), 2);
  EXPECT_EQ(w->neword(3), 3);
  EXPECT_EQ(w->neword(2), 4);
  EXPECT_EQ(frontwidth(*t.m, w->neword, *w), 2);
  for (int n = 1; n <= 10; ++n) EXPECT_GT(w->nelnod(n), 0) << "node " << n;
  // From the left end the strip is numbered left to right.
  ASSERT_TRUE(sweep(*t.m, 2, *w));
  EXPECT_EQ(w->neword(2), 1);
  EXPECT_EQ(w->neword(4), 2);
  EXPECT_EQ(w->neword(1), 3);
  EXPECT_EQ(w->neword(3), 4);
}

TEST(Renumber, SweepGoesOnIntoSeparatePiecesAndEndsOnOneElement) {
  // Two squares apart and a third touching the second: from element 2 the
  // first piece is 2, 3; the sweep goes on from element 1.
  TestMesh t(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {5, 0}, {6, 0}, {6, 1}, {5, 1}, {7, 0}, {7, 1}});
  t.add(4, {1, 2, 3, 4});
  t.add(4, {5, 6, 7, 8});
  t.add(4, {6, 9, 10, 7});
  auto w = work();
  ASSERT_TRUE(NODELS(*t.m, *w));
  ASSERT_TRUE(sweep(*t.m, 2, *w));
  EXPECT_EQ(w->neword(2), 1);
  EXPECT_EQ(w->neword(3), 2);
  EXPECT_EQ(w->neword(1), 3);

  TestMesh one(2, {{0, 0}, {1, 0}, {1, 1}});
  one.add(3, {1, 2, 3});
  ASSERT_TRUE(NODELS(*one.m, *w));
  ASSERT_TRUE(sweep(*one.m, 1, *w));
  EXPECT_EQ(w->neword(1), 1);
}

TEST(Renumber, SweepRefusesALevelOfMoreThanAThousandElements) {
  // A tree of bars: every end node carries seven more bars, so the levels
  // hold 1, 14, 98, 686 and then (cut short here) 1010 bars.
  std::vector<std::pair<double, double>> xy{{0, 0}, {1, 0}};
  TestMesh t(3, xy);
  t.add(1, {1, 2});
  std::vector<int> ends{1, 2};
  for (int depth = 1; depth <= 4; ++depth) {
    std::vector<int> grown;
    for (int a : ends)
      for (int k = 0; k < 7; ++k) {
        if (depth == 4 && t.m->nelem == 1 + 14 + 98 + 686 + 1010) break;
        const int n = ++t.m->npoin;
        t.m->coord(n, 1) = depth;
        t.m->ndof(n) = 3;
        t.add(1, {a, n});
        grown.push_back(n);
      }
    ends = grown;
  }
  auto w = work();
  ASSERT_TRUE(NODELS(*t.m, *w));
  EXPECT_FALSE(sweep(*t.m, 1, *w));
  for (int n = 1; n <= t.m->npoin; ++n) ASSERT_GE(w->nelnod(n), 0);
  // A level of exactly a thousand is still taken.
  t.m->nelem = 1 + 14 + 98 + 686 + 1000;
  ASSERT_TRUE(NODELS(*t.m, *w));
  EXPECT_TRUE(sweep(*t.m, 1, *w));
}

// --- node numbers ------------------------------------------------------------------

TEST(Renumber, NodesNumberedAlongTheNewElementOrder) {
  TestMesh t = scrambled_strip();
  t.m->npoin = 11;  // node 11 belongs to no element
  auto w = work();
  Table1<int, MELEM> newelt;
  newelt(2) = 1, newelt(4) = 2, newelt(1) = 3, newelt(3) = 4;
  Table1<int, MPOIN> newnod;
  number_nodes(*t.m, newelt, newnod, *w);
  // New element 1 is old 2 (1 2 7 6), then old 4 (2 3 8 7), old 1, old 3.
  const int want[] = {0, 1, 2, 5, 7, 9, 4, 3, 6, 8, 10, 11};
  for (int n = 1; n <= 11; ++n) EXPECT_EQ(newnod(n), want[n]) << "node " << n;
  EXPECT_EQ(half_bandwidth(*t.m, newnod), 5);
}

// --- the renumbered Part A ---------------------------------------------------------

TEST(Renumber, RenumberedPartAReadsBackByTheNewNumbers) {
  TestMesh t = scrambled_strip();
  t.m->title = "Strip";
  t.m->title.resize(80, ' ');
  t.m->kode(1) = 1;
  t.m->kode(6) = 1;
  t.m->props(1, 1) = 1.0;
  Table1<int, MELEM> newelt;
  newelt(2) = 1, newelt(4) = 2, newelt(1) = 3, newelt(3) = 4;
  Table1<int, MPOIN> newnod;
  const int map[] = {0, 1, 2, 5, 7, 9, 4, 3, 6, 8, 10};
  for (int n = 1; n <= 10; ++n) newnod(n) = map[n];
  std::stringstream file;
  write_renumbered(file, *t.m, newnod, newelt);
  auto lines = test::lines_of(file.str());
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[3], "nside typ/set elt     nodes");
  EXPECT_EQ(lines[4], "0   4 1  1    3    5    7    8    6");
  EXPECT_EQ(lines[7], "1   4 1  1    2    2    5    6    3");
  EXPECT_EQ(lines[8], "kode  node  x-coord   y-coord ndof");
  EXPECT_EQ(lines[9], "0   1    1   0.00000   0.00000    1");
  EXPECT_EQ(lines[14], "0   1    4   0.00000   1.00000    1");
  EXPECT_EQ(lines[18], "1   0   10   4.00000   1.00000    1");
  EXPECT_EQ(lines[19], "  set cmpnt        value");
  EXPECT_EQ(lines[20].substr(0, 10), "0   1    1");
  EXPECT_EQ(lines[21], "1");

  test::ScriptedSession s("");
  auto back = std::make_unique<MeshModel>();
  file.seekg(0);
  INPUT(file, *back);
  EXPECT_EQ(back->nelem, 4);
  EXPECT_EQ(back->npoin, 10);
  test::TestMesh r(1, {});
  r.m = std::move(back);
  EXPECT_EQ(r.nodes(1), (Nodes{1, 2, 3, 4}));
  EXPECT_EQ(r.nodes(2), (Nodes{2, 5, 6, 3}));
  EXPECT_EQ(r.nodes(4), (Nodes{7, 9, 10, 8}));
  EXPECT_EQ(r.m->kode(4), 1);  // old node 6 kept its fixity under its new number
  EXPECT_EQ(r.m->kode(3), 0);
  r.expect_at(4, 0, 1);
  r.expect_at(9, 4, 0);
  EXPECT_DOUBLE_EQ(r.m->props(1, 1), 1.0);
}

// --- the matrix picture ------------------------------------------------------------

TEST(Renumber, MatrixBlocksAndTheirMirrors) {
  test::ScriptedSession s("");
  Framebuffer& fb = plat().fb();
  fb.clear(15);
  // 210 nodes: cells of 2 pixels, blocks of one pixel.
  const int nodes[] = {3, 210};
  ELSTM(2, nodes, 420 / 210, 4);
  EXPECT_EQ(fb.at(40 + 2 * 2 + 1, 40 + 2 * 2 + 1), 4);      // (3, 3)
  EXPECT_EQ(fb.at(40 + 2 * 2 + 1, 40 + 209 * 2 + 1), 4);    // (3, 210)
  EXPECT_EQ(fb.at(40 + 209 * 2 + 1, 40 + 2 * 2 + 1), 4);    // its mirror
  EXPECT_EQ(fb.at(40 + 209 * 2 + 1, 40 + 209 * 2 + 1), 4);  // (210, 210)
  EXPECT_EQ(fb.at(40 + 2 * 2 + 2, 40 + 2 * 2 + 1), 15);     // the cell's gap column
  EXPECT_EQ(fb.at(40 + 3 * 2 + 1, 40 + 3 * 2 + 1), 15);     // node 4 is not in it
  // One node: a single block of 419 pixels square.
  fb.clear(15);
  const int one[] = {1};
  ELSTM(1, one, 420, 0);
  EXPECT_EQ(fb.at(41, 41), 0);
  EXPECT_EQ(fb.at(459, 459), 0);
  EXPECT_EQ(fb.at(460, 460), 15);
  // A node number past the picture paints nothing.
  fb.clear(15);
  const int beyond[] = {300};
  ELSTM(1, beyond, 2, 0);
  for (int y = 36; y < 480; y += 7)
    for (int x = 0; x < 500; x += 3) ASSERT_EQ(fb.at(x, y), 15);
}

// --- the dialogue ------------------------------------------------------------------

struct ReduceRun {
  int status = -1;
  std::string transcript;
  std::string file;  // the output .dat afterwards
  std::unique_ptr<Table1<int, MPOIN>> newnod = std::make_unique<Table1<int, MPOIN>>();
  std::unique_ptr<Table1<int, MELEM>> newelt = std::make_unique<Table1<int, MELEM>>();
};

// Runs REDUCE on a mesh whose saved Part A is "saved\n", with the plot
// window set around the mesh so that wclick picks at mesh points.
ReduceRun run_reduce(MeshModel& m, const std::string& script) {
  ReduceRun r;
  test::ScriptedSession s(script);
  std::ostringstream out;
  out << "saved\n";
  double xmin, xmax, ymin, ymax;
  BOUNDS(m.npoin, m.coord, xmin, xmax, ymin, ymax);
  MeshWindow frame;
  STZOOM(xmin, xmax, ymin, ymax, frame);
  try {
    r.status = REDUCE(m, out, *r.newnod, *r.newelt, *work());
  } catch (const ProgramExit& e) {
    ADD_FAILURE() << "program ended with status " << e.status;
  }
  r.transcript = s.transcript();
  // What was saved before, followed by what REDUCE wrote.
  r.file = out.str();
  if (r.file.rfind("saved\n", 0) == 0 && r.file.size() > 6) r.file.erase(0, 6);
  return r;
}

const char* END = "click 560 460\n";

TEST(RenumberDialogue, EndAtOnceKeepsTheNumbers) {
  TestMesh t = scrambled_strip();
  ReduceRun r = run_reduce(*t.m, std::string(END) + "dialog No\ndialog No\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.transcript, "Original frontwidth = | 3"));
  EXPECT_TRUE(has(r.transcript, "No improved element ordering"));
  for (int e = 1; e <= 4; ++e) EXPECT_EQ((*r.newelt)(e), e);
  for (int n = 1; n <= 10; ++n) EXPECT_EQ((*r.newnod)(n), n);
  auto lines = test::lines_of(r.file);
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[4], "0   4 1  1    1    3    4    9    8");
  EXPECT_EQ(lines[13], "0   0    5   4.00000   0.00000    1");
}

TEST(RenumberDialogue, OnlyAStrictlySmallerFrontwidthIsKept) {
  TestMesh t = scrambled_strip();
  // Left end (1), then the right end (1 again), then the third square (2).
  std::string s = "wclick 0.5 0.5\nwclick 3.5 0.5\nwclick 2.5 0.5\n";
  s += END;
  s += "dialog No\ndialog No\n";
  ReduceRun r = run_reduce(*t.m, s);
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.transcript, "This gives frontwidth of 1 | - previous best was 3"));
  EXPECT_TRUE(has(r.transcript, "This gives frontwidth of 1 | - previous best was 1"));
  EXPECT_TRUE(has(r.transcript, "This gives frontwidth of 2 | - previous best was 1"));
  EXPECT_FALSE(has(r.transcript, "No improved element ordering"));
  // The ordering from the left end stands.
  EXPECT_EQ((*r.newelt)(2), 1);
  EXPECT_EQ((*r.newelt)(4), 2);
  EXPECT_EQ((*r.newelt)(1), 3);
  EXPECT_EQ((*r.newelt)(3), 4);
  size_t beeps = 0;
  for (size_t p = r.transcript.find("beep"); p != std::string::npos;
       p = r.transcript.find("beep", p + 1))
    ++beeps;
  EXPECT_EQ(beeps, 1u);
}

TEST(RenumberDialogue, NodeNumbersThatWidenTheBandAreDropped) {
  // Bars along x through nodes 1..5, numbered 2, 4, 1, 3 from the left: the
  // node numbers met along the element order (3 4 1 2 5) spread bars 3 and
  // 4 over three numbers, where each bar now spans one.
  TestMesh t = bar_row(4);
  const int ends[][2] = {{0, 0}, {3, 4}, {1, 2}, {4, 5}, {2, 3}};
  for (int e = 1; e <= 4; ++e) t.m->lnods(e, 1) = ends[e][0], t.m->lnods(e, 2) = ends[e][1];
  ReduceRun r = run_reduce(*t.m, std::string(END) + "dialog Yes\ndialog No\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.transcript, "\"Vortan - error\": Reordering increases bandwidth - ignored."));
  for (int n = 1; n <= 5; ++n) EXPECT_EQ((*r.newnod)(n), n);
  auto lines = test::lines_of(r.file);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[4], "0   1 1  1    1    3    4");
}

TEST(RenumberDialogue, MatrixPictureOfferedBelow211Nodes) {
  TestMesh small = bar_row(209);  // 210 nodes
  ReduceRun r = run_reduce(*small.m, std::string(END) + "dialog No\ndialog No\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.transcript, "Do you want to see the global stiffness matrix structure?"));
  EXPECT_FALSE(has(r.transcript, "Large mesh"));

  TestMesh large = bar_row(210);  // 211 nodes
  r = run_reduce(*large.m, std::string(END) + "dialog No\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has(r.transcript, "Large mesh - cannot show global matrix structure"));
  EXPECT_FALSE(has(r.transcript, "global stiffness matrix structure?"));
}

TEST(RenumberDialogue, TooManyElementsAtANodeRefusedWithoutWriting) {
  std::vector<std::pair<double, double>> xy{{0, 0}};
  for (int i = 0; i < 10; ++i) xy.push_back({std::cos(i * 0.6), std::sin(i * 0.6)});
  TestMesh t(2, xy);
  for (int i = 2; i <= 10; ++i) t.add(3, {1, i, i + 1});
  ReduceRun r = run_reduce(*t.m, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(has(r.transcript, "Original frontwidth = | 8"));
  EXPECT_TRUE(has(r.transcript, "Vortan - error\": Too many elts meeting at a single node."));
  EXPECT_EQ(r.file, "saved\n");
  for (int e = 1; e <= 9; ++e) EXPECT_EQ((*r.newelt)(e), e);
}

TEST(RenumberDialogue, WritesTheWholeRenumberedPartA) {
  TestMesh t = scrambled_strip();
  test::ScriptedSession s(std::string(END) + "dialog No\ndialog No\n");
  std::ostringstream out;
  auto newnod = std::make_unique<Table1<int, MPOIN>>();
  auto newelt = std::make_unique<Table1<int, MELEM>>();
  ASSERT_EQ(REDUCE(*t.m, out, *newnod, *newelt, *work()), 0);
  std::ostringstream want;
  write_renumbered(want, *t.m, *newnod, *newelt);
  EXPECT_EQ(out.str(), want.str());
}

}  // namespace
}  // namespace vortan
