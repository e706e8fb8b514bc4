// The prompt and message routines, driven through the headless platform by
// small session scripts. Expected texts are the system's own words; the
// transcripts are checked line by line where the layout matters.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "help_screens.h"
#include "mesh_model.h"
#include "platform/headless.h"
#include "prompts.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::ScriptedSession;

namespace {

using test::lines_of;
using test::exit_of;

bool has_line(const std::string& transcript, const std::string& line) {
  for (const auto& l : lines_of(transcript))
    if (l == line) return true;
  return false;
}

int count_lines(const std::string& transcript, const std::string& line) {
  int n = 0;
  for (const auto& l : lines_of(transcript))
    if (l == line) ++n;
  return n;
}

bool g_ending_ran = false;
void note_ending() { g_ending_ran = true; }

}  // namespace

// --- YESNO -----------------------------------------------------------------

TEST(Yesno, LowerAndUpperCaseAnswers) {
  const char* cases[][2] = {{"y", "y"}, {"Y", "y"}, {"n", "n"}, {"N", "n"}};
  for (auto& c : cases) {
    ScriptedSession s(std::string("key ") + c[0]);
    EXPECT_EQ(YESNO("Proceed?"), c[1][0]) << "key " << c[0];
    std::string echo = c[1][0] == 'y' ? "Proceed?  Yes" : "Proceed?  No";
    EXPECT_TRUE(has_line(s.transcript(), echo)) << s.transcript();
  }
}

TEST(Yesno, FunctionAndControlKeysAreIgnored) {
  ScriptedSession s("key F1\nkey F12\nkey Enter\nkey n");
  EXPECT_EQ(YESNO("Keep it?"), 'n');
  std::string t = s.transcript();
  EXPECT_EQ(t.find("Type y for Yes"), std::string::npos) << t;
  EXPECT_TRUE(has_line(t, "Keep it?  No")) << t;
}

TEST(Yesno, OtherPrintableKeysAskForYOrN) {
  ScriptedSession s("key x\nkey Space\nkey Y");
  EXPECT_EQ(YESNO("Keep it?"), 'y');
  std::string t = s.transcript();
  EXPECT_EQ(count_lines(t, "Type y for Yes or n for No: "), 1) << t;
  EXPECT_TRUE(has_line(t, "Type y for Yes or n for No:  Yes")) << t;
}

TEST(Yesno, EscThenNoGoesOnWaiting) {
  ScriptedSession s("key Esc\nkey n\nkey y");
  EXPECT_EQ(YESNO("Keep it?"), 'y');
  std::string t = s.transcript();
  EXPECT_TRUE(has_line(t, "Do you want to exit?  No")) << t;
  // Only the exit question was answered no; the Esc itself is no answer.
  EXPECT_EQ(t.find("Type y for Yes"), std::string::npos) << t;
}

TEST(Yesno, EscThenYesEndsTheProgramWithStatusZero) {
  ScriptedSession s("key Esc\nkey y\nkey n");
  g_ending_ran = false;
  set_ending_hook(note_ending);
  ProgramExit e = exit_of([] { YESNO("Keep it?"); });
  set_ending_hook(nullptr);
  EXPECT_EQ(e.status, 0);
  EXPECT_TRUE(g_ending_ran);
  EXPECT_TRUE(has_line(s.transcript(), "Do you want to exit?  Yes"));
}

// --- GETKZZ and PROMPT -------------------------------------------------------

TEST(Getkzz, OrdinaryKeysAreReturnedWithoutQuestion) {
  ScriptedSession s("key a\nkey F3");
  EXPECT_EQ(GETKZZ(), 'a');
  EXPECT_EQ(GETKZZ(), KEY_F1 + 2);
  EXPECT_EQ(s.transcript(), "");
}

TEST(Getkzz, CtrlCAsksToExitAndReturnsTheKeyOnNo) {
  ScriptedSession s("key CtrlC\nkey n");
  EXPECT_EQ(GETKZZ(), KEY_CTRLC);
  EXPECT_TRUE(has_line(s.transcript(), "Do you want to exit?  No"));
}

