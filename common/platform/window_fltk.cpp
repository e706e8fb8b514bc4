// The window backend: the programs' text window, graphics window, dialogs
// and mouse on a desktop, through FLTK 1.3. Every blocking call runs FLTK's
// event loop until the user has answered, so the programs keep their single
// thread and their one fixed dialogue. The window the program waits on is
// raised and given the keyboard each time a wait begins.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>
// Xlib's None would hide DialogIcon::None.
#undef None

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "session_recorder.h"
#include "window_backend.h"
#include "window_dialog.h"
#include "window_layout.h"
#include "window_views.h"

namespace vortan {

namespace {

// The programs' timed pauses (banners, the pause after an answer) can be
// shortened for unattended runs, the desktop tests among them:
// VORTAN_PAUSE_SCALE=0.1 makes every pause a tenth as long. A value that is
// not a number from 0 to 1 leaves the pauses as they are.
double pause_scale() {
  static const double scale = [] {
    const char* text = std::getenv("VORTAN_PAUSE_SCALE");
    if (!text || !*text) return 1.0;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    return *end == '\0' && v >= 0.0 && v <= 1.0 ? v : 1.0;
  }();
  return scale;
}

// True when a window manager of the common desktop rules runs.
bool window_manager_runs() {
  Atom check = XInternAtom(fl_display, "_NET_SUPPORTING_WM_CHECK", False), type;
  int format;
  unsigned long n = 0, after;
  unsigned char* data = nullptr;
  bool found = XGetWindowProperty(fl_display, RootWindow(fl_display, fl_screen), check, 0, 1,
                                  False, XA_WINDOW, &type, &format, &n, &after, &data) == Success &&
               n == 1;
  if (data) XFree(data);
  return found;
}

// Raises a shown window and asks the window manager for the keyboard
// (_NET_ACTIVE_WINDOW, as a pager asks, which no focus-stealing rule
// refuses). Without a window manager the keyboard follows the pointer.
void raise_and_focus(Fl_Window* w) {
  if (!w) return;
  w->show();  // maps a hidden window, raises a shown one
  Fl::flush();
  XWindowAttributes a;
  for (int i = 0; i < 200; ++i) {
    if (XGetWindowAttributes(fl_display, fl_xid(w), &a) && a.map_state == IsViewable) break;
    Fl::wait(0.01);
  }
  if (a.map_state != IsViewable) return;
  if (!window_manager_runs()) return;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = fl_xid(w);
  e.xclient.message_type = XInternAtom(fl_display, "_NET_ACTIVE_WINDOW", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = 2;
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &e);
  XFlush(fl_display);
}

// What the program waits on, so that the window of a new wait is raised
// and given the keyboard once, when the wait begins.
enum class Wait { Nothing, Keys, Mouse };

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
    // Room for 64 columns of the text window's font beside the graphics,
    // at the largest scale that leaves it.
    fl_font(FL_COURIER, BASE_FONT_SIZE);
    ui_ = fitting_scale(Fl::w(), Fl::h(), static_cast<int>(64 * fl_width("0")) + 24);
    font_ = scaled(BASE_FONT_SIZE, ui_);
    fl_message_font(FL_HELVETICA, font_);
    fl_font(FL_COURIER, font_);
    const int text_min_w = static_cast<int>(64 * fl_width("0")) + scaled(24, ui_);
    plan_ = plan_windows(Fl::w(), Fl::h(), ui_, text_min_w);
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
    const Rect& r = plan_.text;
    text_win_ = new Fl_Double_Window(r.x, r.y, r.w, r.h, text_title_.c_str());
    view_ = new TextView(0, 0, r.w, r.h, keys_);
    view_->buffer(buffer_);
    view_->textfont(FL_COURIER);
    view_->textsize(font_);
    view_->scrollbar_width(scaled(16, ui_));
    view_->show_cursor();
    view_->cursor_style(Fl_Text_Display::SIMPLE_CURSOR);
    text_win_->resizable(view_);
    text_win_->end();
    text_win_->callback(close_as_esc, &keys_);
    text_win_->show();
    view_->take_focus();
    scroll_to_end();
    Fl::check();
    if (wait_ == Wait::Keys) wait_ = Wait::Nothing;  // a new window: raise it again
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
    start_text_read(Waiting::Line);
    std::string typed;
    for (;;) {
      int k = next_key();
      if (k == EXIT_ASKED) {
        ask_exit();
        continue;
      }
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
    keys_.now = Waiting::Busy;
    text_newline();
    recorder_->line(typed);
    return typed;
  }

