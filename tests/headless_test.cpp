// The headless backend against its session-script contract: script parsing,
// matching events to the input the program asks for, dialogs, the mouse,
// snapshots and the transcript.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "prompts.h"
#include "test_support.h"

using namespace vortan;
using vortan::test::ScriptedSession;

namespace {

using test::exit_of;

int parse_status(const std::string& script) {
  return exit_of([&] { parse_script(script, "s.script"); }).status;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

DialogField int_field(long v, long lo, long hi) {
  DialogField f;
  f.kind = DialogField::Integer;
  f.ivalue = v;
  f.ilo = lo;
  f.ihi = hi;
  return f;
}

}  // namespace

// --- parsing -------------------------------------------------------------------

TEST(ScriptParsing, BadScriptsAreUsageErrors) {
  EXPECT_EQ(parse_status("jump 1 2"), 2);
  EXPECT_EQ(parse_status("key Foo"), 2);
  EXPECT_EQ(parse_status("key F13"), 2);
  EXPECT_EQ(parse_status("key F0"), 2);
  EXPECT_EQ(parse_status("key"), 2);
  EXPECT_EQ(parse_status("key a b"), 2);
  EXPECT_EQ(parse_status("click 10"), 2);
  EXPECT_EQ(parse_status("click 10 x"), 2);
  EXPECT_EQ(parse_status("click 10 20 30"), 2);
  EXPECT_EQ(parse_status("rclick 1.5 2"), 2);
  EXPECT_EQ(parse_status("move 1"), 2);
  EXPECT_EQ(parse_status("wclick a 1"), 2);
  EXPECT_EQ(parse_status("dialog"), 2);
  EXPECT_EQ(parse_status("snapshot"), 2);
}

TEST(ScriptParsing, ErrorNamesTheScriptLine) {
  ProgramExit e = exit_of([] { parse_script("key a\n\nhop\n", "s.script"); });
  EXPECT_EQ(e.status, 2);
  EXPECT_TRUE(contains(e.message, "line 3")) << e.message;
  EXPECT_TRUE(contains(e.message, "hop")) << e.message;
}

TEST(ScriptParsing, BlankLinesAndCommentsAreSkipped) {
  auto ev = parse_script("\n   # a comment\nkey a\n\n\t#another\r\nline hi\r\n  ", "s");
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].kind, "key");
  EXPECT_EQ(ev[0].line, 3);
  EXPECT_EQ(ev[1].kind, "line");
  EXPECT_EQ(ev[1].rest, "hi");
  EXPECT_EQ(ev[1].line, 6);
}

TEST(ScriptParsing, KeywordsAreCaseInsensitive) {
  auto ev = parse_script("KEY esc\nLine abc\nClick 1 2\nDIALOG ok\nSnapshot a.png", "s");
  ASSERT_EQ(ev.size(), 5u);
  EXPECT_EQ(ev[0].kind, "key");
  EXPECT_EQ(ev[1].kind, "line");
  EXPECT_EQ(ev[1].rest, "abc");
  EXPECT_EQ(ev[2].kind, "click");
  EXPECT_EQ(ev[3].kind, "dialog");
  EXPECT_EQ(ev[4].kind, "snapshot");
}

// --- keys and lines ---------------------------------------------------------------

TEST(ScriptKeys, NamedAndPrintableKeys) {
  ScriptedSession s(
      "key Esc\nkey ESC\nkey enter\nkey CtrlC\nkey space\nkey F1\nkey f10\nkey F11\n"
      "key F12\nkey q\nkey Q\nkey #\nkey \"\nkey F");
  const int expected[] = {KEY_ESC, KEY_ESC,     KEY_ENTER, KEY_CTRLC, KEY_SPACE,
                          KEY_F1,  KEY_F1 + 9,  KEY_F11,   KEY_F12,   'q',
                          'Q',     '#',         '"',       'F'};
  for (int k : expected) EXPECT_EQ(plat().text_read_key(), k);
}

TEST(ScriptKeys, KeyReadsAreNotEchoed) {
  ScriptedSession s("key x");
  plat().text_read_key();
  EXPECT_EQ(s.transcript(), "");
}

TEST(ScriptLines, TextAfterTheKeywordIsTyped) {
  ScriptedSession s("line hello world\nline\nline \"quoted\" as is\n  line  12,  3.5");
  EXPECT_EQ(plat().text_read_line(), "hello world");
  EXPECT_EQ(plat().text_read_line(), "");
  EXPECT_EQ(plat().text_read_line(), "\"quoted\" as is");
  EXPECT_EQ(plat().text_read_line(), " 12,  3.5");
}

