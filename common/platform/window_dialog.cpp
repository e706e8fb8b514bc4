#include "window_dialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Spinner.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
// Xlib's None would hide DialogIcon::None.
#undef None

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdlib>
#include <string>

#include "dialog_layout.h"
#include "session_recorder.h"
#include "window_layout.h"
#include "window_views.h"

namespace vortan {

namespace {

Fl_Input* input_of(const DialogField& f, Fl_Widget* w) {
  if (f.kind == DialogField::Integer) return static_cast<Fl_Input*>(static_cast<Fl_Spinner*>(w)->child(0));
  return static_cast<Fl_Input*>(w);
}

// Reads one number field back, held to its limits; false when it cannot
// be read.
bool take_number(DialogField& f, const std::string& typed) {
  size_t a = typed.find_first_not_of(" \t"), b = typed.find_last_not_of(" \t");
  const std::string text = a == std::string::npos ? "" : typed.substr(a, b - a + 1);
  if (text.empty()) return false;
  char* end = nullptr;
  if (f.kind == DialogField::Integer) {
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0') return false;
    f.ivalue = std::clamp(v, f.ilo, f.ihi);
    return true;
  }
  double v = std::strtod(text.c_str(), &end);
  if (*end != '\0' || !std::isfinite(v)) return false;
  f.rvalue = std::clamp(v, f.rlo, f.rhi);
  return true;
}

// Reads the fields back into the dialog description; false (with the
// faulty field focused) when a number cannot be read, so that the box stays
// open for a correction.
bool take_values(DialogState& st) {
  for (size_t i = 0; i < st.dlg->fields.size(); ++i) {
    DialogField& f = st.dlg->fields[i];
    if (f.kind == DialogField::List) {
      f.ivalue = static_cast<Fl_Choice*>(st.inputs[i])->value() + 1;
      continue;
    }
    Fl_Input* in = input_of(f, st.inputs[i]);
    if (f.kind == DialogField::Text) {
      f.svalue = in->value();
      continue;
    }
    if (!take_number(f, in->value())) {
      fl_beep();
      in->take_focus();
      in->position(0, in->size());
      return false;
    }
  }
  return true;
}

void dialog_button_cb(Fl_Widget* w, long button) {
  auto* st = static_cast<DialogState*>(w->window()->user_data());
  if (take_values(*st)) st->pressed = static_cast<int>(button);
}

void press(DialogState& st, int button) {
  if (button >= 1 && button <= static_cast<int>(st.buttons.size()))
    st.buttons[button - 1]->do_callback();
}

// The frame's close button or Esc.
void dialog_close_cb(Fl_Widget* w, void*) {
  auto* st = static_cast<DialogState*>(w->user_data());
  const int b = button_for_close(*st->dlg);
  if (b == 0) fl_beep();
  else press(*st, b);
}

// A dialog box whose keys press its buttons as the user means them.
class DialogWindow : public Fl_Double_Window {
 public:
  DialogWindow(int w, int h, DialogState& st) : Fl_Double_Window(w, h), st_(st) {}
  int handle(int e) override {
    // Keys reach the box when the widget with the keyboard has not used them.
    if ((e == FL_KEYBOARD || e == FL_SHORTCUT) && take_key()) return 1;
    return Fl_Double_Window::handle(e);
  }

 private:
  bool take_key() {
    const int key = Fl::event_key();
    Fl_Widget* focus = Fl::focus();
    if (key == FL_Enter || key == FL_KP_Enter) {
      // The button with the keyboard, else the default one.
      for (size_t i = 0; i < st_.buttons.size(); ++i)
        if (st_.buttons[i] == focus) {
          press(st_, static_cast<int>(i) + 1);
          return true;
        }
      if (!st_.default_button) return false;
      st_.default_button->do_callback();
      return true;
    }
    if (Fl::event_state() & (FL_CTRL | FL_ALT | FL_META) || Fl::event_length() != 1) return false;
    // Letters are typed into a text field that has the keyboard.
    if (dynamic_cast<Fl_Input*>(focus)) return false;
    const int b = button_for_letter(*st_.dlg, Fl::event_text()[0]);
    if (b == 0) return false;
    press(st_, b);
    return true;
  }
  DialogState& st_;
};

// The measures of one box, all from the one scale.
struct Look {
  const DialogSpec& dlg;
  int font;
  double ui;
  bool banner() const { return dlg.style == DialogStyle::Banner; }
  bool welcome() const { return dlg.style == DialogStyle::Welcome; }
  bool has_icon() const { return dlg.icon != DialogIcon::None || welcome(); }
  int margin() const { return scaled(14, ui); }
  int row() const { return font + scaled(12, ui); }
  int gap() const { return scaled(8, ui); }
  int icon() const { return scaled(40, ui); }
  int button_h() const { return font + scaled(16, ui); }
  int shadow() const { return banner() ? scaled(6, ui) : 0; }