TEST(Getkzz, CtrlCThenYesEnds) {
  ScriptedSession s("key CtrlC\nkey y");
  EXPECT_EQ(exit_of([] { GETKZZ(); }).status, 0);
}

TEST(Prompt, WaitsForOneKey) {
  ScriptedSession s("key z\nline after");
  PROMPT();
  EXPECT_TRUE(has_line(s.transcript(), "Press any key to continue!"));
  EXPECT_EQ(READLN(), "after");  // exactly one key was taken
}

// --- ASKDGT --------------------------------------------------------------------

TEST(Askdgt, DigitAndLeadingMinus) {
  {
    ScriptedSession s("key 7");
    EXPECT_EQ(ASKDGT("Which digit?"), 7);
    EXPECT_TRUE(has_line(s.transcript(), "Which digit? 7"));
  }
  {
    ScriptedSession s("key -\nkey 3");
    EXPECT_EQ(ASKDGT("Which digit?"), -3);
    EXPECT_TRUE(has_line(s.transcript(), "Which digit? -3"));
  }
  {
    ScriptedSession s("key 0");
    EXPECT_EQ(ASKDGT("Which digit?"), 0);
  }
}

TEST(Askdgt, NonDigitAsksForADigit) {
  ScriptedSession s("key a\nkey F2\nkey 9");
  EXPECT_EQ(ASKDGT("Which digit?"), 9);
  std::string t = s.transcript();
  EXPECT_EQ(count_lines(t, "Enter a digit: +/- 0,1,2,3,4,5,6,7,8 or 9"), 1) << t;
}

// --- ASKELT --------------------------------------------------------------------

TEST(Askelt, NegativeMustBeTypedTwice) {
  ScriptedSession s("line -5\nline -5");
  EXPECT_EQ(ASKELT(100), -5);
  std::string t = s.transcript();
  EXPECT_EQ(count_lines(t, "Enter an element number (0 to end): -5"), 2) << t;
  EXPECT_TRUE(has_line(t, "Warning: this is negative. Retype, to confirm:  ")) << t;
}

TEST(Askelt, SecondAnswerAfterNegativeIsTakenAsItIs) {
  {
    ScriptedSession s("line -5\nline 7");
    EXPECT_EQ(ASKELT(100), 7);
  }
  {
    ScriptedSession s("line -5\nline 0");
    EXPECT_EQ(ASKELT(100), 0);
  }
  {
    ScriptedSession s("line -5\nline -8");
    EXPECT_EQ(ASKELT(100), -8);
  }
}

TEST(Askelt, MaximumIsAllowedAndOneAboveIsRefused) {
  {
    ScriptedSession s("line 100");
    EXPECT_EQ(ASKELT(100), 100);
  }
  {
    ScriptedSession s("line 101\nline 3");
    EXPECT_EQ(ASKELT(100), 3);
    std::string t = s.transcript();
    EXPECT_TRUE(has_line(t, "Error: max. permitted elt. no. is 100")) << t;
    EXPECT_TRUE(has_line(t, "Enter an element number (0 to end): 3")) << t;
  }
}

TEST(Askelt, DeletionBeyondTheMaximumIsRefused) {
  // A confirmed negative number names an element to delete, so it must lie
  // within the maximum as well.
  {
    ScriptedSession s("line -101\nline -100\nline -100");
    EXPECT_EQ(ASKELT(100), -100);
    std::string t = s.transcript();
    EXPECT_TRUE(has_line(t, "Error: max. permitted elt. no. is 100")) << t;
    EXPECT_TRUE(has_line(t, "Warning: this is negative. Retype, to confirm:  ")) << t;
  }
  {
    ScriptedSession s("line -5\nline -2147483647\nline -3");
    EXPECT_EQ(ASKELT(100), -3);
    EXPECT_TRUE(has_line(s.transcript(), "Error: max. permitted elt. no. is 100"));
  }
}

