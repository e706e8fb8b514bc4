#include "session_recorder.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vortan {

namespace {

std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

}  // namespace

std::string script_key_name(int code) {
  switch (code) {
    case KEY_ESC: return "Esc";
    case KEY_ENTER: return "Enter";
    case KEY_CTRLC: return "CtrlC";
    case KEY_SPACE: return "Space";
    case KEY_F11: return "F11";
    case KEY_F12: return "F12";
    default: break;
  }
  if (code >= KEY_F1 && code < KEY_F1 + 10) return "F" + std::to_string(code - KEY_F1 + 1);
  // A double quote would open a quoted word; every single-key read treats
  // it as one more "other" printable key, as it does the apostrophe.
  if (code == '"') return "";
  if (code > 32 && code < 127) return std::string(1, static_cast<char>(code));
  return "";
}

bool script_word(const std::string& value, std::string& out) {
  bool quote = value.empty() || value == "-" || value.front() == '"' ||
               value.find_first_of(" \t") != std::string::npos;
  if (!quote) {
    out = value;
    return true;
  }
  bool exact = value.find('"') == std::string::npos && value != "-";
  std::string v = value;
  for (char& c : v)
    if (c == '"') c = '\'';
  out = "\"" + v + "\"";
  return exact;
}

std::string script_real(double v) {
  char buf[40];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  return buf;
}

SessionRecorder::SessionRecorder(std::ostream& out) : out_(&out) {}

std::unique_ptr<SessionRecorder> SessionRecorder::to_file(const std::string& path) {
  auto f = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
  if (!*f) throw ProgramExit{2, "cannot write the session record " + path};
  auto r = std::make_unique<SessionRecorder>(*f);
  r->file_ = std::move(f);
  return r;
}

void SessionRecorder::write(const std::string& s) {
  if (!out_) return;
  // Flushed line by line, so a session that ends abruptly is kept whole.
  *out_ << s << '\n';
  out_->flush();
}

void SessionRecorder::comment(const std::string& text) { write("# " + text); }

void SessionRecorder::key(int code) {
  other_input();
  std::string name = script_key_name(code);
  if (!name.empty()) {
    write("key " + name);
  } else if (code == '"') {
    comment("a double quote was pressed here; the apostrophe stands in for it");
    write("key '");
  } else {
    comment("key code " + std::to_string(code) + " has no script name");
  }
}

void SessionRecorder::line(const std::string& text) {
  other_input();
  write(text.empty() ? "line" : "line " + text);
}

void SessionRecorder::mouse(const MouseState& m) {
  if (m.buttons != 0 && last_buttons_ == 0) {
    std::string where = " " + std::to_string(m.x) + " " + std::to_string(m.y);
    write(((m.buttons & MOUSE_LEFT) ? "click" : "rclick") + where);
  }
  last_buttons_ = m.buttons;
}

void SessionRecorder::dialog(const DialogSpec& dlg, int button) {
  other_input();
  if (dlg.buttons.size() <= 1 && dlg.fields.empty()) return;
  if (button < 1 || button > static_cast<int>(dlg.buttons.size())) return;
  std::string label;
  bool exact = script_word(trim(dlg.buttons[button - 1]), label);
  std::string s = "dialog " + label;
  for (const DialogField& f : dlg.fields) {
    std::string w;
    switch (f.kind) {
      case DialogField::Integer:
      case DialogField::List: w = std::to_string(f.ivalue); break;
      case DialogField::Real: w = script_real(f.rvalue); break;
      case DialogField::Text: exact = script_word(f.svalue, w) && exact; break;
    }
    s += " " + w;
  }
  if (!exact) comment("a value below held a double quote or was \"-\"; a script cannot carry it exactly");
  write(s);
}

void SessionRecorder::file(const std::optional<std::string>& path, const std::string& cwd) {
  other_input();
  if (!path) {
    write("file");
    return;
  }
  std::string p = *path;
  std::string base = cwd;
  if (!base.empty() && base.back() != '/') base += '/';
  if (!base.empty() && p.size() > base.size() && p.compare(0, base.size(), base) == 0)
    p = p.substr(base.size());
  write("file " + p);
}

}  // namespace vortan
