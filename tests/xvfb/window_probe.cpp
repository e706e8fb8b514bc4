// A short dialogue through every kind of input of the platform, for the
// window backend's tests under a virtual X display: a single key, a typed
// line, a click on the toolbar, an integer box and a box of mixed fields.
// "n" to the first question leads instead through the ways of leaving and
// answering boxes: a click under the status box, a yes/no box, an integer
// box, a text-window question, and a last wait for a click that the user
// leaves. The answers are written to probe_answers.txt in the current
// folder, so a live session and its headless replay can be compared.
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "platform/window_backend.h"
#include "prompts.h"
#include "toolbar.h"

namespace {

void LEAVING() {
  using namespace vortan;
  plat().graphics_open();
  plat().fb().clear(1);
  HEADNG(" Probe: click in the drawing area");
  TELL("Click anywhere in the drawing area");
  const MouseState m = next_press(false);
  end_tell();
  const char go_on = YESNOG("Do you want to keep going?");
  const int number = PUTGI("Give a whole number");
  const char last = YESNO("Last question?");
  std::ofstream out("probe_answers.txt");
  out << "click " << m.x << " " << m.y << "\nbox " << go_on << "\nnumber " << number
      << "\nkey " << last << "\n";
  out.close();
  WRLINE("Answers written");
  plat().note_picture_name("probe_plot");
  next_press(false);
  WRLINE("A click after the last answer");
  STOPPR();
}

void PROBE() {
  using namespace vortan;
  // The program's own ending, which leaving from a window must run too.
  set_ending_hook([] { std::ofstream("probe_ending.txt") << "ended\n"; });
  plat().text_open("PROBE text");
  WRLINE("Window probe ready");
  char answer = YESNO("Shall we go on?");
  if (answer == 'n') LEAVING();
  WRTEXT("Type a line: ");
  std::string line = READLN();

  plat().graphics_open();
  plat().fb().clear(0);
  HEADNG(" Probe: click on a toolbar button");
  int ybar[8];
  RIGBAR(7, 7, ybar);
  const char* labels[] = {"", "One", "Two", "Three", "Four", "Five", "Six", "Seven"};
  for (int i = 1; i <= 7; ++i) BARLAB(i, ybar, labels[i]);
  plat().fb().fill_rect(100, 200, 199, 299, 14);
  plat().graphics_update();
  TELL("Click on the toolbar");
  MouseState m;
  int button = 0;
  while (button == 0) {
    m = plat().mouse_poll();
    if (m.buttons != 0 && m.x >= 500) button = bar_button(7, ybar, m.y);
  }

  int number = PUTGI("Give a whole number");

  DialogSpec d;
  d.caption = "Probe values";
  d.icon = DialogIcon::Question;
  d.lines = {DialogLine{"Set the values"}, DialogLine{"This line is red", true}};
  DialogField r;
  r.kind = DialogField::Real;
  r.label = "Real";
  r.rvalue = 1.5;
  DialogField t;
  t.kind = DialogField::Text;
  t.label = "Text";
  t.svalue = "old";
  DialogField l;
  l.kind = DialogField::List;
  l.label = "List";
  l.items = {"first", "second", "third"};
  l.ivalue = 1;
  d.fields = {r, t, l};
  d.buttons = {"Keep", "Change"};
  d.default_button = 2;
  int pressed = plat().dialog(d);

  std::ofstream out("probe_answers.txt");
  out << "key " << answer << "\nline [" << line << "]\nclick " << m.x << " " << m.y << " "
      << m.buttons << " button " << button << "\nnumber " << number << "\nreal "
      << d.fields[0].rvalue << "\ntext [" << d.fields[1].svalue << "]\nlist "
      << d.fields[2].ivalue << "\npressed " << pressed << "\n";
  out.close();
  WRLINE("Probe done");
  STOPPR();
}

}  // namespace

int main(int argc, char** argv) {
  return vortan::run_program(argc, argv, "window_probe", "PROBE text", PROBE);
}
