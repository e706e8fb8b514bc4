#include "prompts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/platform.h"
#include "records.h"

namespace vortan {

namespace {

EndingHook g_ending = nullptr;

DialogSpec box(DialogIcon icon, std::initializer_list<std::string> lines,
               const char* caption = "Vortan") {
  DialogSpec d;
  d.caption = caption;
  d.icon = icon;
  for (const auto& l : lines) d.lines.push_back(DialogLine{trimmed(l)});
  d.buttons = {"OK"};
  return d;
}

// Starts a question on a line of its own.
void fresh_line() {
  if (plat().text_line_open()) plat().text_newline();
}

// Reads one free-format integer from typed lines; an empty line is passed
// over as list-directed input does. False when the answer is not an integer.
bool read_int(long& v) {
  for (;;) {
    auto t = free_tokens(plat().text_read_line());
    if (t.empty()) continue;
    return free_int(t[0], v);
  }
}

bool read_real(double& v) {
  for (;;) {
    auto t = free_tokens(plat().text_read_line());
    if (t.empty()) continue;
    return free_real(t[0], v);
  }
}

std::string pair_text(double x, double y) {
  return "(" + free_real_text(x) + " , " + free_real_text(y) + ")";
}

}  // namespace

std::string trimmed(const std::string& text) { return text.substr(0, LENSTR(text)); }

std::string free_real_text(double v) {
  // Up to 6 significant digits, without trailing zeros; exponent form for
  // very large and very small values.
  double a = std::fabs(v);
  std::string s = a != 0.0 && (a >= 1.0e7 || a < 1.0e-4) ? fmt_scientific(v, 5) : fmt_general(v, 6);
  if (s.find('.') == std::string::npos && s.find('E') == std::string::npos) s += ".0";
  return s;
}

void set_ending_hook(EndingHook hook) { g_ending = hook; }

void STOPPR() {
  if (g_ending) g_ending();
  plat().finish();
  throw ProgramExit{0, ""};
}

void WRLINE(const std::string& text) {
  plat().text_write(text);
  plat().text_newline();
}

void WRTEXT(const std::string& text) { plat().text_write(text); }

namespace {

// "y" to "Do you want to exit?": graphics mode is left and the program ends.
[[noreturn]] void leave_by_exit_question() {
  plat().graphics_close();
  STOPPR();
}

// The window backend asks the question itself where the user leaves from
// the graphics window; the answer ends the program the same way.
const bool g_leave_set = (set_program_leave(leave_by_exit_question), true);

}  // namespace

int GETKZZ() {
  int key = plat().text_read_key();
  if (key < 0 || key > 10000 || key == KEY_ESC || key == KEY_CTRLC || key == 340) {
    if (YESNO("Do you want to exit?") == 'y') leave_by_exit_question();
  }
  return key;
}

void SLEEPZ(double seconds) { plat().sleep(seconds); }

void BEEPZ() { plat().beep(); }

char YESNO(const std::string& question) {
  fresh_line();
  WRTEXT(trimmed(question) + " ");
  char answer = 0;
  while (!answer) {
    int k = GETKZZ();
    if (k < 32 || k > 126) continue;
    if (k == 'y' || k == 'Y') {
      WRLINE(" Yes");
      answer = 'y';
    } else if (k == 'n' || k == 'N') {
      WRLINE(" No");
      answer = 'n';
    } else {
      fresh_line();
      WRTEXT("Type y for Yes or n for No: ");
    }
  }
  SLEEPZ(0.5);
  return answer;
}

int ASKDGT(const std::string& prompt) {
  fresh_line();
  WRTEXT(trimmed(prompt) + " ");
  int sign = 1;
  for (;;) {
    int k = GETKZZ();
    if (k < 32 || k > 126) continue;
    if (k == '-') {
      sign = -1;
    } else if (k >= '0' && k <= '9') {
      WRLINE(std::string(sign < 0 ? "-" : "") + static_cast<char>(k));
      SLEEPZ(1.0);
      return sign * (k - '0');
    } else {
      fresh_line();
      WRTEXT("Enter a digit: +/- 0,1,2,3,4,5,6,7,8 or 9");
      plat().text_newline();
    }
  }
}

int ASKELT(int maximum) {
  bool confirming = false;
  for (;;) {
    fresh_line();
    WRTEXT("Enter an element number (0 to end): ");
    long v;
    if (!read_int(v)) {
      WRLINE("You must type an elt number (integer l, 0<l<" + std::to_string(maximum) + ")");
      continue;
    }
    // A negative number names an element to delete, so it too must lie
    // within the maximum.
    if (v > maximum || v < -static_cast<long>(maximum)) {
      WRLINE("Error: max. permitted elt. no. is " + std::to_string(maximum));
      continue;
    }
    if (v < 0 && !confirming) {
      // A negative number deletes an element, so it must be typed twice.
      WRLINE("Warning: this is negative. Retype, to confirm:  ");
      confirming = true;
      continue;
    }
    return static_cast<int>(v);
  }
}

int ASKNOD(int maximum) {
  for (;;) {
    fresh_line();
    WRTEXT("Enter a node number (0 to end): ");
    long v;
    if (!read_int(v)) {
      WRLINE("You must type a node no. (integer n, 0<n<" + std::to_string(maximum) + ")");
    } else if (v < 0) {
      WRLINE("Node no. must be positive - try again!");
    } else if (v > maximum) {
      WRLINE("Error: max. permitted node no. is " + std::to_string(maximum));
    } else {
      return static_cast<int>(v);
    }
  }
}

void ASKVAL(double& value, FieldFormat fit) {
  fresh_line();
  WRLINE("Current value is " + free_real_text(value));
  for (;;) {
    WRTEXT("Type new value (repeat value if unchanged): ");
    double v;
    if (!read_real(v)) {
      WRLINE("Incorrect input: type a real number");
    } else if (!value_fits(v, fit)) {
      WRLINE(does_not_fit(v, fit));
    } else {
      value = v;
      return;
    }
  }
}

void PROMPT() {
  fresh_line();
  WRLINE("Press any key to continue!");
  GETKZZ();
}

std::string READLN() { return plat().text_read_line(); }

void ask_reals(const std::string& prompt, int count, double* v, FieldFormat fit) {
  for (;;) {
    WRTEXT(prompt);
    int got = 0;
    bool bad = false;
    while (got < count && !bad) {
      for (const std::string& t : free_tokens(READLN())) {
        if (got == count) break;
        if (!free_real(t, v[got]) || !std::isfinite(v[got])) {
          bad = true;
          break;
        }
        ++got;
      }
    }
    if (bad) {
      WRLINE("Incorrect input: type a real number");
      continue;
    }
    const double* wide = std::find_if(v, v + count, [&](double x) { return !value_fits(x, fit); });
    if (wide == v + count) return;
    WRLINE(does_not_fit(*wide, fit));
  }
}

std::string does_not_fit(double v, FieldFormat f) {
  // The value as typed: the shortest text that reads back as it.
  char value[32];
  *std::to_chars(value, value + sizeof value - 1, v).ptr = '\0';
  return std::string(value) + " does not fit its field in the data file, which takes " +
         what_fits(f);
}

char YESNOG(const std::string& question) {
  DialogSpec d = box(DialogIcon::Question, {question});
  d.buttons = {"Yes", "No"};
  return plat().dialog(d) == 2 ? 'n' : 'y';
}

char YESNOH(const std::string& question) {
  DialogSpec d = box(DialogIcon::Question, {question});
  d.buttons = {"Yes", "No", "Help"};
  int b = plat().dialog(d);
  return b == 2 ? 'n' : b == 3 ? 'h' : 'y';
}

void TELL(const std::string& message) { plat().tell(trimmed(message)); }

void TELLI(const std::string& message, int value) {
  plat().tell(trimmed(message) + " " + std::to_string(value));
}

void end_tell() { plat().tell_end(); }

void PUT(const std::string& message) {
  DialogSpec d = box(DialogIcon::Information, {message});
  plat().dialog(d);
}

void MPUT(const std::string& message1, const std::string& message2) {
  DialogSpec d = box(DialogIcon::Information, {message1, message2});
  plat().dialog(d);
}

void PUTERR(const std::string& message) {
  DialogSpec d = box(DialogIcon::Error, {message}, "Vortan - error");
  plat().dialog(d);
}

int PUTGI(const std::string& prompt) {
  DialogSpec d = box(DialogIcon::Question, {prompt});
  d.fields.push_back(integer_field("", 0, -2147483647L, 2147483647L, 5));
  plat().dialog(d);
  return static_cast<int>(d.fields[0].ivalue);
}

std::string PUTGCH(const std::string& prompt) {
  DialogSpec d = box(DialogIcon::Question, {prompt});
  d.fields.push_back(text_field("", "", 15));
  plat().dialog(d);
  return d.fields[0].svalue;
}

void PUTGR2(const std::string& prompt, double& value) {
  DialogSpec d = box(DialogIcon::Question, {prompt});
  d.fields.push_back(real_field("", value, 10));
  plat().dialog(d);
  value = d.fields[0].rvalue;
}

double PUTGR(const std::string& prompt) {
  double v = 0.0;
  PUTGR2(prompt, v);
  return v;
}

void OUTGR(const std::string& message, double value) {
  DialogSpec d = box(DialogIcon::Information, {message, fmt_G(value, 10, 3)});
  plat().dialog(d);
}

void OUTGI(const std::string& message, int value) {
  DialogSpec d = box(DialogIcon::Information, {message, std::to_string(value)});
  plat().dialog(d);
}

void OUTVAL(const std::string& message, double x, double y) {
  DialogSpec d = box(DialogIcon::Information, {message, pair_text(x, y)});
  plat().dialog(d);
}

void OUTNOD(const std::string& text, int node, double x, double y) {
  DialogSpec d = box(DialogIcon::Information,
                     {" Node no. " + std::to_string(node), text, pair_text(x, y)});
  plat().dialog(d);
}

void RESNOD(int node, int count, const std::string* labels, const double* values) {
  DialogSpec d = box(DialogIcon::Information, {" Node no. " + std::to_string(node), " "});
  for (int i = 0; i < count; ++i) {
    // A label has two parts of 2 and 8 characters, as the results file gives.
    std::string l = labels[i];
    l.resize(10, ' ');
    d.lines.push_back(DialogLine{l + " " + fmt_G(values[i], 10, 3)});
  }
  plat().dialog(d);
}

void OUTSTR(double sx, double sy, double txy, double s1, double s3, double angle, double sz) {
  DialogSpec d = box(DialogIcon::Information,
                     {"Cartesian Stresses:", "Sx = " + fmt_G(sx, 10, 3),
                      "Sy = " + fmt_G(sy, 10, 3), "TAUxy = " + fmt_G(txy, 10, 3), " ",
                      "Sz = " + fmt_G(sz, 10, 3), "Principal Stresses:",
                      "S1 = " + fmt_G(s1, 10, 3), "S3 = " + fmt_G(s3, 10, 3),
                      "Angle = " + fmt_G(angle, 10, 3)},
                     "Vortan - stresses");
  plat().dialog(d);
}

void OUTKOD(int ndof, int kode) {
  if (ndof < 1 || ndof > 4) return;
  DialogSpec d = box(DialogIcon::Information, {"Fixity code: " + kode_text(kode, ndof)},
                     "Vortan - fixity code");
  plat().dialog(d);
}

DialogSpec two_value_dialog(const std::string& caption, const std::vector<std::string>& lines,
                            const std::string& label1, const std::string& label2, double v1,
                            double v2, const std::vector<std::string>& buttons) {
  DialogSpec d;
  d.caption = caption;
  d.icon = DialogIcon::Question;
  for (const auto& l : lines) d.lines.push_back(DialogLine{l});
  d.fields.push_back(real_field(label1, v1, 10));
  d.fields.push_back(real_field(label2, v2, 10));
  d.buttons = buttons;
  return d;
}

int dialog_fitting(DialogSpec& d, const std::vector<FieldFormat>& formats, int storing) {
  auto value = [](const DialogField& f) {
    return f.kind == DialogField::Real ? f.rvalue : static_cast<double>(f.ivalue);
  };
  const size_t n = std::min(formats.size(), d.fields.size());
  for (;;) {
    const int button = plat().dialog(d);
    if (button != storing) return button;
    size_t k = 0;
    while (k < n && value_fits(value(d.fields[k]), formats[k])) ++k;
    if (k == n) return button;
    PUTERR(does_not_fit(value(d.fields[k]), formats[k]));
  }
}

namespace {

// Pages a listing 16 lines at a time; false when the user typed q.
bool page_break(int& lines_on_page) {
  if (++lines_on_page < 16) return true;
  lines_on_page = 0;
  WRLINE("Type any character to continue, q to quit!");
  int k = GETKZZ();
  return !(k == 'q' || k == 'Q');
}

}  // namespace

void SHOWEL(const MeshModel& m) {
  WRLINE("Element   no. of      nodes around element");
  WRLINE("number     sides");
  WRLINE();
  int largest = 0, on_page = 0;
  for (int e = 1; e <= m.nelem; ++e) {
    Rec r;
    r.I(e, 5).I(m.nside(e), 9).X(4);
    for (int k = 1; k <= m.nnode(e); ++k) {
      r.I(m.lnods(e, k), 5);
      largest = std::max(largest, m.lnods(e, k));
    }
    WRLINE(r);
    if (e < m.nelem && !page_break(on_page)) break;
  }
  WRLINE("Largest node no. occurring so far is " + std::to_string(largest));
  WRLINE("Total no. of elements is " + std::to_string(m.nelem));
}

void SHOWND(const MeshModel& m) {
  WRLINE("Node         x-coord             y-coord");
  WRLINE("number");
  WRLINE();
  int on_page = 0;
  for (int n = 1; n <= m.npoin; ++n) {
    WRLINE(Rec().I(n, 5).F(m.coord(n, 1), 15, 5).F(m.coord(n, 2), 20, 5));
    if (n < m.npoin && !page_break(on_page)) break;
  }
  WRLINE("There are " + std::to_string(m.npoin) + " nodes.");
}

void MSNVAL(int nnode, int nside, double* v) {
  // v is 1-based here to follow the node numbering of the element.
  auto fill = [&](int mid, int a, int b) {
    if (v[mid] == 0.0) v[mid] = 0.5 * (v[a] + v[b]);
  };
  switch (element_key(nnode, nside)) {
    case 31:
    case 53:
      fill(2, 1, 3);
      break;
    case 61:
    case 62:
    case 64:
      fill(2, 1, 3);
      fill(5, 4, 6);
      break;
    case 63:
      fill(2, 1, 3);
      fill(4, 3, 5);
      fill(6, 5, 1);
      break;
    case 84:
      fill(2, 1, 3);
      fill(4, 3, 5);
      fill(6, 5, 7);
      fill(8, 7, 1);
      break;
    default:
      break;
  }
}

}  // namespace vortan