TEST(ScriptLines, PromptAndAnswerShareOneTranscriptLine) {
  ScriptedSession s("line 42\nkey y");
  WRTEXT("How many sets? ");
  EXPECT_EQ(READLN(), "42");
  WRLINE("next line");
  EXPECT_EQ(YESNO("Sure?"), 'y');
  EXPECT_EQ(s.transcript(), "How many sets? 42\nnext line\nSure?  Yes\n");
}

// --- wrong and missing events -----------------------------------------------------

TEST(ScriptMatching, WrongKindOfEventIsStatusThree) {
  ScriptedSession s("key a\nline hello");
  plat().text_read_key();
  ProgramExit e = exit_of([] { plat().text_read_key(); });
  EXPECT_EQ(e.status, 3);
  EXPECT_TRUE(contains(e.message, "line 2")) << e.message;
  EXPECT_TRUE(contains(e.message, "key")) << e.message;
  EXPECT_TRUE(contains(e.message, "line hello")) << e.message;
}

TEST(ScriptMatching, EachInputTakesOnlyItsOwnEvents) {
  {
    ScriptedSession s("key a");
    EXPECT_EQ(exit_of([] { plat().text_read_line(); }).status, 3);
  }
  {
    ScriptedSession s("line 1");
    EXPECT_EQ(exit_of([] { plat().mouse_poll(); }).status, 3);
  }
  {
    ScriptedSession s("click 1 2");
    DialogSpec d;
    d.buttons = {"Yes", "No"};
    EXPECT_EQ(exit_of([&] { plat().dialog(d); }).status, 3);
  }
  {
    ScriptedSession s("dialog OK");
    EXPECT_EQ(exit_of([] { plat().file_open("Open", {}, "."); }).status, 3);
  }
}

TEST(ScriptMatching, RunningOutIsStatusFour) {
  ScriptedSession s("key a");
  plat().text_read_key();
  EXPECT_EQ(exit_of([] { plat().text_read_key(); }).status, 4);
  EXPECT_EQ(exit_of([] { plat().text_read_line(); }).status, 4);
  EXPECT_EQ(exit_of([] { plat().mouse_poll(); }).status, 4);
}

TEST(ScriptMatching, OpenPromptIsKeptWhenTheScriptRunsOut) {
  ScriptedSession s("");
  WRTEXT("Type new title below: ");
  exit_of([] { plat().text_read_line(); });
  EXPECT_EQ(s.transcript(), "Type new title below: \n");
}

// --- dialogs ---------------------------------------------------------------------------

TEST(ScriptDialogs, OneButtonWithoutFieldsClosesByItself) {
  ScriptedSession s("key a");
  DialogSpec d;
  d.caption = "Vortan";
  d.lines = {DialogLine{"Element(s) reassigned."}};
  d.buttons = {"OK"};
  EXPECT_EQ(plat().dialog(d), 1);
  EXPECT_EQ(plat().text_read_key(), 'a');  // the key event is still there
  std::string t = s.transcript();
  EXPECT_TRUE(contains(t, "\"Vortan\": Element(s) reassigned.")) << t;
  EXPECT_TRUE(contains(t, "-> OK")) << t;
}

TEST(ScriptDialogs, OneButtonWithAFieldTakesAnEvent) {
  ScriptedSession s("dialog OK 5");
  DialogSpec d;
  d.fields = {int_field(0, 0, 9)};
  d.buttons = {"OK"};
  EXPECT_EQ(plat().dialog(d), 1);
  EXPECT_EQ(d.fields[0].ivalue, 5);
}

TEST(ScriptDialogs, ButtonLabelsMatchIgnoringCaseAndBlanks) {
  ScriptedSession s("dialog overburden\ndialog \"leave main menu\"\ndialog Cancel");
  DialogSpec d;
  d.caption = "In situ stress field";
  d.buttons = {"Uniform", "Overburden"};
  EXPECT_EQ(plat().dialog(d), 2);
  DialogSpec m;
  m.buttons = {" Leave main menu", " Flowlines"};
  EXPECT_EQ(plat().dialog(m), 1);
  DialogSpec c;
  c.buttons = {"OK", "Cancel"};
  EXPECT_EQ(plat().dialog(c), 2);
  std::string t = s.transcript();
  EXPECT_TRUE(contains(t, "-> Overburden")) << t;
  EXPECT_TRUE(contains(t, "-> Leave main menu")) << t;
}