  int text_read_key() override {
    start_text_read(Waiting::Key);
    // A close box during the pause before is Esc here, which asks to exit.
    if (keys_.exit_asked) {
      keys_.exit_asked = false;
      keys_.keys.push_front(KEY_ESC);
    }
    int k;
    do {
      k = next_key();
    } while (script_key_name(k).empty() && k != '"');
    keys_.now = Waiting::Busy;
    recorder_->key(k);
    return k;
  }

  // --- graphics window -----------------------------------------------------
  void graphics_open() override {
    if (graphics_) return;
    graphics_ = new GraphicsWindow(plan_.graphics, menu_h(), font_, graphics_caption_.c_str(),
                                   fb_, keys_);
    graphics_->callback(close_as_esc, &keys_);
    graphics_->picture_name = picture_name_;
    graphics_->show();
    if (!cursor_on_) graphics_->picture->window()->cursor(FL_CURSOR_NONE);
    Fl::check();
    if (wait_ == Wait::Mouse) wait_ = Wait::Nothing;
  }

  void graphics_close() override {
    if (!graphics_) return;
    graphics_->hide();
    delete graphics_;
    graphics_ = nullptr;
    Fl::check();
  }

  // The drawing routines call this after every line and polygon: while a
  // picture is being drawn the window follows it a few times a second, and
  // every wait for the user shows it whole.
  void graphics_update() override {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_update_ < UPDATE_INTERVAL) return;
    last_update_ = now;
    show_framebuffer();
    Fl::check();
  }

  void note_heading(const std::string&) override {}

  void note_picture_name(const std::string& name) override {
    picture_name_ = name;
    if (graphics_) graphics_->picture_name = name;
  }