TEST(Askelt, UnreadableAnswerAsksAgain) {
  ScriptedSession s("line abc\nline 2.5\nline\nline 4");
  EXPECT_EQ(ASKELT(100), 4);
  std::string t = s.transcript();
  EXPECT_EQ(count_lines(t, "You must type an elt number (integer l, 0<l<100)"), 2) << t;
}

// --- ASKNOD --------------------------------------------------------------------

TEST(Asknod, MessagesForEachKindOfBadAnswer) {
  ScriptedSession s("line -3\nline 51\nline x\nline 50");
  EXPECT_EQ(ASKNOD(50), 50);
  std::string t = s.transcript();
  EXPECT_TRUE(has_line(t, "Node no. must be positive - try again!")) << t;
  EXPECT_TRUE(has_line(t, "Error: max. permitted node no. is 50")) << t;
  EXPECT_TRUE(has_line(t, "You must type a node no. (integer n, 0<n<50)")) << t;
  EXPECT_EQ(count_lines(t, "Enter a node number (0 to end): 50"), 1) << t;
}

TEST(Asknod, ZeroEnds) {
  ScriptedSession s("line 0");
  EXPECT_EQ(ASKNOD(50), 0);
}

// --- ASKVAL --------------------------------------------------------------------

TEST(Askval, ShowsTheValueAndRetriesUnreadableInput) {
  ScriptedSession s("line abc\nline 3.25");
  double v = 2.5;
  ASKVAL(v);
  EXPECT_DOUBLE_EQ(v, 3.25);
  std::string t = s.transcript();
  EXPECT_TRUE(has_line(t, "Current value is 2.5")) << t;
  EXPECT_TRUE(has_line(t, "Incorrect input: type a real number")) << t;
  EXPECT_TRUE(has_line(t, "Type new value (repeat value if unchanged): 3.25")) << t;
}

TEST(Askval, ExponentForm) {
  ScriptedSession s("line -1.5E3");
  double v = 0.0;
  ASKVAL(v);
  EXPECT_DOUBLE_EQ(v, -1500.0);
}

// --- dialog boxes ----------------------------------------------------------------

TEST(DialogBoxes, YesNoAndHelpAnswers) {
  ScriptedSession s("dialog Yes\ndialog no\ndialog Yes\ndialog No\ndialog HELP");
  EXPECT_EQ(YESNOG("Zoom in?"), 'y');
  EXPECT_EQ(YESNOG("Zoom in?"), 'n');
  EXPECT_EQ(YESNOH("Zoom in?"), 'y');
  EXPECT_EQ(YESNOH("Zoom in?"), 'n');
  EXPECT_EQ(YESNOH("Zoom in?"), 'h');
  std::string t = s.transcript();
  EXPECT_NE(t.find("\"Vortan\": Zoom in?"), std::string::npos) << t;
}

TEST(DialogBoxes, ErrorBoxTakesNoEvent) {
  ScriptedSession s("");
  PUTERR("Invalid set no. Try again:   ");
  std::string t = s.transcript();
  auto l = lines_of(t);
  ASSERT_EQ(l.size(), 1u) << t;
  EXPECT_NE(l[0].find("\"Vortan - error\""), std::string::npos) << t;
  EXPECT_NE(l[0].find("Invalid set no. Try again:"), std::string::npos) << t;
  EXPECT_EQ(l[0].find("again:   "), std::string::npos) << "trailing blanks shown: " << t;
}

TEST(DialogBoxes, IntegerAndRealFieldsReturnEditedValues) {
  ScriptedSession s("dialog OK 42\ndialog OK\ndialog ok 2.5\ndialog OK -\ndialog OK 1e-3\n"
                    "dialog OK \"two words\"");
  EXPECT_EQ(PUTGI("New material type?"), 42);
  EXPECT_EQ(PUTGI("New material type?"), 0);  // the field starts at 0
  EXPECT_DOUBLE_EQ(PUTGR("Enter a scaling factor: "), 2.5);
  double f = 7.0;
  PUTGR2("Enter an exaggeration factor: ", f);
  EXPECT_DOUBLE_EQ(f, 7.0);  // kept: the field starts at the current value
  PUTGR2("Enter an exaggeration factor: ", f);
  EXPECT_DOUBLE_EQ(f, 0.001);
  EXPECT_EQ(PUTGCH("Name?"), "two words");
}

