// The platform layer: everything the programs need of the machine they run
// on. Every routine draws, asks and reads only through this interface; the
// headless backend takes the user's side from a session script, the window
// backend from a real keyboard, mouse and screen.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framebuffer.h"

namespace vortan {

// Key codes returned by single-key reads. Printable characters are their
// ASCII codes; function keys lie above the byte range.
constexpr int KEY_CTRLC = 3;
constexpr int KEY_ENTER = 13;
constexpr int KEY_ESC = 27;
constexpr int KEY_SPACE = 32;
constexpr int KEY_F1 = 315;  // F1..F10 are 315..324
constexpr int KEY_F11 = 389;
constexpr int KEY_F12 = 390;

// Mouse buttons as a bit set.
constexpr int MOUSE_LEFT = 1;
constexpr int MOUSE_RIGHT = 2;

struct MouseState {
  int x = 0;
  int y = 0;
  int buttons = 0;  // MOUSE_LEFT | MOUSE_RIGHT, 0 when no button is down
};

enum class DialogIcon { None, Question, Information, Error };

// The look of a dialog box: ordinary grey box, yellow help screen, yellow
// start-up banner, yellow welcome box.
enum class DialogStyle { Normal, Help, Banner, Welcome };

// A line of a dialog's text. A tab in the text is an alignment stop: the
// parts are set in columns, never shown as a glyph.
struct DialogLine {
  std::string text;
  bool red = false;     // drawn in red where the dialogue says so
  bool title = false;   // the blue, underlined, centred title of a help screen
  // Column heads: the tab-separated parts head the columns of the field rows
  // below (consecutive head lines form one row of heads).
  bool heads = false;
  bool underline = false;
  // Where the line stands among the fields: after this many of them (notes
  // that follow the fields). Reading order of the fields is not affected.
  int after_fields = 0;
};

struct DialogField {
  enum Kind { Integer, Real, Text, List };
  Kind kind = Integer;
  std::string label;    // text before the field on its row
  long ivalue = 0;      // Integer: the value; List: the 1-based choice
  double rvalue = 0.0;  // Real
  std::string svalue;   // Text
  long ilo = -2147483647L, ihi = 2147483647L;  // Integer limits (spinners)
  double rlo = -1.0e30, rhi = 1.0e30;          // Real limits
  int width = 10;                              // characters shown
  std::vector<std::string> items;              // List entries
  // Under the column head of this number (1-based) of the heads above; its
  // label, if any, stands in the column before. 0: the label beside the
  // field on a row of its own.
  int column = 0;
  bool joins_row = false;  // stands right of the previous field, on its row
};

// Fields as the dialogs use them: an integer held to its limits, a real, a
// text.
inline DialogField integer_field(const std::string& label, long value, long lo, long hi,
                                 int width) {
  DialogField f;
  f.kind = DialogField::Integer;
  f.label = label;
  f.ivalue = value;
  f.ilo = lo;
  f.ihi = hi;
  f.width = width;
  return f;
}

inline DialogField real_field(const std::string& label, double value, int width) {
  DialogField f;
  f.kind = DialogField::Real;
  f.label = label;
  f.rvalue = value;
  f.width = width;
  return f;
}

inline DialogField text_field(const std::string& label, const std::string& value, int width) {
  DialogField f;
  f.kind = DialogField::Text;
  f.label = label;
  f.svalue = value;
  f.width = width;
  return f;
}

struct DialogSpec {
  std::string caption = "Vortan";
  DialogIcon icon = DialogIcon::None;
  DialogStyle style = DialogStyle::Normal;
  std::vector<DialogLine> lines;
  std::vector<DialogField> fields;
  std::vector<std::string> buttons;  // labels, left to right
  int default_button = 1;            // 1-based
};

struct FileFilter {
  std::string name;     // "Input files"
  std::string pattern;  // "*.dat"
};

// Thrown to end the program; main() catches it, so every open file is
// closed by its owner's destructor on the way out.
struct ProgramExit {
  int status;
  std::string message;  // one line for standard error, may be empty
};

class Platform {
 public:
  virtual ~Platform() = default;

  // --- text window -------------------------------------------------------
  virtual void text_open(const std::string& caption) = 0;
  virtual void text_close() = 0;
  virtual void text_clear() = 0;
  // Writes text at the end of the current line (no line break).
  virtual void text_write(const std::string& s) = 0;
  // Ends the current line.
  virtual void text_newline() = 0;
  // True while the current line holds text (a question awaiting its answer).
  virtual bool text_line_open() const = 0;
  // Reads one typed line (Enter ends it); the answer is echoed after the
  // prompt already on the current line and the line is ended.
  virtual std::string text_read_line() = 0;
  // Reads one key press without Enter and without echo.
  virtual int text_read_key() = 0;

  // --- graphics window -----------------------------------------------------
  virtual void graphics_open() = 0;
  virtual void graphics_close() = 0;
  Framebuffer& fb() { return fb_; }
  // Tells the backend that the framebuffer has changed and should be shown.
  virtual void graphics_update() {}
  // The text of the heading strip, for the transcript (the pixels are drawn
  // by the caller into the framebuffer).
  virtual void note_heading(const std::string& text) = 0;

  // The name, without extension, that a picture of the graphics window
  // saved by the user takes by default: the results file's with the plot's
  // PostScript letter (runc beside run.out), or with the plot's name.
  virtual void note_picture_name(const std::string&) {}

  // --- mouse -------------------------------------------------------------
  virtual MouseState mouse_poll() = 0;
  virtual void mouse_show(bool on) = 0;
  virtual void mouse_move(int x, int y) = 0;

  // --- dialogs -----------------------------------------------------------
  // Runs a modal dialog; returns the 1-based button pressed and leaves the
  // edited values in dlg.fields.
  virtual int dialog(DialogSpec& dlg) = 0;
  // A status box that takes no input and vanishes when the next dialog opens.
  virtual void tell(const std::string& text) = 0;
  // The step the status box spoke of is over: the box goes.
  virtual void tell_end() {}
  // The file-open dialog; nullopt when cancelled.
  virtual std::optional<std::string> file_open(const std::string& title,
                                               const std::vector<FileFilter>& filters,
                                               const std::string& folder) = 0;
  // The folder dialog: any folder, also an empty or a new one; nullopt when
  // cancelled.
  virtual std::optional<std::string> folder_open(const std::string& title,
                                                 const std::string& folder) {
    return file_open(title, {}, folder);
  }

  // --- time and miscellany ------------------------------------------------
  virtual void sleep(double seconds) = 0;
  virtual void beep() = 0;
  virtual void screen_size(int& w, int& h) = 0;
  // Time of day as 8 characters "hh:mm:ss" and the date as 26 characters.
  virtual std::string time_text();
  virtual std::string date_text();

  // The world-to-pixel mapping of the current plot window, used by the
  // script events that give world coordinates.
  using WorldToPixel = void (*)(double x, double y, int& ix, int& iy);
  void set_world_mapper(WorldToPixel f) { world_to_pixel_ = f; }

  // Called by the program when it ends normally, before it returns status 0.
  virtual void finish() {}

 protected:
  Framebuffer fb_;
  WorldToPixel world_to_pixel_ = nullptr;
};

// The program's own ending, as "y" to "Do you want to exit?" runs it: set
// by the prompt routines, run by a backend that asks that question itself
// (the window backend, on a close box or Esc at a click). Never returns.
using ProgramLeave = void (*)();
void set_program_leave(ProgramLeave leave);
[[noreturn]] void leave_program();

// The one platform of the running program.
Platform& plat();
void set_platform(std::unique_ptr<Platform> p);

}  // namespace vortan