  // Font and size of line i: titles, the banner and the welcome box's first
  // line have their own.
  void line_font(size_t i, Fl_Font& f, int& size) const {
    const DialogLine& l = dlg.lines[i];
    f = FL_HELVETICA;
    size = font;
    if (l.title) {
      f = welcome() ? FL_HELVETICA_BOLD_ITALIC : FL_TIMES;
      size = font * (welcome() ? 24 : 18) / 14;
    }
    if (banner()) {
      f = i == 0 ? FL_HELVETICA_BOLD_ITALIC : FL_HELVETICA;
      size = font * (i == 0 ? 40 : 18) / 14;
    } else if (welcome() && i == 0) {
      f = FL_HELVETICA_BOLD_ITALIC;
      size = font * 24 / 14;
    }
  }
  Fl_Color line_colour(size_t i) const {
    const DialogLine& l = dlg.lines[i];
    if (l.red || (banner() && i == 0)) return FL_RED;
    return help_title(i) ? FL_BLUE : FL_BLACK;
  }
  bool help_title(size_t i) const { return dlg.lines[i].title && dlg.style == DialogStyle::Help; }
  bool centred(size_t i) const { return help_title(i) || banner(); }

  int field_w(const DialogField& f) const {
    fl_font(FL_HELVETICA, font);
    const int digit = static_cast<int>(fl_width("0"));
    // Wide enough for the value it shows at first (a long text up to a
    // limit), so no part of it is scrolled out of sight.
    const int chars = std::max({4, f.width, std::min(60, static_cast<int>(field_text(f).size()) + 1)});
    int w = chars * digit + scaled(16, ui);
    if (f.kind == DialogField::Integer) w += scaled(20, ui);
    if (f.kind == DialogField::List) {
      w = scaled(60, ui);
      for (const auto& item : f.items)
        w = std::max(w, static_cast<int>(fl_width(item.c_str())) + scaled(40, ui));
    }
    return w;
  }
  DialogMeasure measure() const {
    DialogMeasure m;
    m.text_w = [this](const std::string& s) {
      fl_font(FL_HELVETICA, font);
      return static_cast<int>(fl_width(s.c_str()));
    };
    m.line_w = [this](size_t i, const std::string& s) {
      Fl_Font f;
      int size;
      line_font(i, f, size);
      fl_font(f, size);
      return static_cast<int>(fl_width(s.c_str())) + 4;
    };
    m.line_h = [this](size_t i) {
      Fl_Font f;
      int size;
      line_font(i, f, size);
      return std::max(row(), size + scaled(8, ui));
    };
    m.field_w = [this](const DialogField& f) { return field_w(f); };
    m.row_h = row() + scaled(2, ui);
    m.gap = gap();
    m.tab = scaled(64, ui);
    return m;
  }
};

Fl_Widget* field_widget(const DialogField& f, const DialogBox& b, int x0, int y0, int font) {
  const int x = x0 + b.x, y = y0 + b.y;
  switch (f.kind) {
    case DialogField::Integer: {
      auto* sp = new Fl_Spinner(x, y, b.w, b.h);
      sp->type(FL_INT_INPUT);
      sp->textsize(font);
      sp->range(static_cast<double>(f.ilo), static_cast<double>(f.ihi));
      sp->step(1);
      sp->value(static_cast<double>(f.ivalue));
      auto* in = static_cast<Fl_Input*>(sp->child(0));
      in->value(field_text(f).c_str());
      // Enter is left to the default button; the spinner takes the typed
      // value when the field loses the focus.
      in->when(FL_WHEN_RELEASE);
      return sp;
    }
    case DialogField::Real:
    case DialogField::Text: {
      auto* in = new Fl_Input(x, y, b.w, b.h);
      in->textsize(font);
      in->value(field_text(f).c_str());
      return in;
    }
    case DialogField::List: {
      auto* ch = new Fl_Choice(x, y, b.w, b.h);
      ch->textsize(font);
      for (size_t k = 0; k < f.items.size(); ++k) {
        // Added under a plain placeholder, then named, so that "/" and "&"
        // in an entry are shown as written.
        ch->add(("entry" + std::to_string(k)).c_str());
        ch->replace(static_cast<int>(k), f.items[k].c_str());
      }
      if (!f.items.empty())
        ch->value(static_cast<int>(std::clamp(f.ivalue, 1L, static_cast<long>(f.items.size())) - 1));
      return ch;
    }
  }
  return nullptr;
}

// Lines, labels and fields at the places the layout gives them.
void place_content(const Look& look, const DialogLayout& lay, DialogState& st, int x0, int y0) {
  const DialogSpec& dlg = look.dlg;
  for (size_t i = 0; i < dlg.lines.size(); ++i) {
    Fl_Font f;
    int size;
    look.line_font(i, f, size);
    const std::vector<std::string> parts = tab_parts(dlg.lines[i].text);
    for (size_t j = 0; j < parts.size() && j < lay.line_parts[i].size(); ++j) {
      DialogBox b = lay.line_parts[i][j];
      if (look.centred(i)) b.w = lay.width;  // centred over the whole text area
      new TextLine(x0 + b.x, y0 + b.y, b.w, b.h, parts[j], f, size, look.line_colour(i),
                   look.centred(i), look.help_title(i) || dlg.lines[i].underline);
    }
  }
  for (size_t i = 0; i < dlg.fields.size(); ++i) {
    const std::vector<std::string> parts = tab_parts(dlg.fields[i].label);
    for (size_t j = 0; j < parts.size() && j < lay.label_parts[i].size(); ++j) {
      const DialogBox& l = lay.label_parts[i][j];
      new TextLine(x0 + l.x, y0 + l.y, l.w, l.h, parts[j], FL_HELVETICA, look.font, FL_BLACK,
                   false, false);
    }
    st.inputs.push_back(field_widget(dlg.fields[i], lay.fields[i], x0, y0, look.font));
  }
}

// The buttons in a row at `by`: one answer of a message box at the right,
// a row of answers and the "Close" of the yellow boxes in the middle.
void place_buttons(const Look& look, DialogState& st, int inner_w, int by) {
  const DialogSpec& dlg = look.dlg;
  fl_font(FL_HELVETICA, look.font);
  std::vector<int> widths;
  int total = 0;
  for (size_t i = 0; i < dlg.buttons.size(); ++i) {
    // The default button also carries the Enter mark.
    const bool is_default = static_cast<int>(i) + 1 == dlg.default_button;
    const int text = static_cast<int>(fl_width(dlg.buttons[i].c_str()));
    widths.push_back(std::max(scaled(80, look.ui), text + scaled(is_default ? 50 : 30, look.ui)));
    total += widths.back() + (i ? look.gap() : 0);
  }
  int bx = dlg.buttons.size() == 1 && dlg.style == DialogStyle::Normal
               ? inner_w - look.margin() - total
               : (inner_w - total) / 2;
  for (size_t i = 0; i < dlg.buttons.size(); ++i) {
    const bool is_default = static_cast<int>(i) + 1 == dlg.default_button;
    Fl_Button* b = is_default ? new Fl_Return_Button(bx, by, widths[i], look.button_h())
                              : new Fl_Button(bx, by, widths[i], look.button_h());
    b->copy_label(dlg.buttons[i].c_str());
    b->labelsize(look.font);
    b->callback(dialog_button_cb, static_cast<long>(i) + 1);
    st.buttons.push_back(b);
    if (is_default) st.default_button = b;
    bx += widths[i] + look.gap();
  }
}

int buttons_width(const Look& look) {
  fl_font(FL_HELVETICA, look.font);
  int total = 0;
  for (const auto& b : look.dlg.buttons)
    total += std::max(scaled(80, look.ui), static_cast<int>(fl_width(b.c_str())) + scaled(50, look.ui)) +
             look.gap();
  return total;
}

// A button label as a key names it: case and blanks at its ends aside.
bool label_is(const std::string& label, const char* name) {
  const size_t a = label.find_first_not_of(' '), b = label.find_last_not_of(' ');
  if (a == std::string::npos) return false;
  const std::string core = label.substr(a, b - a + 1);
  if (core.size() != std::char_traits<char>::length(name)) return false;
  for (size_t i = 0; i < core.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(core[i])) != name[i]) return false;
  return true;
}

int button_named(const DialogSpec& dlg, const char* name) {
  for (size_t i = 0; i < dlg.buttons.size(); ++i)
    if (label_is(dlg.buttons[i], name)) return static_cast<int>(i) + 1;
  return 0;
}

}  // namespace

