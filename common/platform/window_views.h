// The window backend's own widgets: the text window's view, the graphics
// window with its picture and menu, dialog text lines, icons and the
// shadowed boxes. Shared by the files of the window backend only.
#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Text_Display.H>
// Xlib's None would hide DialogIcon::None.
#undef None

#include <deque>
#include <string>
#include <vector>

#include "platform.h"
#include "press_queue.h"
#include "window_layout.h"

namespace vortan {

// The key code of the key event being handled, or -1 for a key the
// programs never ask for (arrows, Tab, modifiers ...). Backspace comes as 8
// for line editing only.
int event_key_code();

// What the program waits on while the window's events are handled, so
// that a key or a close belongs to the question it was made for.
enum class Waiting { Busy, Key, Line, Click, Box };

// Sink for the keys typed into any of the program's windows.
struct KeySink {
  std::deque<int> keys;
  Waiting now = Waiting::Busy;
  // Esc, Ctrl+C or a close box while the program waits for a click or a
  // line: "Do you want to exit?" is asked at once by the wait.
  bool exit_asked = false;
};

// A key typed into the text or graphics window: kept for a key or line
// read (also one typed ahead during a pause); while the program waits for a
// click, Esc and Ctrl+C ask to exit and any other key is refused with a beep.
void key_typed(KeySink& sink, int key);
// Drops keys typed for no question the program has asked; true when there
// were any (the caller beeps).
bool forget_keys(KeySink& sink);

// Closing a text or graphics window by its frame (or Alt+F4) never cuts a
// question short: at a key read it is Esc, which asks "Do you want to
// exit?"; at a click or a line the wait asks the same at once; during a
// pause it is asked at the next wait.
void close_as_esc(Fl_Widget*, void* data);

// The text window's view: scrolls like any text display, and hands every
// key to the dialogue instead of moving a cursor.
class TextView : public Fl_Text_Display {
 public:
  TextView(int x, int y, int w, int h, KeySink& sink)
      : Fl_Text_Display(x, y, w, h), sink_(sink) {}
  int handle(int e) override;

 private:
  KeySink& sink_;
};

// The picture of the graphics window: the framebuffer through its palette,
// fitted at 4:3 to whatever size the window has, with presses mapped back
// to framebuffer pixels and queued for the program's polls.
class PictureView : public Fl_Widget {
 public:
  PictureView(int x, int y, int w, int h, const Framebuffer& fb, KeySink& sink)
      : Fl_Widget(x, y, w, h), fb_(fb), sink_(sink) {}
  void draw() override;
  int handle(int e) override;

  // Where the picture stands inside the widget.
  Rect fit() const { return fit_picture(w(), h()); }

  unsigned long drawn = ~0UL;  // framebuffer generation on the screen
  PressQueue presses;
  MouseState pointer;  // the latest known position, no buttons
  // The status box's text, empty when none is shown. It is drawn with the
  // picture, so it moves and scales with the window and never takes a click.
  std::string status;

 private:
  void track();
  void draw_status(const Rect& f);
  const Framebuffer& fb_;
  KeySink& sink_;
  std::vector<std::uint8_t> rgb_;
  int rgb_w_ = 0, rgb_h_ = 0;
};

// The graphics window: a menu of what lies outside the dialogue (saving the
// picture, its colours) over the picture, which takes the rest of the window.
class GraphicsWindow : public Fl_Double_Window {
 public:
  GraphicsWindow(const Rect& r, int menu_h, int font, const char* caption, Framebuffer& fb,
                 KeySink& sink);
  PictureView* picture = nullptr;
  Fl_Menu_Bar* menu = nullptr;
  // The name, without extension, offered for a saved picture; empty: none.
  std::string picture_name;

 private:
  void save(bool whole);
  static void save_plot_cb(Fl_Widget*, void* data);
  static void save_window_cb(Fl_Widget*, void* data);
  static void contrast_cb(Fl_Widget*, void* data);
  Framebuffer& fb_;
};

// One line of dialog text. Drawn by hand so that leading blanks and "@"
// show as written.
class TextLine : public Fl_Widget {
 public:
  TextLine(int x, int y, int w, int h, std::string text, Fl_Font font, int size, Fl_Color colour,
           bool centred, bool underline)
      : Fl_Widget(x, y, w, h), text_(std::move(text)), font_(font), size_(size),
        colour_(colour), centred_(centred), underline_(underline) {}
  void draw() override;
  const std::string& text() const { return text_; }

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
  IconView(int x, int y, int size, DialogIcon icon, bool program)
      : Fl_Widget(x, y, size, size), icon_(icon), program_(program) {}
  void draw() override;

 private:
  DialogIcon icon_;
  bool program_;
};

// A borderless window drawn with a shadow at its right and bottom edges.
class ShadowWindow : public Fl_Double_Window {
 public:
  ShadowWindow(int w, int h, int shadow, Fl_Color colour)
      : Fl_Double_Window(w, h), colour_(colour), shadow_(shadow) {
    box(FL_NO_BOX);
    border(0);
  }
  void draw() override;

 private:
  Fl_Color colour_;
  int shadow_;
};

extern const Fl_Color PALE_YELLOW;

}  // namespace vortan
