// Reading result sets from .out files: the Gauss-point section and its
// limits, early ends and bad lines, the step back to the next title, and
// the names of the viewer's PostScript files.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "dat_file.h"
#include "prompts.h"
#include "results_file.h"
#include "test_support.h"
#include "viewer_driver.h"

namespace vortan {
namespace {

using test::lines_of;
using test::ScriptedSession;

// Part A of a three-node triangle (nodes (0,0), (2,0), (0,1)); ndofn 2 for
// elasticity, 1 for a Poisson problem.
std::string mesh_head(int ndofn) {
  std::string kode = ndofn == 1 ? "   0" : "  00";
  std::string nd = "    " + std::to_string(ndofn);
  return "Test triangle\n"
         "npoin nelem ndofn npros   extra parameters\n"
         "    3    1" + nd + "    1\n"
         "nside typ/set elt       nodes\n"
         "1   3 1  1    1    1    2    3\n"
         "kode  node  x-coord   y-coord ndof\n"
         "0" + kode + "    1   0.00000   0.00000" + nd + "\n"
         "0" + kode + "    2   2.00000   0.00000" + nd + "\n"
         "1" + kode + "    3   0.00000   1.00000" + nd + "\n"
         "  set cmpnt         value\n"
         "0   1    1           0.100E+04\n"
         "1\n";
}

// Columns 1-7 ignored, then four labels of 10 characters.
const std::string LABELS = std::string(" node  ") + "  x-displt" + "  y-displt" + " pressure " +
                           "   extra  " + "\n";

std::string nodal(int n, double a, double b = 0, double c = 0, double d = 0) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%5d%10.4f%10.4f%10.4f%10.4f\n", n, a, b, c, d);
  return buf;
}

std::string gauss(int e, int g, int yield, double x, double y, double s1, double s2 = 0) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%5d%2d%3d%10.4f%10.4f%10.3f%10.3f%10.3f%10.3f\n", e, g, yield,
                x, y, s1, s2, 0.0, 0.0);
  return buf;
}

const std::string GAUSS_HEADER = "  elt gp yld  x-coord   y-coord     sigx      sigy\n";

// A results file being read: the mesh head is read first, as the driver
// does, and the stream then stands at the first result set.
struct OutFile {
  ScriptedSession session{""};
  std::unique_ptr<MeshModel> m = std::make_unique<MeshModel>();
  std::unique_ptr<ResultSet> r = std::make_unique<ResultSet>();
  std::istringstream in;

  OutFile(int ndofn, const std::string& sets) : in(mesh_head(ndofn) + sets) {
    clear_results(*r);
    INPUT(in, *m);
  }
  SetRead read() { return read_result_set(in, *m, *r); }
  bool next(std::string& title) { return read_next_title(in, title); }
  std::string text() const { return session.transcript(); }
};

bool has_line(const std::string& text, const std::string& line) {
  for (const auto& l : lines_of(text))
    if (l == line) return true;
  return false;
}

TEST(ResultsFile, LabelsNodalValuesAndGaussPointsOfOneSet) {
  OutFile f(2, LABELS + nodal(1, 0.5, -1.25, 3) + nodal(2, 1, 2, 3, 4) + nodal(3, -7, 0) +
                   GAUSS_HEADER + gauss(1, 1, 0, 0.5, 0.25, -10, -20) +
                   gauss(1, 3, 2, 1.0, 0.5, -30, -40));
  ASSERT_EQ(f.read(), SetRead::Read);
  EXPECT_EQ(f.r->dofnam[1], "  x-displt");
  EXPECT_EQ(f.r->dofnam[3], " pressure ");
  EXPECT_EQ(f.r->dofnam[4], "   extra  ");
  EXPECT_DOUBLE_EQ(f.r->disp(1, 2), -1.25);
  EXPECT_DOUBLE_EQ(f.r->disp(2, 4), 4.0);
  EXPECT_DOUBLE_EQ(f.r->disp(3, 1), -7.0);
  EXPECT_EQ(f.r->hasgp, 1);
  ASSERT_EQ(f.r->ngaus, 2);
  EXPECT_EQ(f.r->igaus(1, 1), 1);
  EXPECT_EQ(f.r->igaus(1, 2), 0);
  EXPECT_EQ(f.r->igaus(1, 3), 2);
  EXPECT_EQ(f.r->iyield(2), 2);
  EXPECT_DOUBLE_EQ(f.r->xgaus(2, 1), 1.0);
  EXPECT_DOUBLE_EQ(f.r->xgaus(2, 2), 0.5);
  EXPECT_DOUBLE_EQ(f.r->stres(1, 2), -20.0);
  EXPECT_DOUBLE_EQ(f.r->stres(2, 1), -30.0);
  std::string title;
  EXPECT_FALSE(f.next(title));
  auto lines = lines_of(f.text());
  std::vector<std::string> want = {"Starting to read output data...",
                                   "Reading nodal output data...",
                                   "Reading Gauss pt output data...", "", "Results title:",
                                   "            Test triangle"};
  ASSERT_GE(lines.size(), want.size());
  EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(want.size()), lines.end()),
            want);
}