TEST(DialogBoxes, FixityCodeHasOneDigitPerDof) {
  {
    ScriptedSession s("");
    OUTKOD(3, 10);
    std::string t = s.transcript();
    EXPECT_NE(t.find("Fixity code: 010"), std::string::npos) << t;
    EXPECT_NE(t.find("\"Vortan - fixity code\""), std::string::npos) << t;
  }
  {
    ScriptedSession s("");
    OUTKOD(2, 1);
    EXPECT_NE(s.transcript().find("Fixity code: 01 "), std::string::npos) << s.transcript();
  }
  {
    ScriptedSession s("");
    OUTKOD(4, 1011);
    EXPECT_NE(s.transcript().find("Fixity code: 1011"), std::string::npos);
  }
  for (int bad : {0, 5}) {
    ScriptedSession s("");
    OUTKOD(bad, 1);
    EXPECT_EQ(s.transcript(), "") << bad << " d.o.f.";
  }
}

TEST(DialogBoxes, ValuesAndNodeBoxes) {
  ScriptedSession s("");
  OUTVAL("Position:", 1.5, -2.0);
  OUTNOD("Coordinates: ", 12, 0.25, 3.0);
  std::string t = s.transcript();
  EXPECT_NE(t.find("Position: | (1.5 , -2.0)"), std::string::npos) << t;
  EXPECT_NE(t.find("Node no. 12 | Coordinates: | (0.25 , 3.0)"), std::string::npos) << t;
}

// --- listings ------------------------------------------------------------------

namespace {

// n quadrilaterals, element e with nodes e, e+1, e+2, e+3.
std::unique_ptr<MeshModel> strip_of_quads(int n) {
  auto m = std::make_unique<MeshModel>();
  m->nelem = n;
  m->npoin = n + 3;
  for (int e = 1; e <= n; ++e) {
    m->nnode(e) = 4;
    m->nside(e) = 4;
    for (int k = 1; k <= 4; ++k) m->lnods(e, k) = e + k - 1;
  }
  return m;
}

// The listing lines that start with a number (element or node lines).
std::vector<std::vector<long>> numeric_lines(const std::string& t) {
  std::vector<std::vector<long>> out;
  for (const auto& l : lines_of(t)) {
    std::istringstream in(l);
    std::vector<long> v;
    double x;
    while (in >> x) v.push_back(static_cast<long>(x));
    if (!v.empty() && in.eof()) out.push_back(v);
  }
  return out;
}

}  // namespace

TEST(Listings, ElementsArePagedSixteenToAPage) {
  auto m = strip_of_quads(17);
  ScriptedSession s("key c");
  SHOWEL(*m);
  std::string t = s.transcript();
  auto l = lines_of(t);
  ASSERT_GE(l.size(), 3u);
  EXPECT_EQ(l[0], "Element   no. of      nodes around element");
  EXPECT_EQ(l[1], "number     sides");
  EXPECT_EQ(l[2], "");
  EXPECT_EQ(l[3 + 16], "Type any character to continue, q to quit!") << t;
  auto rows = numeric_lines(t);
  ASSERT_EQ(rows.size(), 17u) << t;
  EXPECT_EQ(rows[16], (std::vector<long>{17, 4, 17, 18, 19, 20}));
  EXPECT_TRUE(has_line(t, "Largest node no. occurring so far is 20")) << t;
  EXPECT_TRUE(has_line(t, "Total no. of elements is 17")) << t;
}

TEST(Listings, QuitEndsTheElementListingEarly) {
  auto m = strip_of_quads(40);
  ScriptedSession s("key Q");
  SHOWEL(*m);
  std::string t = s.transcript();
  EXPECT_EQ(numeric_lines(t).size(), 16u) << t;
  // Element 16 is the last one listed: nodes 16..19.
  EXPECT_TRUE(has_line(t, "Largest node no. occurring so far is 19")) << t;
  EXPECT_TRUE(has_line(t, "Total no. of elements is 40")) << t;
}