TEST(ScriptDialogs, WrongButtonIsStatusThree) {
  ScriptedSession s("dialog Maybe");
  DialogSpec d;
  d.caption = "Vortan";
  d.buttons = {"Yes", "No"};
  ProgramExit e = exit_of([&] { plat().dialog(d); });
  EXPECT_EQ(e.status, 3);
  EXPECT_TRUE(contains(e.message, "Maybe")) << e.message;
  EXPECT_TRUE(contains(e.message, "line 1")) << e.message;
}

TEST(ScriptDialogs, FieldsAreSetKeptAndHeldToLimits) {
  ScriptedSession s("dialog OK 12 - -7.5 3 \"two words\"\n"
                    "dialog OK 0 5 99 0\n"
                    "dialog OK -");
  DialogSpec d;
  d.fields.push_back(int_field(1, 1, 9));  // divisions 1..9
  d.fields.push_back(int_field(4, 1, 8));
  DialogField r;
  r.kind = DialogField::Real;
  r.rvalue = 1.0;
  r.rlo = -5.0;
  r.rhi = 5.0;
  d.fields.push_back(r);
  DialogField list;
  list.kind = DialogField::List;
  list.ivalue = 1;
  list.items = {"Down", "Up", "Left", "Right"};
  d.fields.push_back(list);
  DialogField text;
  text.kind = DialogField::Text;
  d.fields.push_back(text);
  d.buttons = {"OK", "Cancel"};

  EXPECT_EQ(plat().dialog(d), 1);
  EXPECT_EQ(d.fields[0].ivalue, 9);  // 12 held to the upper limit
  EXPECT_EQ(d.fields[1].ivalue, 4);  // "-" keeps the shown value
  EXPECT_DOUBLE_EQ(d.fields[2].rvalue, -5.0);
  EXPECT_EQ(d.fields[3].ivalue, 3);  // 1-based: "Left"
  EXPECT_EQ(d.fields[4].svalue, "two words");
  EXPECT_TRUE(contains(s.transcript(), "3 (Left)")) << s.transcript();

  plat().dialog(d);
  EXPECT_EQ(d.fields[0].ivalue, 1);  // 0 held to the lower limit
  EXPECT_EQ(d.fields[1].ivalue, 5);
  EXPECT_DOUBLE_EQ(d.fields[2].rvalue, 5.0);
  EXPECT_EQ(d.fields[3].ivalue, 1);  // list entries start at 1
  EXPECT_EQ(d.fields[4].svalue, "two words");  // left off: kept

  plat().dialog(d);
  EXPECT_EQ(d.fields[0].ivalue, 1);
  EXPECT_EQ(d.fields[1].ivalue, 5);
}

TEST(ScriptDialogs, BadFieldValuesAreStatusThree) {
  DialogSpec d;
  d.fields = {int_field(0, 0, 9)};
  d.buttons = {"OK"};
  {
    ScriptedSession s("dialog OK x");
    EXPECT_EQ(exit_of([&] { plat().dialog(d); }).status, 3);
  }
  {
    ScriptedSession s("dialog OK 1 2");  // two values for one field
    EXPECT_EQ(exit_of([&] { plat().dialog(d); }).status, 3);
  }
}

TEST(ScriptDialogs, FileDialogChoosesOrCancels) {
  ScriptedSession s("file runs/slope.dat\nfile\nfile \"my runs/a b.dat\"");
  auto a = plat().file_open("Open an input file", {{"Input files", "*.dat"}}, ".");
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(*a, "runs/slope.dat");
  EXPECT_FALSE(plat().file_open("Open an input file", {}, ".").has_value());
  auto c = plat().file_open("Open an input file", {}, ".");
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(*c, "my runs/a b.dat");
  std::string t = s.transcript();
  EXPECT_TRUE(contains(t, "Open an input file\" -> runs/slope.dat")) << t;
  EXPECT_TRUE(contains(t, "(cancelled)")) << t;
}

TEST(ScriptDialogs, StatusBoxesAndBeepsTakeNoEvent) {
  ScriptedSession s("");
  TELL("Click on opposite corners defining zoom area:");
  BEEPZ();
  SLEEPZ(3.0);
  std::string t = s.transcript();
  EXPECT_TRUE(contains(t, "Click on opposite corners defining zoom area:")) << t;
  EXPECT_TRUE(contains(t, "beep")) << t;
}

// --- mouse ---------------------------------------------------------------------------------