TEST(ResultsFile, NodalLinesInAnyOrderFillTheSameRows) {
  OutFile up(2, LABELS + nodal(1, 1, 10) + nodal(2, 2, 20) + nodal(3, 3, 30));
  OutFile down(2, LABELS + nodal(3, 3, 30) + nodal(2, 2, 20) + nodal(1, 1, 10));
  ASSERT_EQ(up.read(), SetRead::Read);
  ASSERT_EQ(down.read(), SetRead::Read);
  for (int n = 1; n <= 3; ++n)
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(up.r->disp(n, k), down.r->disp(n, k));
  EXPECT_DOUBLE_EQ(down.r->disp(3, 2), 30.0);
}

TEST(ResultsFile, FileEndingAfterTheNodalLinesHasNoGaussPoints) {
  // Elasticity: the Gauss-point message comes first, then the end is found.
  OutFile e(2, LABELS + nodal(1, 1) + nodal(2, 2) + nodal(3, 3));
  ASSERT_EQ(e.read(), SetRead::Read);
  EXPECT_EQ(e.r->hasgp, 0);
  EXPECT_EQ(e.r->ngaus, 0);
  std::string t = e.text();
  EXPECT_TRUE(has_line(t, "Reading Gauss pt output data..."));
  EXPECT_TRUE(has_line(t, "End of file reached - no stress data found."));
  EXPECT_LT(t.find("Reading Gauss pt"), t.find("End of file reached"));
  std::string title;
  EXPECT_FALSE(e.next(title));
}

TEST(ResultsFile, PoissonFileEndingAfterTheNodalLinesNamesFlowRates) {
  OutFile p(1, " node        head\n" + nodal(1, 5) + nodal(2, 4) + nodal(3, 3));
  ASSERT_EQ(p.read(), SetRead::Read);
  EXPECT_EQ(p.r->hasgp, 0);
  std::string t = p.text();
  EXPECT_TRUE(has_line(t, "End of file reached - no flow rate data found."));
  EXPECT_EQ(t.find("Reading Gauss point output data..."), std::string::npos);
  EXPECT_EQ(t.find("Reading Gauss pt"), std::string::npos);
  EXPECT_EQ(t.find("stress"), std::string::npos);
}

TEST(ResultsFile, PoissonGaussSectionIsAnnouncedAfterItsHeader) {
  OutFile p(1, " node        head\n" + nodal(1, 5) + nodal(2, 4) + nodal(3, 3) +
                   "  elt gp yld  x-coord   y-coord   x-flow    y-flow\n" +
                   gauss(1, 1, 0, 0.7, 0.3, 2.5, -1.0));
  ASSERT_EQ(p.read(), SetRead::Read);
  EXPECT_EQ(p.r->hasgp, 1);
  EXPECT_EQ(p.r->ngaus, 1);
  EXPECT_DOUBLE_EQ(p.r->stres(1, 1), 2.5);
  EXPECT_DOUBLE_EQ(p.r->stres(1, 2), -1.0);
  EXPECT_TRUE(has_line(p.text(), "Reading Gauss point output data..."));
}

TEST(ResultsFile, TitleLineEndsTheGaussSectionAndStartsTheNextSet) {
  OutFile f(2, LABELS + nodal(1, 1) + nodal(2, 2) + nodal(3, 3) + GAUSS_HEADER +
                   gauss(1, 1, 0, 0.5, 0.3, -10) + gauss(1, 2, 0, 1.0, 0.3, -11) +
                   "Second load step\n" + LABELS + nodal(1, 9) + nodal(2, 8) + nodal(3, 7) +
                   GAUSS_HEADER + gauss(1, 2, 1, 1.0, 0.3, -99));
  ASSERT_EQ(f.read(), SetRead::Read);
  EXPECT_EQ(f.r->ngaus, 2);
  std::string title;
  ASSERT_TRUE(f.next(title));
  EXPECT_EQ(title.size(), 80u);
  EXPECT_EQ(trimmed(title), "Second load step");
  f.m->title = title;
  ASSERT_EQ(f.read(), SetRead::Read);
  EXPECT_DOUBLE_EQ(f.r->disp(1, 1), 9.0);
  EXPECT_DOUBLE_EQ(f.r->disp(3, 1), 7.0);
  ASSERT_EQ(f.r->ngaus, 1);
  // The second set's only record is point 2; point 1 of the first set is gone.
  EXPECT_EQ(f.r->igaus(1, 1), 0);
  EXPECT_EQ(f.r->igaus(1, 2), 1);
  EXPECT_EQ(f.r->iyield(1), 1);
  EXPECT_DOUBLE_EQ(f.r->stres(1, 1), -99.0);
  EXPECT_TRUE(has_line(f.text(), "            Second load step"));
  EXPECT_FALSE(f.next(title));
}

