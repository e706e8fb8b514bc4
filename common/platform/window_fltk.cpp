// The window backend: the programs' text window, graphics window, dialogs
// and mouse on a desktop, through FLTK 1.3. Every blocking call runs FLTK's
// event loop until the user has answered, so the programs keep their single
// thread and their one fixed dialogue.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Spinner.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
// Xlib's None would hide DialogIcon::None.
#undef None

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <vector>

#include "session_recorder.h"
#include "window_backend.h"

namespace vortan {

namespace {

const Fl_Color PALE_YELLOW = fl_rgb_color(255, 255, 160);
const int FONT_SIZE = 14;

// The key code of the key event being handled, or -1 for a key the
// programs never ask for (arrows, Tab, modifiers ...). Backspace comes as 8
// for line editing only.
int event_key_code() {
  int k = Fl::event_key();
  if ((Fl::event_state() & FL_CTRL) && (k == 'c' || k == 'C')) return KEY_CTRLC;
  if (k == FL_Escape) return KEY_ESC;
  if (k == FL_Enter || k == FL_KP_Enter) return KEY_ENTER;
  if (k == FL_BackSpace) return 8;
  if (k > FL_F && k <= FL_F + 10) return KEY_F1 + (k - FL_F - 1);
  if (k == FL_F + 11) return KEY_F11;
  if (k == FL_F + 12) return KEY_F12;
  if (Fl::event_state() & (FL_CTRL | FL_ALT | FL_META)) return -1;
  const char* t = Fl::event_text();
  if (Fl::event_length() == 1 && t[0] >= 32 && t[0] < 127) return t[0];
  return -1;
}

// Sink for the keys typed into any of the program's windows.
struct KeySink {
  std::deque<int> keys;
  bool waiting = false;  // a text read is waiting for its answer
};

// The text window's view: scrolls like any text display, and hands every
// key to the dialogue instead of moving a cursor.
class TextView : public Fl_Text_Display {
 public:
  TextView(int x, int y, int w, int h, KeySink& sink)
      : Fl_Text_Display(x, y, w, h), sink_(sink) {}
  int handle(int e) override {
    if (e == FL_FOCUS || e == FL_UNFOCUS) return 1;
    if (e == FL_KEYBOARD) {
      int k = event_key_code();
      if (k >= 0) sink_.keys.push_back(k);
      return 1;
    }
    if (e == FL_PUSH) take_focus();
    return Fl_Text_Display::handle(e);
  }

 private:
  KeySink& sink_;
};

// Closing a text or graphics window by its frame never cuts a question
// short: while a single-key read waits it counts as Esc, which asks "Do you
// want to exit?"; otherwise it is ignored.
void close_as_esc(Fl_Widget*, void* data) {
  auto* sink = static_cast<KeySink*>(data);
  if (sink->waiting) sink->keys.push_back(KEY_ESC);
}

// The graphics window: the framebuffer through its palette, magnified by a
// whole factor, with the mouse mapped back to framebuffer pixels.
class GraphicsView : public Fl_Double_Window {
 public:
  GraphicsView(int x, int y, int scale, const char* caption, const Framebuffer& fb, KeySink& sink)
      : Fl_Double_Window(x, y, SCREEN_W * scale, SCREEN_H * scale, caption),
        fb_(fb), sink_(sink), scale_(scale) {
    rgb_.resize(static_cast<size_t>(w()) * h() * 3);
  }

  int scale() const { return scale_; }
  unsigned long drawn = ~0UL;  // framebuffer generation on the screen

  bool press_pending = false;
  MouseState press;  // where and with which button the pending press went down
  MouseState pointer;  // the latest known position, no buttons

  void draw() override {
    const std::uint8_t* pix = fb_.data();
    const int W = w();
    for (int y = 0; y < SCREEN_H; ++y) {
      unsigned char* row = &rgb_[static_cast<size_t>(y) * scale_ * W * 3];
      for (int x = 0; x < SCREEN_W; ++x) {
        Rgb c = fb_.palette(pix[y * SCREEN_W + x]);
        for (int s = 0; s < scale_; ++s) {
          unsigned char* p = row + (x * scale_ + s) * 3;
          p[0] = c.r;
          p[1] = c.g;
          p[2] = c.b;
        }
      }
      for (int s = 1; s < scale_; ++s)
        std::copy(row, row + W * 3, row + static_cast<size_t>(s) * W * 3);
    }
    fl_draw_image(rgb_.data(), 0, 0, W, h(), 3);
    drawn = fb_.generation();
  }

