// The session recorder of the window backend: what it writes must be a
// session script that the headless backend reads back into the very same
// answers, so every test here records answers and replays them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/session_recorder.h"

using namespace vortan;

namespace {

// Replays a recorded script headless; the transcript is thrown away.
HeadlessPlatform replay(const std::string& script) {
  return HeadlessPlatform(parse_script(script, "recorded"), "/dev/null", "");
}

DialogSpec values_dialog() {
  DialogSpec d;
  d.caption = "Values";
  d.buttons = {"OK", " Add Part B ", "Cancel"};
  DialogField i;
  i.kind = DialogField::Integer;
  i.ilo = -5;
  i.ihi = 500;
  DialogField r;
  r.kind = DialogField::Real;
  DialogField t;
  t.kind = DialogField::Text;
  DialogField l;
  l.kind = DialogField::List;
  l.items = {"first", "second", "third"};
  l.ivalue = 1;
  d.fields = {i, r, t, l};
  return d;
}

}  // namespace

TEST(SessionRecorder, KeysReplayAsTheSameKeyCodes) {
  const std::vector<int> keys = {KEY_ESC, KEY_ENTER, KEY_CTRLC, KEY_SPACE, KEY_F1,
                                 KEY_F1 + 9, KEY_F11, KEY_F12, 'y', 'N', '#', '-', '\'', '~'};
  std::ostringstream out;
  SessionRecorder rec(out);
  for (int k : keys) rec.key(k);
  auto p = replay(out.str());
  for (int k : keys) EXPECT_EQ(p.text_read_key(), k) << out.str();
}

TEST(SessionRecorder, DoubleQuoteKeyStaysAReadableScript) {
  // A script cannot name the double quote; the recorder must still write a
  // script that parses and answers the read with a plain printable key.
  std::ostringstream out;
  SessionRecorder rec(out);
  rec.key('"');
  rec.key('y');
  auto p = replay(out.str());
  int k = p.text_read_key();
  EXPECT_TRUE(k > 32 && k < 127 && k != 'y' && k != 'n');
  EXPECT_EQ(p.text_read_key(), 'y');
}

TEST(SessionRecorder, UnnamedKeysAreLeftOut) {
  EXPECT_EQ(script_key_name(9), "");
  EXPECT_EQ(script_key_name(8), "");
  EXPECT_EQ(script_key_name(KEY_F1 + 10), "");  // 325 is no function key
  std::ostringstream out;
  SessionRecorder rec(out);
  rec.key(9);
  rec.key('a');
  auto p = replay(out.str());
  EXPECT_EQ(p.text_read_key(), 'a');
}

TEST(SessionRecorder, LinesKeepTheirBlanks) {
  const std::vector<std::string> lines = {"mesh1", "", "  two leading", "trailing  ",
                                          "a \"quoted\" # title", "line"};
  std::ostringstream out;
  SessionRecorder rec(out);
  for (const auto& l : lines) rec.line(l);
  auto p = replay(out.str());
  for (const auto& l : lines) EXPECT_EQ(p.text_read_line(), l);
}

TEST(SessionRecorder, PressesBecomeClicksAndIdlePollsAreLeftOut) {
  // What a window poll loop sees: the pointer moving, a left press, the
  // button still held, the release, more moving, then a right press.
  std::vector<MouseState> polls = {{10, 10, 0},          {20, 30, 0},
                                   {510, 100, MOUSE_LEFT}, {511, 101, MOUSE_LEFT},
                                   {511, 101, 0},        {300, 200, 0},
                                   {560, 400, MOUSE_RIGHT}, {560, 400, 0}};
  std::ostringstream out;
  SessionRecorder rec(out);
  for (const auto& m : polls) rec.mouse(m);
  EXPECT_EQ(out.str(), "click 510 100\nrclick 560 400\n");

  // A program that waits for a press, then for the release, gets the same
  // presses at the same places when replayed.
  auto p = replay(out.str());
  auto next_press = [&]() {
    for (;;) {
      MouseState m = p.mouse_poll();
      if (m.buttons) {
        while (p.mouse_poll().buttons) {
        }
        return m;
      }
    }
  };
  MouseState a = next_press();
  EXPECT_EQ(a.x, 510);
  EXPECT_EQ(a.y, 100);
  EXPECT_EQ(a.buttons, MOUSE_LEFT);
  MouseState b = next_press();
  EXPECT_EQ(b.x, 560);
  EXPECT_EQ(b.y, 400);
  EXPECT_EQ(b.buttons, MOUSE_RIGHT);
}