TEST(ResultsFile, SetWithoutGaussSectionKeepsNoRecordsOfTheSetBefore) {
  OutFile f(2, LABELS + nodal(1, 1) + nodal(2, 2) + nodal(3, 3) + GAUSS_HEADER +
                   gauss(1, 1, 3, 0.5, 0.3, -10) + "Step two\n" + LABELS + nodal(1, 4) +
                   nodal(2, 5) + nodal(3, 6));
  ASSERT_EQ(f.read(), SetRead::Read);
  ASSERT_EQ(f.r->ngaus, 1);
  std::string title;
  ASSERT_TRUE(f.next(title));
  ASSERT_EQ(f.read(), SetRead::Read);
  EXPECT_EQ(f.r->hasgp, 0);
  EXPECT_EQ(f.r->ngaus, 0);
  EXPECT_EQ(f.r->igaus(1, 1), 0);
}

TEST(ResultsFile, LongResultTitleIsEchoedWithItsFirstSixtyCharacters) {
  const std::string seventy = std::string(30, 'a') + std::string(30, 'b') + "cccccccccc";
  OutFile f(2, LABELS + nodal(1, 1) + nodal(2, 2) + nodal(3, 3) + GAUSS_HEADER +
                   gauss(1, 1, 0, 0, 0, 1) + seventy + "\n" + LABELS + nodal(1, 1) +
                   nodal(2, 2) + nodal(3, 3));
  ASSERT_EQ(f.read(), SetRead::Read);
  std::string title;
  ASSERT_TRUE(f.next(title));
  EXPECT_EQ(trimmed(title), seventy);
  f.m->title = title;
  ASSERT_EQ(f.read(), SetRead::Read);
  EXPECT_TRUE(has_line(f.text(), std::string(12, ' ') + seventy.substr(0, 60)));
}

TEST(ResultsFile, PrematureEndInTheLabelOrNodalLines) {
  // The mesh data are 12 lines: the labels should be line 13, the third
  // nodal line line 16.
  const std::pair<std::string, std::string> cases[] = {
      {"", "line 13: the file ends here; it should hold the d.o.f. labels of a result set"},
      {LABELS + nodal(1, 1) + nodal(2, 2),
       "line 16: the file ends here; it should hold a nodal line: node no. (I5), then four "
       "values (F10 each)"}};
  for (const auto& [sets, where] : cases) {
    OutFile f(2, sets);
    EXPECT_EQ(f.read(), SetRead::PrematureEnd);
    auto lines = lines_of(f.text());
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[lines.size() - 4], "");
    EXPECT_EQ(lines[lines.size() - 3], "FATAL ERROR: premature end of data!");
    EXPECT_EQ(lines[lines.size() - 2], "");
    EXPECT_EQ(lines[lines.size() - 1], "the data, " + where);
    std::string title;
    EXPECT_FALSE(f.next(title));
  }
}

TEST(ResultsFile, BadNodalLineStopsTheSetAndTheNextLineIsTakenAsTitle) {
  OutFile f(2, LABELS + nodal(1, 1) + "    2   one.five       2.0\n" + nodal(3, 3) + "Later\n");
  EXPECT_EQ(f.read(), SetRead::BadFormat);
  EXPECT_TRUE(has_line(f.text(), "FATAL ERROR: data in unexpected format!"));
  EXPECT_EQ(f.text().find("Results title:"), std::string::npos);
  std::string title;
  ASSERT_TRUE(f.next(title));
  EXPECT_EQ(title.substr(0, 5), "    3");
}