  int handle(int e) override {
    switch (e) {
      case FL_ENTER:
      case FL_MOVE:
      case FL_DRAG:
        track();
        return 1;
      case FL_PUSH:
        track();
        // A press is kept until a poll takes it, so a quick click between
        // two polls is never lost.
        if (Fl::event_button() == FL_LEFT_MOUSE || Fl::event_button() == FL_RIGHT_MOUSE) {
          press = pointer;
          press.buttons = Fl::event_button() == FL_LEFT_MOUSE ? MOUSE_LEFT : MOUSE_RIGHT;
          press_pending = true;
        }
        return 1;
      case FL_RELEASE:
        track();
        return 1;
      case FL_FOCUS:
      case FL_UNFOCUS:
        return 1;
      case FL_KEYBOARD: {
        int k = event_key_code();
        if (k >= 0) sink_.keys.push_back(k);
        return 1;
      }
      default:
        return Fl_Double_Window::handle(e);
    }
  }

 private:
  void track() {
    pointer.x = std::clamp(Fl::event_x() / scale_, 0, SCREEN_W - 1);
    pointer.y = std::clamp(Fl::event_y() / scale_, 0, SCREEN_H - 1);
    pointer.buttons = 0;
  }

  const Framebuffer& fb_;
  KeySink& sink_;
  int scale_;
  std::vector<unsigned char> rgb_;
};

// One line of dialog text. Drawn by hand so that leading blanks and "@"
// show as written.
class TextLine : public Fl_Widget {
 public:
  TextLine(int x, int y, int w, int h, std::string text, Fl_Font font, int size, Fl_Color colour,
           bool centred, bool underline)
      : Fl_Widget(x, y, w, h), text_(std::move(text)), font_(font), size_(size),
        colour_(colour), centred_(centred), underline_(underline) {}
  void draw() override {
    fl_font(font_, size_);
    fl_color(colour_);
    int tw = static_cast<int>(fl_width(text_.c_str()));
    int tx = centred_ ? x() + (w() - tw) / 2 : x();
    int base = y() + (h() + fl_height()) / 2 - fl_descent();
    fl_draw(text_.c_str(), tx, base);
    if (underline_) fl_line(tx, base + 2, tx + tw, base + 2);
  }

 private:
  std::string text_;
  Fl_Font font_;
  int size_;
  Fl_Color colour_;
  bool centred_, underline_;
};

// The question, information and error icons, and the program icon of the
// welcome box (a small triangulated mesh).
class IconView : public Fl_Widget {
 public:
  IconView(int x, int y, DialogIcon icon, bool program)
      : Fl_Widget(x, y, 40, 40), icon_(icon), program_(program) {}
  void draw() override {
    if (program_) {
      fl_color(FL_DARK_BLUE);
      int l = x() + 2, t = y() + 2, r = x() + 38, b = y() + 38, m = x() + 20, c = y() + 20;
      fl_rect(l, t, r - l, b - t);
      fl_line(l, t, r, b);
      fl_line(r, t, l, b);
      fl_line(m, t, m, b);
      fl_line(l, c, r, c);
      return;
    }
    Fl_Color fill = icon_ == DialogIcon::Error ? FL_RED : FL_BLUE;
    const char* mark = icon_ == DialogIcon::Question ? "?" : icon_ == DialogIcon::Error ? "!" : "i";
    fl_color(fill);
    fl_pie(x(), y(), 40, 40, 0, 360);
    fl_color(FL_WHITE);
    fl_font(FL_TIMES_BOLD, 28);
    fl_draw(mark, x(), y(), 40, 40, FL_ALIGN_CENTER);
  }

 private:
  DialogIcon icon_;
  bool program_;
};

// A borderless window drawn with a shadow at its right and bottom edges.
class ShadowWindow : public Fl_Double_Window {
 public:
  ShadowWindow(int w, int h, Fl_Color colour) : Fl_Double_Window(w, h) {
    box(FL_NO_BOX);
    colour_ = colour;
    border(0);
  }
  void draw() override {
    fl_color(FL_DARK3);
    fl_rectf(6, 6, w() - 6, h() - 6);
    fl_color(colour_);
    fl_rectf(0, 0, w() - 6, h() - 6);
    fl_color(FL_BLACK);
    fl_rect(0, 0, w() - 6, h() - 6);
    draw_children();
  }