TEST(ScriptMouse, ClickIsFollowedByItsRelease) {
  ScriptedSession s("click 510 300\nrclick 20 40\nmove 5 6");
  MouseState m = plat().mouse_poll();
  EXPECT_EQ(m.x, 510);
  EXPECT_EQ(m.y, 300);
  EXPECT_EQ(m.buttons, MOUSE_LEFT);
  m = plat().mouse_poll();
  EXPECT_EQ(m.x, 510);
  EXPECT_EQ(m.y, 300);
  EXPECT_EQ(m.buttons, 0);
  m = plat().mouse_poll();
  EXPECT_EQ(m.buttons, MOUSE_RIGHT);
  EXPECT_EQ(m.x, 20);
  EXPECT_EQ(m.y, 40);
  EXPECT_EQ(plat().mouse_poll().buttons, 0);
  m = plat().mouse_poll();  // move: no button, and no release follows
  EXPECT_EQ(m.x, 5);
  EXPECT_EQ(m.y, 6);
  EXPECT_EQ(m.buttons, 0);
  EXPECT_EQ(exit_of([] { plat().mouse_poll(); }).status, 4);
}

namespace {
// A plot window of 10 pixels per unit with the world origin at pixel
// (100, 400), y upwards.
void test_mapper(double x, double y, int& ix, int& iy) {
  ix = static_cast<int>(100 + 10 * x);
  iy = static_cast<int>(400 - 10 * y);
}
}  // namespace

TEST(ScriptMouse, WorldClicksGoThroughThePlotMapping) {
  ScriptedSession s("wclick 1.5 2\nwrclick -3 0.5");
  plat().set_world_mapper(test_mapper);
  MouseState m = plat().mouse_poll();
  EXPECT_EQ(m.x, 115);
  EXPECT_EQ(m.y, 380);
  EXPECT_EQ(m.buttons, MOUSE_LEFT);
  plat().mouse_poll();
  m = plat().mouse_poll();
  EXPECT_EQ(m.x, 70);
  EXPECT_EQ(m.y, 395);
  EXPECT_EQ(m.buttons, MOUSE_RIGHT);
}

// --- snapshots ---------------------------------------------------------------------------

namespace {

struct Png {
  bool ok = false;
  unsigned width = 0, height = 0;
  std::vector<unsigned char> rgb;
  Rgb at(int x, int y) const {
    size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return Rgb{rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

Png read_png(const std::string& path) {
  Png p;
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&img, path.c_str())) return p;
  img.format = PNG_FORMAT_RGB;
  p.width = img.width;
  p.height = img.height;
  p.rgb.resize(PNG_IMAGE_SIZE(img));
  p.ok = png_image_finish_read(&img, nullptr, p.rgb.data(), 0, nullptr) != 0;
  return p;
}

}  // namespace

TEST(ScriptSnapshots, PictureIsWrittenWhenTheProgramNextAsks) {
  ScriptedSession s("snapshot pic.png\nkey a");
  std::string path = s.folder() + "/pic.png";
  plat().fb().clear(1);
  plat().fb().pixel(3, 4, 4);      // red
  plat().fb().pixel(639, 479, 14); // yellow
  plat().fb().set_palette_ega(2, 0x3f);  // all six bits: white
  plat().fb().pixel(10, 0, 2);
  EXPECT_FALSE(std::filesystem::exists(path));  // not before the program asks
  EXPECT_EQ(plat().text_read_key(), 'a');
  ASSERT_TRUE(std::filesystem::exists(path));

  std::string bytes = vortan::test::read_file(path);
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

  Png p = read_png(path);
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.width, 640u);
  EXPECT_EQ(p.height, 480u);
  auto same = [](Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; };
  EXPECT_TRUE(same(p.at(3, 4), Rgb{0xAA, 0x00, 0x00}));
  EXPECT_TRUE(same(p.at(639, 479), Rgb{0xFF, 0xFF, 0x55}));
  EXPECT_TRUE(same(p.at(0, 0), Rgb{0x00, 0x00, 0xAA}));  // blue background
  EXPECT_TRUE(same(p.at(10, 0), Rgb{0xFF, 0xFF, 0xFF}));
  EXPECT_TRUE(contains(s.transcript(), "snapshot pic.png"));
}

TEST(ScriptSnapshots, PendingSnapshotIsTakenBeforeRunningOut) {
  ScriptedSession s("snapshot last.png");
  EXPECT_EQ(exit_of([] { plat().mouse_poll(); }).status, 4);
  EXPECT_TRUE(std::filesystem::exists(s.folder() + "/last.png"));
}