  // --- mouse -------------------------------------------------------------
  MouseState mouse_poll() override {
    show_framebuffer();
    if (wait_ != Wait::Mouse) {
      forget_keys_made_before();
      raise_and_focus(graphics_);
      if (graphics_) graphics_->picture->take_focus();
      wait_ = Wait::Mouse;
    }
    MouseState m;
    // Esc, Ctrl+C or a close box ask to exit at once; "n" goes back to
    // this same wait and nothing is recorded.
    if (keys_.exit_asked) ask_exit();
    if (graphics_) {
      PressQueue& q = graphics_->picture->presses;
      // A polling loop must not spin the processor.
      if (!q.release_due && q.count == 0) wait_for(Waiting::Click, 0.02);
      if (keys_.exit_asked) ask_exit();
      m = press_poll(q, graphics_->picture->pointer);
    } else {
      wait_for(Waiting::Click, 0.02);
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
    PictureView* p = graphics_->picture;
    int wx, wy;
    pixel_to_window(p->fit(), x, y, wx, wy);
    XWarpPointer(fl_display, 0L, fl_xid(graphics_), 0, 0, 0, 0, p->x() + wx, p->y() + wy);
    p->pointer.x = std::clamp(x, 0, SCREEN_W - 1);
    p->pointer.y = std::clamp(y, 0, SCREEN_H - 1);
  }

  // --- dialogs -----------------------------------------------------------
  int dialog(DialogSpec& dlg) override;
  void tell(const std::string& text) override;
  void tell_end() override { drop_transient(); }
  std::optional<std::string> file_open(const std::string& title,
                                       const std::vector<FileFilter>& filters,
                                       const std::string& folder) override;
  std::optional<std::string> folder_open(const std::string& title,
                                         const std::string& folder) override;

  // --- time and miscellany ------------------------------------------------
  // A pause lets the user see a screen or an answer; one who has already
  // typed or clicked on has seen it, and the pause ends there (what was
  // typed or clicked is kept for the wait it belongs to).
  void sleep(double seconds) override {
    show_framebuffer();
    auto end = std::chrono::steady_clock::now() +
               std::chrono::duration<double>(seconds * pause_scale());
    for (;;) {
      double left = std::chrono::duration<double>(end - std::chrono::steady_clock::now()).count();
      if (left <= 0 || user_went_on()) break;
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
  static constexpr std::chrono::milliseconds UPDATE_INTERVAL{100};

  int menu_h() const { return font_ + scaled(12, ui_); }

  bool user_went_on() const {
    return !keys_.keys.empty() || keys_.exit_asked ||
           (graphics_ && graphics_->picture->presses.count > 0);
  }

  void scroll_to_end() {
    if (!view_) return;
    view_->insert_position(buffer_->length());
    view_->show_insert_position();
  }

  void show_framebuffer() {
    if (graphics_ && graphics_->picture->drawn != fb_.generation()) graphics_->picture->redraw();
  }

  // A text read brings the text window back if the program had removed it,
  // raises it and gives it the keyboard; clicks left on the graphics window
  // are not taken.
  void start_text_read(Waiting what) {
    show_framebuffer();
    if (!text_win_) text_open(text_title_.empty() ? caption_ : text_title_);
    forget_presses();
    if (wait_ != Wait::Keys) {
      raise_and_focus(text_win_);
      view_->take_focus();
      wait_ = Wait::Keys;
    }
    keys_.now = what;
    scroll_to_end();
  }

  // Runs the event loop for at most `seconds` as the program waits for
  // `what`, so that keys and closes made meanwhile are taken as meant.
  void wait_for(Waiting what, double seconds) {
    keys_.now = what;
    Fl::wait(seconds);
    keys_.now = Waiting::Busy;
  }

  // Keys typed before a wait for a click or a box answer nothing there: they
  // go with a beep; Esc or Ctrl+C among them still asks to exit.
  void forget_keys_made_before() {
    for (int k : keys_.keys)
      if (k == KEY_ESC || k == KEY_CTRLC) keys_.exit_asked = true;
    if (forget_keys(keys_)) fl_beep();
  }

  // "Do you want to exit?" over the graphics window, outside the dialogue:
  // "y" ends the program through its own ending (the recording ends there),
  // "n" goes back to the wait it came from.
  void ask_exit();

  // The dialogue has moved away from the graphics window: presses it did
  // not take are dropped, with a beep so that none goes unnoticed.
  void forget_presses() {
    if (graphics_ && press_forget(graphics_->picture->presses) > 0) fl_beep();
  }

  // The next key typed; EXIT_ASKED when a line read is to ask to exit.
  static constexpr int EXIT_ASKED = -2;
  int next_key() {
    while (keys_.keys.empty()) {
      if (keys_.exit_asked && keys_.now == Waiting::Line) return EXIT_ASKED;
      Fl::wait();
    }
    int k = keys_.keys.front();
    keys_.keys.pop_front();
    return k;
  }

  void drop_transient() {
    if (graphics_ && !graphics_->picture->status.empty()) {
      graphics_->picture->status.clear();
      graphics_->picture->redraw();
    }
    if (!transient_) return;
    transient_->hide();
    delete transient_;
    transient_ = nullptr;
  }

  void show_transient(Fl_Window* w);
  void place_dialog(Fl_Window* w);
  int run_modal(Fl_Double_Window* win, DialogState& st);

  std::string caption_, text_title_, graphics_caption_, picture_name_;
  std::unique_ptr<SessionRecorder> recorder_;
  double ui_ = 1.0;
  int font_ = BASE_FONT_SIZE;
  WindowPlan plan_;
  Fl_Text_Buffer* buffer_ = nullptr;
  Fl_Double_Window* text_win_ = nullptr;
  TextView* view_ = nullptr;
  std::string current_;  // the text line in progress
  KeySink keys_;
  GraphicsWindow* graphics_ = nullptr;
  bool cursor_on_ = true;
  Wait wait_ = Wait::Nothing;
  Fl_Window* transient_ = nullptr;
  std::chrono::steady_clock::time_point last_update_{};
};

// Shows a box that takes no input and stays until the next dialog or the
// end of its step: under the heading strip, over the middle of the plot
// area (left of the toolbar), so neither the heading nor the buttons are
// hidden.
void FltkPlatform::show_transient(Fl_Window* w) {
  drop_transient();
  show_framebuffer();
  transient_ = w;
  if (graphics_ && graphics_->shown()) {
    const PictureView* p = graphics_->picture;
    const Rect f = p->fit();
    const double k = f.w / static_cast<double>(SCREEN_W);
    const int left = graphics_->x() + p->x() + f.x, top = graphics_->y() + p->y() + f.y;
    w->position(left + std::max(0, static_cast<int>(500 * k - w->w()) / 2),
                top + static_cast<int>(38 * k));
  } else {
    w->position((Fl::w() - w->w()) / 2, (Fl::h() - w->h()) / 2);
  }
  w->set_override();  // never takes the keyboard focus
  w->show();
  Fl::flush();
  Fl::check();
}

// Beside the graphics window when the screen has room there, so that the
// box hides nothing of what it asks about (left of it, over the text
// window's side, else right of it); else over it; with no graphics window,
// in the middle of the screen.
void FltkPlatform::place_dialog(Fl_Window* w) {
  int px = (Fl::w() - w->w()) / 2, py = (Fl::h() - w->h()) / 2;
  if (graphics_ && graphics_->shown()) {
    const int gap = scaled(12, ui_);
    px = graphics_->x() + (graphics_->w() - w->w()) / 2;
    py = graphics_->y() + (graphics_->h() - w->h()) / 2;
    if (graphics_->x() - gap - w->w() >= 0)
      px = graphics_->x() - gap - w->w();
    else if (graphics_->x() + graphics_->w() + gap + w->w() <= Fl::w())
      px = graphics_->x() + graphics_->w() + gap;
  }
  w->position(std::clamp(px, 0, std::max(0, Fl::w() - w->w())),
              std::clamp(py, 0, std::max(0, Fl::h() - w->h())));
}

int FltkPlatform::dialog(DialogSpec& dlg) {
  drop_transient();
  forget_presses();
  if (forget_keys(keys_)) fl_beep();
  show_framebuffer();
  DialogState st;
  Fl_Double_Window* win = build_dialog(dlg, st, font_, ui_);
  place_dialog(win);
  if (dlg.buttons.empty()) {
    // A banner without buttons stays up until the next dialog or status box.
    show_transient(win);
    return 1;
  }
  const int pressed = run_modal(win, st);
  recorder_->dialog(dlg, pressed);
  return pressed;
}

// Shows a built box and waits for one of its buttons.
int FltkPlatform::run_modal(Fl_Double_Window* win, DialogState& st) {
  const Waiting before = keys_.now;
  keys_.now = Waiting::Box;
  win->set_modal();
  win->show();
  raise_and_focus(win);
  focus_first(st);
  while (st.pressed == 0) Fl::wait();
  win->hide();
  delete win;
  Fl::check();
  keys_.now = before;
  wait_ = Wait::Nothing;
  return st.pressed;
}

void FltkPlatform::ask_exit() {
  keys_.exit_asked = false;
  DialogSpec d;
  d.icon = DialogIcon::Question;
  d.lines = {DialogLine{"Do you want to exit?"}};
  d.buttons = {"Yes", "No"};
  DialogState st;
  Fl_Double_Window* win = build_dialog(d, st, font_, ui_);
  place_dialog(win);
  if (run_modal(win, st) != 1) return;
  recorder_->comment("the user left here, from the graphics window");
  leave_program();
}

// Over the graphics window the status box is part of its picture; without
// it, a box of its own in the middle of the screen.
void FltkPlatform::tell(const std::string& text) {
  if (graphics_ && graphics_->shown()) {
    drop_transient();
    show_framebuffer();
    graphics_->picture->status = text.empty() ? " " : text;
    graphics_->picture->redraw();
    Fl::flush();
    return;
  }
  show_transient(build_status_box(text, font_, ui_));
}

std::optional<std::string> FltkPlatform::file_open(const std::string& title,
                                                   const std::vector<FileFilter>& filters,
                                                   const std::string& folder) {
  drop_transient();
  forget_presses();
  if (forget_keys(keys_)) fl_beep();
  show_framebuffer();
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
  wait_ = Wait::Nothing;
  recorder_->file(chosen, std::filesystem::current_path(ec).string());
  return chosen;
}

// A folder is chosen as it stands, whether it holds files or not; a name
// typed for a folder that does not exist yet is returned too.
std::optional<std::string> FltkPlatform::folder_open(const std::string& title,
                                                     const std::string& folder) {
  drop_transient();
  forget_presses();
  if (forget_keys(keys_)) fl_beep();
  show_framebuffer();
  Fl_Native_File_Chooser chooser;
  chooser.title(title.c_str());
  chooser.type(Fl_Native_File_Chooser::BROWSE_SAVE_DIRECTORY);
  std::error_code ec;
  std::string start = folder.empty() ? std::filesystem::current_path(ec).string() : folder;
  chooser.directory(start.c_str());
  std::optional<std::string> chosen;
  if (chooser.show() == 0 && chooser.filename() && *chooser.filename())
    chosen = std::string(chooser.filename());
  Fl::check();
  wait_ = Wait::Nothing;
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
