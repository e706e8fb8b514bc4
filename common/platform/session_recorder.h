// Writes what the user does in the window backend as a session script, so
// that a session worked by hand can be replayed headless with --script.
// Kept free of any toolkit so that it can be tested on its own.
#pragma once

#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "platform.h"

namespace vortan {

// The script name of a key code ("Esc", "Enter", "CtrlC", "Space", "F1".."F12"
// or the character itself); empty for a key that a script cannot name.
std::string script_key_name(int code);

// A dialog value as one script word: quoted when it holds blanks or would
// otherwise be read as something else. False when no script word can carry
// the value exactly (a value holding a double quote that must be quoted);
// `out` then holds the nearest word.
bool script_word(const std::string& value, std::string& out);

// A real value in the fewest digits that read back to the same number.
std::string script_real(double v);

class SessionRecorder {
 public:
  // Records nothing.
  SessionRecorder() = default;
  // Writes to `out`, which must outlive the recorder.
  explicit SessionRecorder(std::ostream& out);
  // Writes to the file at `path`; throws ProgramExit{2} when it cannot be
  // written.
  static std::unique_ptr<SessionRecorder> to_file(const std::string& path);

  bool active() const { return out_ != nullptr; }

  void comment(const std::string& text);
  // A key delivered to a single-key read.
  void key(int code);
  // A line delivered to a typed-line read.
  void line(const std::string& text);
  // The result of every mouse poll; a button going down is written as a
  // click at the place where it went down. Polls without a button are not
  // written: the programs act only on presses, and a replayed poll loop
  // goes straight on to the next recorded click.
  void mouse(const MouseState& m);
  // A dialog closed by `button` (1-based) with the values left in `dlg`.
  // Boxes with one button and no field take no script event and are not
  // written.
  void dialog(const DialogSpec& dlg, int button);
  // A file-open dialog; paths under `cwd` are written relative to it.
  void file(const std::optional<std::string>& path, const std::string& cwd);

 private:
  void write(const std::string& s);
  // Any other input ends the button state of the polls before it: the
  // window drops a press's release when the dialogue moves away, so the
  // next press seen is a new one even if no release was polled.
  void other_input() { last_buttons_ = 0; }

  std::unique_ptr<std::ofstream> file_;
  std::ostream* out_ = nullptr;
  int last_buttons_ = 0;
};

}  // namespace vortan