TEST(SessionRecorder, APressAfterABoxIsANewClickThoughNoReleaseWasPolled) {
  // The last node of an element is clicked, a question box follows at once
  // (the window drops the release), then a queued press on Continue is the
  // very next poll; an information box between two presses likewise.
  DialogSpec question;
  question.buttons = {"Yes", "No"};
  DialogSpec info;
  info.buttons = {"OK"};
  std::ostringstream out;
  SessionRecorder rec(out);
  rec.mouse({90, 240, MOUSE_LEFT});
  rec.dialog(question, 1);
  rec.mouse({560, 460, MOUSE_LEFT});
  rec.dialog(info, 1);
  rec.mouse({560, 460, MOUSE_LEFT});
  rec.mouse({560, 460, 0});
  EXPECT_EQ(out.str(), "click 90 240\ndialog Yes\nclick 560 460\nclick 560 460\n");
}

TEST(SessionRecorder, DialogValuesAndButtonReplayExactly) {
  DialogSpec shown = values_dialog();
  shown.fields[0].ivalue = -3;
  shown.fields[1].rvalue = 0.1;
  shown.fields[2].svalue = "Dam with  two blanks";
  shown.fields[3].ivalue = 3;
  DialogSpec second = values_dialog();
  second.fields[1].rvalue = -1.2345678901234e-17;
  second.fields[2].svalue = "";
  std::ostringstream out;
  SessionRecorder rec(out);
  rec.dialog(shown, 2);
  rec.dialog(second, 3);

  auto p = replay(out.str());
  DialogSpec d = values_dialog();
  d.fields[2].svalue = "old text";
  EXPECT_EQ(p.dialog(d), 2);
  EXPECT_EQ(d.fields[0].ivalue, -3);
  EXPECT_EQ(d.fields[1].rvalue, 0.1);
  EXPECT_EQ(d.fields[2].svalue, "Dam with  two blanks");
  EXPECT_EQ(d.fields[3].ivalue, 3);
  DialogSpec e = values_dialog();
  e.fields[2].svalue = "old text";
  EXPECT_EQ(p.dialog(e), 3);
  EXPECT_EQ(e.fields[1].rvalue, -1.2345678901234e-17);
  EXPECT_EQ(e.fields[2].svalue, "");
}

TEST(SessionRecorder, BoxesThatTakeNoEventAreNotWritten) {
  DialogSpec info;
  info.buttons = {"OK"};
  info.lines = {DialogLine{"Saved."}};
  DialogSpec banner;  // no buttons at all
  DialogSpec ask;     // one button, but a field: it takes an event
  ask.buttons = {"OK"};
  DialogField f;
  f.kind = DialogField::Integer;
  f.ivalue = 42;
  ask.fields = {f};
  std::ostringstream out;
  SessionRecorder rec(out);
  rec.dialog(info, 1);
  rec.dialog(banner, 1);
  rec.dialog(ask, 1);
  EXPECT_EQ(out.str(), "dialog OK 42\n");
}

TEST(SessionRecorder, FilesAreWrittenRelativeToTheCurrentFolder) {
  std::ostringstream out;
  SessionRecorder rec(out);
  rec.file(std::string("/home/u/work/examples/dam.dat"), "/home/u/work");
  rec.file(std::string("/other/place/my mesh.dat"), "/home/u/work/");
  rec.file(std::nullopt, "/home/u/work");
  auto p = replay(out.str());
  EXPECT_EQ(p.file_open("t", {}, "."), std::optional<std::string>("examples/dam.dat"));
  EXPECT_EQ(p.file_open("t", {}, "."), std::optional<std::string>("/other/place/my mesh.dat"));
  EXPECT_EQ(p.file_open("t", {}, "."), std::nullopt);
}

TEST(SessionRecorder, WordsThatCannotBeCarriedAreFlagged) {
  std::string w;
  EXPECT_TRUE(script_word("plain", w));
  EXPECT_EQ(w, "plain");
  EXPECT_TRUE(script_word("", w));
  EXPECT_EQ(w, "\"\"");
  EXPECT_TRUE(script_word("it's", w));
  EXPECT_EQ(w, "it's");
  // "-" alone would mean "keep the shown value".
  EXPECT_FALSE(script_word("-", w));
  EXPECT_FALSE(script_word("say \"hi\"", w));
  EXPECT_EQ(parse_script("dialog OK " + w, "t")[0].args[1], "say 'hi'");
}

TEST(SessionRecorder, RealsUseTheFewestDigitsThatReadBack) {
  EXPECT_EQ(script_real(0.5), "0.5");
  EXPECT_EQ(script_real(1.0e30), "1e+30");
  EXPECT_EQ(script_real(-2.0), "-2");
  for (double v : {0.1, 1.0 / 3.0, 6.02214076e23, -4.9e-324, 123456.789})
    EXPECT_EQ(std::strtod(script_real(v).c_str(), nullptr), v);
}

TEST(SessionRecorder, ToFileRefusesAnUnwritablePath) {
  try {
    SessionRecorder::to_file("/no/such/folder/session.script");
    FAIL() << "no ProgramExit";
  } catch (const ProgramExit& e) {
    EXPECT_EQ(e.status, 2);
  }
}