// A "line" with no end, as a device or a binary file gives: refused as bad
// data in the nodal lines, the end of the section among the Gauss points.
TEST(ResultsFile, EndlessLinesAreRefusedNotReadWhole) {
  const std::string endless(200000, '\0');
  OutFile nodes(2, LABELS + nodal(1, 1) + endless);
  EXPECT_EQ(nodes.read(), SetRead::BadFormat);
  EXPECT_TRUE(has_line(nodes.text(), "FATAL ERROR: data in unexpected format!"));
  OutFile points(2, LABELS + nodal(1, 1) + nodal(2, 2) + nodal(3, 3) + GAUSS_HEADER +
                        gauss(1, 1, 0, 0.5, 0.25, 7) + endless);
  ASSERT_EQ(points.read(), SetRead::Read);
  EXPECT_EQ(points.r->ngaus, 1);
  std::string title;
  EXPECT_FALSE(points.next(title));
}

TEST(ResultsFile, NumbersOutsideTheTablesAreIgnoredWithAWarning) {
  OutFile f(2, LABELS + nodal(1, 1) + nodal(0, 50) + nodal(4, 60) + GAUSS_HEADER +
                   gauss(1, 1, 0, 0, 0, 5) + gauss(2, 1, 0, 0, 0, 6) + gauss(1, 5, 0, 0, 0, 7) +
                   gauss(1, 0, 0, 0, 0, 8) + gauss(-1, 1, 0, 0, 0, 9) + gauss(1, 4, 0, 0, 0, 10));
  ASSERT_EQ(f.read(), SetRead::Read);
  EXPECT_DOUBLE_EQ(f.r->disp(1, 1), 1.0);
  EXPECT_DOUBLE_EQ(f.r->disp(2, 1), 0.0);
  EXPECT_DOUBLE_EQ(f.r->disp(3, 1), 0.0);
  ASSERT_EQ(f.r->ngaus, 2);
  EXPECT_EQ(f.r->igaus(1, 1), 1);
  EXPECT_EQ(f.r->igaus(1, 4), 2);
  EXPECT_DOUBLE_EQ(f.r->stres(2, 1), 10.0);
  std::string t = f.text();
  EXPECT_TRUE(has_line(t, " Warning: 2 nodal lines with node numbers out of range ignored."));
  EXPECT_TRUE(has_line(
      t, " Warning: 4 Gauss-point lines with element or point numbers out of range ignored."));
}

TEST(ResultsFile, GaussTableLimitStoresTheLastRecordAndPassesOverTheRest) {
  std::string sets = LABELS + nodal(1, 1) + nodal(2, 2) + nodal(3, 3) + GAUSS_HEADER;
  for (int i = 1; i <= MGAUS + 3; ++i) sets += gauss(1, 1 + i % 4, 0, i, 0, i);
  sets += "After the limit\n" + LABELS + nodal(1, 4) + nodal(2, 5) + nodal(3, 6);
  OutFile f(2, sets);
  ASSERT_EQ(f.read(), SetRead::Read);
  EXPECT_EQ(f.r->ngaus, MGAUS);
  EXPECT_DOUBLE_EQ(f.r->stres(MGAUS, 1), MGAUS);
  EXPECT_DOUBLE_EQ(f.r->xgaus(MGAUS, 1), MGAUS);
  std::string t = f.text();
  EXPECT_TRUE(has_line(t, " Warning: max. no. of Gauss-point values reached."));
  EXPECT_TRUE(has_line(t, " Any subsequent values will be ignored."));
  // The lines beyond the limit are not taken for a further result set.
  std::string title;
  ASSERT_TRUE(f.next(title));
  EXPECT_EQ(trimmed(title), "After the limit");
  f.m->title = title;
  ASSERT_EQ(f.read(), SetRead::Read);
  EXPECT_DOUBLE_EQ(f.r->disp(2, 1), 5.0);
}

TEST(ResultsFile, BlankLinesAtTheEndAreNoFurtherSetButABlankTitleIs) {
  const std::string first = LABELS + nodal(1, 1) + nodal(2, 2) + nodal(3, 3) + GAUSS_HEADER +
                            gauss(1, 1, 0, 0, 0, 1);
  OutFile trailing(2, first + "\n   \n\n");
  ASSERT_EQ(trailing.read(), SetRead::Read);
  EXPECT_EQ(trailing.r->ngaus, 1);
  std::string title;
  EXPECT_FALSE(trailing.next(title));

  OutFile blank_title(2, first + "\n" + LABELS + nodal(1, 7) + nodal(2, 8) + nodal(3, 9));
  ASSERT_EQ(blank_title.read(), SetRead::Read);
  ASSERT_TRUE(blank_title.next(title));
  EXPECT_EQ(LENSTR(title), 0);
  ASSERT_EQ(blank_title.read(), SetRead::Read);
  EXPECT_DOUBLE_EQ(blank_title.r->disp(3, 1), 9.0);
}