TEST(Listings, ExactlyOnePageAsksNothing) {
  auto m = strip_of_quads(16);
  ScriptedSession s("");  // any key read would run out of script
  SHOWEL(*m);
  std::string t = s.transcript();
  EXPECT_EQ(t.find("Type any character"), std::string::npos) << t;
  EXPECT_TRUE(has_line(t, "Total no. of elements is 16")) << t;
}

TEST(Listings, NodesWithPagingAndQuit) {
  auto m = std::make_unique<MeshModel>();
  m->npoin = 20;
  for (int n = 1; n <= 20; ++n) {
    m->coord(n, 1) = n * 1.5;
    m->coord(n, 2) = -n;
  }
  ScriptedSession s("key q");
  SHOWND(*m);
  std::string t = s.transcript();
  auto l = lines_of(t);
  ASSERT_GE(l.size(), 3u);
  EXPECT_EQ(l[0], "Node         x-coord             y-coord");
  EXPECT_EQ(l[1], "number");
  auto rows = numeric_lines(t);
  ASSERT_EQ(rows.size(), 16u) << t;
  EXPECT_NE(l[3].find("1.5"), std::string::npos) << l[3];
  EXPECT_NE(l[3].find("-1.0"), std::string::npos) << l[3];
  EXPECT_TRUE(has_line(t, "Type any character to continue, q to quit!")) << t;
  EXPECT_TRUE(has_line(t, "There are 20 nodes.")) << t;
}

// --- MSNVAL ----------------------------------------------------------------------

TEST(Msnval, FillsMidsidesByElementCode) {
  struct Case {
    int nnode, nside;
    std::vector<double> in, out;  // 1-based: entry 0 unused
  };
  const Case cases[] = {
      {3, 1, {0, 1, 0, 3}, {0, 1, 2, 3}},                                // quadratic bar
      {5, 3, {0, 1, 0, 3, 7, 0}, {0, 1, 2, 3, 7, 0}},                    // quadratic infinite
      {6, 1, {0, 2, 0, 4, 10, 0, 20}, {0, 2, 3, 4, 10, 15, 20}},         // rockbolt
      {6, 2, {0, 2, 0, 4, 10, 0, 20}, {0, 2, 3, 4, 10, 15, 20}},         // quadratic joint
      {6, 4, {0, 2, 0, 4, 10, 0, 20}, {0, 2, 3, 4, 10, 15, 20}},         // thin quadrilateral
      {6, 3, {0, 0, 0, 4, 0, 8, 0}, {0, 0, 2, 4, 6, 8, 4}},              // quadratic triangle
      {8, 4, {0, 1, 0, 3, 0, 5, 0, 7, 0}, {0, 1, 2, 3, 4, 5, 6, 7, 4}},  // 8-noded quad
      {4, 4, {0, 1, 0, 3, 0}, {0, 1, 0, 3, 0}},                          // linear quad: none
      {3, 3, {0, 1, 0, 3}, {0, 1, 0, 3}},                                // linear triangle: none
      {2, 1, {0, 0, 5}, {0, 0, 5}},                                      // linear bar: none
  };
  for (const auto& c : cases) {
    std::vector<double> v = c.in;
    MSNVAL(c.nnode, c.nside, v.data());
    EXPECT_EQ(v, c.out) << "code " << element_key(c.nnode, c.nside);
  }
}

TEST(Msnval, MidsideThatIsNotZeroStays) {
  std::vector<double> v = {0, 0, 9, 4, 0, 8, -1};
  MSNVAL(6, 3, v.data());
  EXPECT_EQ(v, (std::vector<double>{0, 0, 9, 4, 6, 8, -1}));
  std::vector<double> w = {0, 1, 1e-12, 3};
  MSNVAL(3, 1, w.data());
  EXPECT_EQ(w[2], 1e-12);
}

// --- help screens --------------------------------------------------------------