 private:
  Fl_Color colour_;
};

struct DialogState {
  DialogSpec* dlg = nullptr;
  std::vector<Fl_Widget*> inputs;  // one per field
  int pressed = 0;
};

// Reads the fields back into the dialog description, holding numbers to
// their limits; false (with the faulty field focused) when a number cannot
// be read, so that the box stays open for a correction.
bool take_values(DialogState& st) {
  for (size_t i = 0; i < st.dlg->fields.size(); ++i) {
    DialogField& f = st.dlg->fields[i];
    Fl_Widget* w = st.inputs[i];
    if (f.kind == DialogField::List) {
      f.ivalue = static_cast<Fl_Choice*>(w)->value() + 1;
      continue;
    }
    Fl_Input* in = f.kind == DialogField::Integer
                       ? static_cast<Fl_Input*>(static_cast<Fl_Spinner*>(w)->child(0))
                       : static_cast<Fl_Input*>(w);
    std::string text = in->value();
    if (f.kind == DialogField::Text) {
      f.svalue = text;
      continue;
    }
    size_t a = text.find_first_not_of(" \t"), b = text.find_last_not_of(" \t");
    text = a == std::string::npos ? "" : text.substr(a, b - a + 1);
    char* end = nullptr;
    bool ok = !text.empty();
    if (f.kind == DialogField::Integer) {
      long v = std::strtol(text.c_str(), &end, 10);
      ok = ok && *end == '\0';
      if (ok) f.ivalue = std::clamp(v, f.ilo, f.ihi);
    } else {
      double v = std::strtod(text.c_str(), &end);
      ok = ok && *end == '\0' && std::isfinite(v);
      if (ok) f.rvalue = std::clamp(v, f.rlo, f.rhi);
    }
    if (!ok) {
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

// The frame's close button or Esc closes a box that has only one answer;
// a question with several answers waits for one of its buttons.
void dialog_close_cb(Fl_Widget* w, void*) {
  auto* st = static_cast<DialogState*>(w->user_data());
  if (st->dlg->buttons.size() == 1 && take_values(*st)) st->pressed = 1;
}

std::string real_text(double v) { return script_real(v); }

class FltkPlatform : public Platform {
 public:
  FltkPlatform(const std::string& caption, std::unique_ptr<SessionRecorder> recorder)
      : caption_(caption), recorder_(std::move(recorder)) {
    if (!recorder_) recorder_ = std::make_unique<SessionRecorder>();
    std::string g = caption;
    size_t p = g.rfind(" text");
    graphics_caption_ = (p == std::string::npos ? g : g.substr(0, p)) + " graphics";
    buffer_ = new Fl_Text_Buffer();
    Fl::scheme("gtk+");
  }

  ~FltkPlatform() override {
    drop_transient();
    delete text_win_;
    delete graphics_;
    delete buffer_;
    Fl::flush();
  }

  // --- text window -------------------------------------------------------
  void text_open(const std::string& caption) override {
    if (text_win_) return;
    text_title_ = caption;
    int sw = Fl::w(), sh = Fl::h();
    text_win_ = new Fl_Double_Window(10, 10, sw * 3 / 4, sh * 3 / 4, text_title_.c_str());
    view_ = new TextView(0, 0, text_win_->w(), text_win_->h(), keys_);
    view_->buffer(buffer_);
    view_->textfont(FL_COURIER);
    view_->textsize(FONT_SIZE);
    view_->show_cursor();
    view_->cursor_style(Fl_Text_Display::SIMPLE_CURSOR);
    text_win_->resizable(view_);
    text_win_->end();
    text_win_->callback(close_as_esc, &keys_);
    text_win_->show();
    view_->take_focus();
    scroll_to_end();
    Fl::check();
  }

  void text_close() override {
    if (!text_win_) return;
    text_win_->hide();
    delete text_win_;
    text_win_ = nullptr;
    view_ = nullptr;
    Fl::check();
  }

  void text_clear() override {
    buffer_->text("");
    current_.clear();
    scroll_to_end();
  }

  void text_write(const std::string& s) override {
    for (char c : s) {
      if (c == '\n') {
        text_newline();
      } else {
        current_ += c;
        char t[2] = {c, 0};
        buffer_->append(t);
      }
    }
    scroll_to_end();
  }

  void text_newline() override {
    buffer_->append("\n");
    current_.clear();
    // The window keeps the latest lines; the oldest go when there are many.
    if (buffer_->count_lines(0, buffer_->length()) > MAX_LINES)
      buffer_->remove(0, buffer_->line_end(buffer_->skip_lines(0, MAX_LINES / 10) - 1) + 1);
    scroll_to_end();
  }

  bool text_line_open() const override { return !current_.empty(); }

  std::string text_read_line() override {
    start_text_read();
    std::string typed;
    for (;;) {
      int k = next_key();
      if (k == KEY_ENTER) break;
      if (k == 8) {
        if (!typed.empty()) {
          typed.pop_back();
          current_.pop_back();
          buffer_->remove(buffer_->length() - 1, buffer_->length());
          scroll_to_end();
        }
      } else if (k >= 32 && k < 127) {
        typed += static_cast<char>(k);
        text_write(std::string(1, static_cast<char>(k)));
      }
      // Esc, Ctrl-C and function keys have no meaning in a typed line.
    }
    keys_.waiting = false;
    text_newline();
    recorder_->line(typed);
    return typed;
  }

  int text_read_key() override {
    start_text_read();
    int k;
    do {
      k = next_key();
    } while (script_key_name(k).empty() && k != '"');
    keys_.waiting = false;
    recorder_->key(k);
    return k;
  }

  // --- graphics window -----------------------------------------------------
  void graphics_open() override {
    if (graphics_) return;
    int sw = Fl::w(), sh = Fl::h();
    int scale = std::max(1, std::min((sw - 20) / SCREEN_W, (sh - 60) / SCREEN_H));
    int gw = SCREEN_W * scale, gh = SCREEN_H * scale;
    graphics_ = new GraphicsView(std::max(0, (sw - gw) / 2), std::max(0, (sh - gh) / 2), scale,
                                 graphics_caption_.c_str(), fb_, keys_);
    graphics_->end();
    graphics_->callback(close_as_esc, &keys_);
    graphics_->show();
    if (!cursor_on_) graphics_->cursor(FL_CURSOR_NONE);
    Fl::check();
  }

  void graphics_close() override {
    if (!graphics_) return;
    graphics_->hide();
    delete graphics_;
    graphics_ = nullptr;
    Fl::check();
  }

  void graphics_update() override {
    show_framebuffer();
    Fl::check();
  }

  void note_heading(const std::string&) override {}

  // --- mouse -------------------------------------------------------------
  MouseState mouse_poll() override {
    show_framebuffer();
    MouseState m;
    if (release_due_) {
      // The poll after a press sees the button up where it went down, as a
      // replayed click does.
      release_due_ = false;
      m = last_press_;
      m.buttons = 0;
    } else {
      Fl::wait(0.02);  // a polling loop must not spin the processor
      if (graphics_ && graphics_->press_pending) {
        graphics_->press_pending = false;
        m = last_press_ = graphics_->press;
        release_due_ = true;
      } else if (graphics_) {
        m = graphics_->pointer;
      }
    }
    recorder_->mouse(m);
    return m;
  }

  void mouse_show(bool on) override {
    cursor_on_ = on;
    if (graphics_) graphics_->cursor(on ? FL_CURSOR_DEFAULT : FL_CURSOR_NONE);
  }

  void mouse_move(int x, int y) override {
    if (!graphics_ || !graphics_->shown()) return;
    int s = graphics_->scale();
    XWarpPointer(fl_display, 0L, fl_xid(graphics_), 0, 0, 0, 0, x * s + s / 2, y * s + s / 2);
    graphics_->pointer.x = std::clamp(x, 0, SCREEN_W - 1);
    graphics_->pointer.y = std::clamp(y, 0, SCREEN_H - 1);
  }

  // --- dialogs -----------------------------------------------------------
  int dialog(DialogSpec& dlg) override;
  void tell(const std::string& text) override;
  std::optional<std::string> file_open(const std::string& title,
                                       const std::vector<FileFilter>& filters,
                                       const std::string& folder) override;

  // --- time and miscellany ------------------------------------------------
  void sleep(double seconds) override {
    show_framebuffer();
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
      double left = std::chrono::duration<double>(end - std::chrono::steady_clock::now()).count();
      if (left <= 0) break;
      Fl::wait(left);
    }
  }

  void beep() override { fl_beep(); }

  void screen_size(int& w, int& h) override {
    w = Fl::w();
    h = Fl::h();
  }

  void finish() override {
    if (!current_.empty()) text_newline();
    Fl::flush();
  }

 private:
  static constexpr int MAX_LINES = 20000;

  void scroll_to_end() {
    if (!view_) return;
    view_->insert_position(buffer_->length());
    view_->show_insert_position();
  }

  void show_framebuffer() {
    if (graphics_ && graphics_->drawn != fb_.generation()) graphics_->redraw();
  }

  // A text read brings the text window back if the program had removed it,
  // and forgets clicks made on the graphics window meanwhile.
  void start_text_read() {
    show_framebuffer();
    if (!text_win_) text_open(text_title_.empty() ? caption_ : text_title_);
    forget_presses();
    keys_.waiting = true;
    scroll_to_end();
  }

  void forget_presses() {
    if (graphics_) graphics_->press_pending = false;
    release_due_ = false;
  }

  int next_key() {
    while (keys_.keys.empty()) Fl::wait();
    int k = keys_.keys.front();
    keys_.keys.pop_front();
    return k;
  }

  void drop_transient() {
    if (!transient_) return;
    transient_->hide();
    delete transient_;
    transient_ = nullptr;
  }

  // Shows a box that takes no input and stays until the next dialog.
  void show_transient(Fl_Window* w) {
    drop_transient();
    transient_ = w;
    // Under the heading strip, over the middle of the plot area (left of
    // the toolbar), so neither the heading nor the buttons are hidden.
    if (graphics_ && graphics_->shown()) {
      int s = graphics_->scale();
      w->position(graphics_->x() + std::max(0, (500 * s - w->w()) / 2), graphics_->y() + 38 * s);
    } else {
      w->position((Fl::w() - w->w()) / 2, (Fl::h() - w->h()) / 2);
    }
    w->set_override();  // never takes the keyboard focus
    w->show();
    Fl::flush();
    Fl::check();
  }

  std::string caption_, text_title_, graphics_caption_;
  std::unique_ptr<SessionRecorder> recorder_;
  Fl_Text_Buffer* buffer_ = nullptr;
  Fl_Double_Window* text_win_ = nullptr;
  TextView* view_ = nullptr;
  std::string current_;  // the text line in progress
  KeySink keys_;
  GraphicsView* graphics_ = nullptr;
  bool cursor_on_ = true;
  bool release_due_ = false;
  MouseState last_press_;
  Fl_Window* transient_ = nullptr;
};

int FltkPlatform::dialog(DialogSpec& dlg) {
  drop_transient();
  forget_presses();
  show_framebuffer();
  const bool yellow = dlg.style != DialogStyle::Normal;
  const bool banner = dlg.style == DialogStyle::Banner;
  const bool welcome = dlg.style == DialogStyle::Welcome;
  const int margin = 14, row = 22, gap = 8;

  // Sizes first, then the widgets.
  auto line_font = [&](size_t i, const DialogLine& l, Fl_Font& font, int& size) {
    font = FL_HELVETICA;
    size = FONT_SIZE;
    if (l.title) {
      font = welcome ? FL_HELVETICA_BOLD_ITALIC : FL_TIMES;
      size = welcome ? 24 : 18;
    }
    if (banner) {
      font = i == 0 ? FL_HELVETICA_BOLD_ITALIC : FL_HELVETICA;
      size = i == 0 ? 40 : 18;
    } else if (welcome && i == 0) {
      // The welcome box opens with the program's name.
      font = FL_HELVETICA_BOLD_ITALIC;
      size = 24;
    }
  };
  const bool has_icon = dlg.icon != DialogIcon::None || welcome;
  const int text_x = margin + (has_icon ? 52 : 0);
  int content_w = 200, content_h = 0;
  for (size_t i = 0; i < dlg.lines.size(); ++i) {
    Fl_Font f;
    int s;
    line_font(i, dlg.lines[i], f, s);
    fl_font(f, s);
    content_w = std::max(content_w, static_cast<int>(fl_width(dlg.lines[i].text.c_str())) + 4);
    content_h += std::max(row, s + 8);
  }
  fl_font(FL_HELVETICA, FONT_SIZE);
  const int digit = static_cast<int>(fl_width("0"));
  std::vector<int> label_w, field_w;
  for (const DialogField& f : dlg.fields) {
    int lw = f.label.empty() ? 0 : static_cast<int>(fl_width(f.label.c_str())) + gap;
    int fw = std::max(4, f.width) * digit + 16;
    if (f.kind == DialogField::Integer) fw += 20;
    if (f.kind == DialogField::List) {
      fw = 60;
      for (const auto& item : f.items) fw = std::max(fw, static_cast<int>(fl_width(item.c_str())) + 40);
    }
    label_w.push_back(lw);
    field_w.push_back(fw);
    content_w = std::max(content_w, lw + fw);
    content_h += row + 8;
  }
  std::vector<int> button_w;
  int buttons_total = 0;
  for (const auto& b : dlg.buttons) {
    // The default button also carries the Enter mark.
    bool is_default = static_cast<int>(button_w.size()) + 1 == dlg.default_button;
    button_w.push_back(std::max(80, static_cast<int>(fl_width(b.c_str())) + (is_default ? 50 : 30)));
    buttons_total += button_w.back() + (buttons_total ? 10 : 0);
  }
  const int shadow = banner ? 6 : 0;
  int win_w = std::max(text_x + content_w + margin, buttons_total + 2 * margin) + shadow;
  int body_h = std::max(content_h, has_icon ? 44 : 0);
  int win_h = margin + body_h + (dlg.buttons.empty() ? 0 : gap + 30) + margin + shadow;

  Fl_Double_Window* win;
  if (banner) {
    win = new ShadowWindow(win_w, win_h, PALE_YELLOW);
  } else {
    win = new Fl_Double_Window(win_w, win_h);
    win->copy_label(dlg.caption.c_str());
    win->color(yellow ? PALE_YELLOW : FL_BACKGROUND_COLOR);
  }
  DialogState st;
  st.dlg = &dlg;
  if (has_icon) new IconView(margin, margin, dlg.icon, welcome && dlg.icon == DialogIcon::None);
  int y = margin;
  for (size_t i = 0; i < dlg.lines.size(); ++i) {
    const DialogLine& l = dlg.lines[i];
    Fl_Font f;
    int s;
    line_font(i, l, f, s);
    int h = std::max(row, s + 8);
    bool help_title = l.title && dlg.style == DialogStyle::Help;
    Fl_Color c = l.red || (banner && i == 0) ? FL_RED : help_title ? FL_BLUE : FL_BLACK;
    new TextLine(text_x, y, content_w, h, l.text, f, s, c, help_title || banner, help_title);
    y += h;
  }
  for (size_t i = 0; i < dlg.fields.size(); ++i) {
    const DialogField& f = dlg.fields[i];
    if (!f.label.empty())
      new TextLine(text_x, y + 4, label_w[i] - gap, row, f.label, FL_HELVETICA, FONT_SIZE,
                   FL_BLACK, false, false);
    int fx = text_x + label_w[i];
    Fl_Widget* w = nullptr;
    switch (f.kind) {
      case DialogField::Integer: {
        auto* sp = new Fl_Spinner(fx, y + 4, field_w[i], row + 2);
        sp->type(FL_INT_INPUT);
        sp->range(static_cast<double>(f.ilo), static_cast<double>(f.ihi));
        sp->step(1);
        sp->value(static_cast<double>(f.ivalue));
        auto* in = static_cast<Fl_Input*>(sp->child(0));
        in->value(std::to_string(f.ivalue).c_str());
        // Enter is left to the default button; the spinner takes the typed
        // value when the field loses the focus.
        in->when(FL_WHEN_RELEASE);
        w = sp;
        break;
      }
      case DialogField::Real:
      case DialogField::Text: {
        auto* in = new Fl_Input(fx, y + 4, field_w[i], row + 2);
        in->value(f.kind == DialogField::Real ? real_text(f.rvalue).c_str() : f.svalue.c_str());
        w = in;
        break;
      }
      case DialogField::List: {
        auto* ch = new Fl_Choice(fx, y + 4, field_w[i], row + 2);
        for (size_t k = 0; k < f.items.size(); ++k) {
          // Added under a plain placeholder, then named, so that "/" and "&"
          // in an entry are shown as written.
          ch->add(("entry" + std::to_string(k)).c_str());
          ch->replace(static_cast<int>(k), f.items[k].c_str());
        }
        if (!f.items.empty())
          ch->value(static_cast<int>(std::clamp(f.ivalue, 1L, static_cast<long>(f.items.size())) - 1));
        w = ch;
        break;
      }
    }
    st.inputs.push_back(w);
    y += row + 8;
  }
  // One answer of a message box sits at the right; a row of answers, and
  // the "Close" of the yellow boxes, in the middle.
  const int inner_w = win_w - shadow;
  int bx = dlg.buttons.size() == 1 && dlg.style == DialogStyle::Normal
               ? inner_w - margin - buttons_total
               : (inner_w - buttons_total) / 2;
  int by = margin + body_h + gap;
  Fl_Widget* default_button = nullptr;
  for (size_t i = 0; i < dlg.buttons.size(); ++i) {
    Fl_Button* b;
    bool is_default = static_cast<int>(i) + 1 == dlg.default_button;
    if (is_default) b = new Fl_Return_Button(bx, by, button_w[i], 30);
    else b = new Fl_Button(bx, by, button_w[i], 30);
    b->copy_label(dlg.buttons[i].c_str());
    b->callback(dialog_button_cb, static_cast<long>(i) + 1);
    if (is_default) default_button = b;
    bx += button_w[i] + 10;
  }
  win->end();
  win->callback(dialog_close_cb, &st);

  // Over the graphics window when it is up, else in the middle of the screen.
  int px = (Fl::w() - win_w) / 2, py = (Fl::h() - win_h) / 2;
  if (graphics_ && graphics_->shown()) {
    px = graphics_->x() + (graphics_->w() - win_w) / 2;
    py = graphics_->y() + (graphics_->h() - win_h) / 2;
  }
  win->position(std::max(0, px), std::max(0, py));

  if (dlg.buttons.empty()) {
    // A banner without buttons stays up until the next dialog or status box.
    show_transient(win);
    return 1;
  }
  win->set_modal();
  win->show();
  if (!st.inputs.empty()) {
    Fl_Widget* first = st.inputs.front();
    if (dlg.fields.front().kind == DialogField::Integer)
      first = static_cast<Fl_Spinner*>(first)->child(0);
    first->take_focus();
    if (auto* in = dynamic_cast<Fl_Input*>(first)) in->position(0, in->size());
  } else if (default_button) {
    default_button->take_focus();
  }
  while (st.pressed == 0) Fl::wait();
  win->hide();
  delete win;
  Fl::check();
  recorder_->dialog(dlg, st.pressed);
  return st.pressed;
}

void FltkPlatform::tell(const std::string& text) {
  fl_font(FL_HELVETICA, FONT_SIZE);
  int w = static_cast<int>(fl_width(text.c_str())) + 30 + 6;
  auto* win = new ShadowWindow(std::max(w, 120), 36 + 6, PALE_YELLOW);
  new TextLine(10, 4, w - 20, 28, text, FL_HELVETICA, FONT_SIZE, FL_BLACK, false, false);
  win->end();
  show_transient(win);
}

std::optional<std::string> FltkPlatform::file_open(const std::string& title,
                                                   const std::vector<FileFilter>& filters,
                                                   const std::string& folder) {
  drop_transient();
  forget_presses();
  Fl_Native_File_Chooser chooser;
  chooser.title(title.c_str());
  chooser.type(Fl_Native_File_Chooser::BROWSE_FILE);
  std::string filter_text;
  for (const FileFilter& f : filters) {
    // "*.*" means every file, also those without a dot in the name.
    std::string pattern = f.pattern == "*.*" ? "*" : f.pattern;
    filter_text += f.name + "\t" + pattern + "\n";
  }
  chooser.filter(filter_text.c_str());
  std::error_code ec;
  std::string start = folder.empty() ? std::filesystem::current_path(ec).string() : folder;
  chooser.directory(start.c_str());
  std::optional<std::string> chosen;
  if (chooser.show() == 0 && chooser.filename() && *chooser.filename())
    chosen = std::string(chooser.filename());
  Fl::check();
  recorder_->file(chosen, std::filesystem::current_path(ec).string());
  return chosen;
}

}  // namespace

std::unique_ptr<Platform> open_window_backend(const std::string& text_caption,
                                              const std::string& record_path) {
  // Opened here first, so that a missing display is a plain answer and not
  // an abort inside the toolkit.
  Display* d = XOpenDisplay(nullptr);
  if (!d) return nullptr;
  fl_open_display(d);
  std::unique_ptr<SessionRecorder> recorder;
  if (!record_path.empty()) {
    recorder = SessionRecorder::to_file(record_path);
    recorder->comment(text_caption + " session recorded by the window backend");
  }
  return std::make_unique<FltkPlatform>(text_caption, std::move(recorder));
}

}  // namespace vortan