TEST(ResultsFile, LinesEndingInCarriageReturnsReadAlike) {
  std::string sets = LABELS + nodal(1, 1.5) + nodal(2, 2) + nodal(3, 3) + GAUSS_HEADER +
                     gauss(1, 2, 1, 0.25, 0.5, -3) + "Next\n" + LABELS + nodal(1, 1) +
                     nodal(2, 2) + nodal(3, 3);
  std::string crlf;
  for (char c : sets) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  OutFile f(2, crlf);
  ASSERT_EQ(f.read(), SetRead::Read);
  EXPECT_DOUBLE_EQ(f.r->disp(1, 1), 1.5);
  EXPECT_EQ(f.r->ngaus, 1);
  EXPECT_DOUBLE_EQ(f.r->stres(1, 1), -3.0);
  std::string title;
  ASSERT_TRUE(f.next(title));
  EXPECT_EQ(trimmed(title), "Next");
}

// Result sets with lines cut, characters replaced, lines dropped or
// repeated: every set reads to an end, and every index left in the tables
// points at a record that was stored.
TEST(ResultsFile, DamagedSetsAlwaysLeaveConsistentTables) {
  std::vector<std::string> lines = lines_of(
      LABELS + nodal(1, 1, 2) + nodal(2, 3, 4) + nodal(3, 5, 6) + GAUSS_HEADER +
      gauss(1, 1, 0, 0.5, 0.2, -1) + gauss(1, 2, 1, 1.0, 0.2, -2) + gauss(1, 3, 0, 0.2, 0.5, -3) +
      "Second set\n" + LABELS + nodal(3, 7) + nodal(1, 8) + nodal(2, 9) + GAUSS_HEADER +
      gauss(1, 4, 2, 0.3, 0.3, -4));
  std::mt19937 rng(20261207);
  const char noise[] = " 0123456789.-+Ex\t";
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<std::string> out = lines;
    for (int k = 0, edits = 1 + static_cast<int>(rng() % 3); k < edits && !out.empty(); ++k) {
      size_t i = rng() % out.size();
      switch (rng() % 4) {
        case 0:
          if (!out[i].empty()) out[i][rng() % out[i].size()] = noise[rng() % (sizeof noise - 1)];
          break;
        case 1:
          out[i].resize(out[i].empty() ? 0 : rng() % out[i].size());
          break;
        case 2:
          out.erase(out.begin() + static_cast<long>(i));
          break;
        default:
          out.insert(out.begin() + static_cast<long>(i), out[i]);
          break;
      }
    }
    std::string text;
    for (const auto& l : out) text += l + "\n";
    OutFile f(2, text);
    std::string title;
    int sets = 0;
    do {
      f.read();
      ASSERT_GE(f.r->ngaus, 0);
      ASSERT_LE(f.r->ngaus, MGAUS);
      for (int g = 1; g <= MGPEL; ++g) {
        ASSERT_GE(f.r->igaus(1, g), 0);
        ASSERT_LE(f.r->igaus(1, g), f.r->ngaus);
      }
      ASSERT_LT(++sets, 40) << "reading does not come to an end";
    } while (f.next(title));
  }
}

TEST(ViewerFiles, PostScriptNamesReplaceTheExtension) {
  EXPECT_EQ(ps_name(ps_stem("C:\\runs\\slope.out"), 'a'), "C:\\runs\\slopea.ps");
  EXPECT_EQ(ps_name(ps_stem("C:\\runs\\slope.out"), 'g'), "C:\\runs\\slopeg.ps");
  EXPECT_EQ(ps_name(ps_stem("/home/u/dam.out"), 'd'), "/home/u/damd.ps");
  // A name without an extension keeps its whole path; a dot in a folder
  // name is not an extension.
  EXPECT_EQ(ps_stem("/runs.v2/slope"), "/runs.v2/slope");
  EXPECT_EQ(ps_stem("ab"), "ab");
  EXPECT_EQ(ps_stem("/runs/.hidden"), "/runs/.hidden");
  EXPECT_NE(YIELD_LETTER, 'a');
  for (char c = 'a'; c <= 'g'; ++c) EXPECT_NE(YIELD_LETTER, c);
}

TEST(ViewerFiles, OneDimensionalElementsExcludeCornerInfiniteElements) {
  test::TestMesh t(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  t.add(4, {1, 2, 3, 4});
  t.add(2, {1, 2, 3});  // corner infinite element: two sides, three nodes
  EXPECT_FALSE(has_1d_elements(*t.m));
  t.add(1, {3, 4});     // a bar
  EXPECT_TRUE(has_1d_elements(*t.m));
}

}  // namespace
}  // namespace vortan