int button_for_close(const DialogSpec& dlg) {
  if (int b = button_named(dlg, "cancel")) return b;
  if (int b = button_named(dlg, "no")) return b;
  return dlg.buttons.size() == 1 && dlg.fields.empty() ? 1 : 0;
}

int button_for_letter(const DialogSpec& dlg, char letter) {
  const int yes = button_named(dlg, "yes"), no = button_named(dlg, "no");
  if (yes == 0 || no == 0) return 0;
  if (letter == 'y' || letter == 'Y') return yes;
  if (letter == 'n' || letter == 'N') return no;
  return 0;
}

Fl_Double_Window* build_dialog(DialogSpec& dlg, DialogState& st, int font, double ui) {
  const Look look{dlg, font, ui};
  const DialogLayout lay = layout_dialog(dlg, look.measure());
  const int m = look.margin();
  const int text_x = m + (look.has_icon() ? look.icon() + scaled(12, ui) : 0);
  const int content_w = std::max(lay.width, scaled(200, ui));
  const int body_h = std::max(lay.height, look.has_icon() ? look.icon() + 4 : 0);
  const int inner_w = std::max(text_x + content_w + m, buttons_width(look) + 2 * m);
  const int buttons_h = dlg.buttons.empty() ? 0 : look.gap() + look.button_h();
  const int win_w = inner_w + look.shadow();
  const int win_h = m + body_h + buttons_h + m + look.shadow();

  Fl_Double_Window* win;
  if (look.banner()) {
    win = new ShadowWindow(win_w, win_h, look.shadow(), PALE_YELLOW);
  } else {
    win = new DialogWindow(win_w, win_h, st);
    win->copy_label(dlg.caption.c_str());
    win->color(dlg.style != DialogStyle::Normal ? PALE_YELLOW : FL_BACKGROUND_COLOR);
  }
  st.dlg = &dlg;
  if (look.has_icon())
    new IconView(m, m, look.icon(), dlg.icon, look.welcome() && dlg.icon == DialogIcon::None);
  place_content(look, lay, st, text_x, m);
  place_buttons(look, st, inner_w, m + body_h + look.gap());
  win->end();
  win->callback(dialog_close_cb, &st);
  return win;
}

void focus_first(DialogState& st) {
  if (st.inputs.empty()) {
    if (st.default_button) st.default_button->take_focus();
    return;
  }
  Fl_Widget* first = st.inputs.front();
  if (st.dlg->fields.front().kind == DialogField::Integer)
    first = static_cast<Fl_Spinner*>(first)->child(0);
  first->take_focus();
  if (auto* in = dynamic_cast<Fl_Input*>(first)) in->position(0, in->size());
}

Fl_Double_Window* build_status_box(const std::string& text, int font, double ui) {
  fl_font(FL_HELVETICA, font);
  const int shadow = scaled(6, ui), pad = scaled(10, ui);
  const int w = static_cast<int>(fl_width(text.c_str())) + 2 * pad + shadow + scaled(10, ui);
  const int h = font + scaled(22, ui) + shadow;
  auto* win = new ShadowWindow(std::max(w, scaled(120, ui)), h, shadow, PALE_YELLOW);
  new TextLine(pad, scaled(4, ui), w - 2 * pad, h - shadow - scaled(8, ui), text, FL_HELVETICA,
               font, FL_BLACK, false, false);
  win->end();
  return win;
}

}  // namespace vortan