namespace {

// A headless platform that keeps a copy of every dialog shown.
class DialogRecorder : public HeadlessPlatform {
 public:
  explicit DialogRecorder(const std::string& transcript)
      : HeadlessPlatform({}, transcript, "") {}
  int dialog(DialogSpec& dlg) override {
    shown.push_back(dlg);
    return HeadlessPlatform::dialog(dlg);
  }
  std::vector<DialogSpec> shown;
};

}  // namespace

TEST(HelpScreens, AllShareOneLayoutWithTheirTitles) {
  struct Help {
    void (*show)();
    const char* title;
  };
  const Help helps[] = {
      {HPZOOM, " Zoom plot "},       {HPTRIA, " Triangulate "},
      {HPREFN, "Mesh refinement"},   {HPDUBL, "Mesh doubling"},
      {HPMDFY, "Modify mesh"},       {HPSAVE, " Save mesh "},
      {HPRSTR, " Re-start "},        {HPREDC, "Reorder mesh"},
      {HPLOAD, " Add loading "},     {HPLEVL, " Mesh level "},
      {HPDOF, "Additional dofs"},    {HPCNST, " Constraints "},
      {HPCORD, "Nodal coords"},      {HPPROP, "Mat Properties"},
      {HPTRIR, "Triangulation"},     {HPREDN, "Reorder nodes"},
      {HPGMAT, "Matrix structure"},  {HPBDRY, "Dirichlet bdry"},
      {HPRAD, "Radiating bdry"},     {HPEXC, " Excavation boundary "},
      {HPSTRS, " Stress plot "},     {HPDEFM, "Deformed mesh"},
      {HPCONT, "Contour plot"},      {HPYLD, " Yield Zones "},
  };
  ScriptedSession s("");  // gives a temporary folder
  auto rec = std::make_unique<DialogRecorder>(s.folder() + "/help.txt");
  DialogRecorder* r = rec.get();
  set_platform(std::move(rec));
  for (const auto& h : helps) {
    r->shown.clear();
    h.show();  // closes on its own: a single button and no field
    ASSERT_EQ(r->shown.size(), 1u) << h.title;
    const DialogSpec& d = r->shown[0];
    EXPECT_EQ(d.caption, "VORTAN - help") << h.title;
    EXPECT_EQ(d.style, DialogStyle::Help) << h.title;
    ASSERT_GE(d.lines.size(), 5u) << h.title;
    EXPECT_EQ(d.lines[0].text, h.title);
    EXPECT_TRUE(d.lines[0].title) << h.title;
    EXPECT_EQ(d.lines[1].text, "") << h.title;
    EXPECT_EQ(d.lines.back().text, "") << h.title;
    for (size_t i = 1; i < d.lines.size(); ++i) {
      EXPECT_FALSE(d.lines[i].title) << h.title << " line " << i;
      EXPECT_LE(d.lines[i].text.size(), 50u) << h.title << ": " << d.lines[i].text;
    }
    EXPECT_NE(d.lines[2].text, "") << h.title << " has no text";
    EXPECT_EQ(d.buttons, std::vector<std::string>{"Close"}) << h.title;
    EXPECT_TRUE(d.fields.empty()) << h.title;
  }
}

TEST(HelpScreens, ZoomHelpText) {
  ScriptedSession s("");
  auto rec = std::make_unique<DialogRecorder>(s.folder() + "/help.txt");
  DialogRecorder* r = rec.get();
  set_platform(std::move(rec));
  HPZOOM();
  ASSERT_EQ(r->shown.size(), 1u);
  std::vector<std::string> text;
  for (const auto& l : r->shown[0].lines) text.push_back(l.text);
  const std::vector<std::string> expected = {
      " Zoom plot ",
      "",
      "Left-click on the point defining the top left",
      "corner of the zoom region. When the white",
      "cross appears, move to the bottom right corner",
      "of the region and click. The zoom region will",
      "be displayed full-size. You must click sharply",
      "so that the same point isn't registered for",
      "both corners. There is a minimum size of zoom",
      "region which is accepted.",
      "",
  };
  EXPECT_EQ(text, expected);
}
