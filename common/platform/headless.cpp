#include "headless.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "line_reader.h"

namespace vortan {

namespace {

std::string lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

// Splits a script line into words; a word in double quotes may hold blanks.
std::vector<std::string> split_words(const std::string& s) {
  std::vector<std::string> w;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i >= s.size()) break;
    std::string word;
    if (s[i] == '"') {
      ++i;
      while (i < s.size() && s[i] != '"') word += s[i++];
      if (i < s.size()) ++i;
    } else {
      while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) word += s[i++];
    }
    w.push_back(word);
  }
  return w;
}

const char* const KNOWN[] = {"key", "line", "click", "rclick", "wclick", "wrclick",
                             "move", "dialog", "file", "snapshot"};

bool parse_long(const std::string& s, long& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  v = std::strtol(s.c_str(), &end, 10);
  return *end == '\0';
}

bool parse_double(const std::string& s, double& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return *end == '\0' && std::isfinite(v);
}

int key_code(const std::string& k) {
  if (k.size() == 1) return static_cast<unsigned char>(k[0]);
  std::string l = lower(k);
  if (l == "esc") return KEY_ESC;
  if (l == "enter") return KEY_ENTER;
  if (l == "ctrlc") return KEY_CTRLC;
  if (l == "space") return KEY_SPACE;
  if (l.size() >= 2 && l[0] == 'f') {
    long n;
    if (parse_long(l.substr(1), n) && n >= 1 && n <= 12) {
      if (n <= 10) return KEY_F1 + static_cast<int>(n) - 1;
      return n == 11 ? KEY_F11 : KEY_F12;
    }
  }
  return -1;
}

std::string format_real(double v) {
  std::ostringstream o;
  o << v;
  return o.str();
}

std::string describe_field(const DialogField& f) {
  std::string v;
  switch (f.kind) {
    case DialogField::Integer: v = std::to_string(f.ivalue); break;
    case DialogField::Real: v = format_real(f.rvalue); break;
    case DialogField::Text: v = "\"" + f.svalue + "\""; break;
    case DialogField::List:
      v = std::to_string(f.ivalue);
      if (f.ivalue >= 1 && f.ivalue <= static_cast<long>(f.items.size()))
        v += " (" + f.items[f.ivalue - 1] + ")";
      break;
  }
  std::string label = trim(f.label);
  return label.empty() ? "[" + v + "]" : label + " [" + v + "]";
}

}  // namespace

std::vector<ScriptEvent> parse_script(const std::string& text, const std::string& name) {
  std::istringstream in(text);
  return parse_script(in, name);
}

std::vector<ScriptEvent> parse_script(std::istream& in, const std::string& name) {
  std::vector<ScriptEvent> ev;
  std::string raw;
  int n = 0;
  for (;;) {
    const LineRead got = read_line_bounded(in, raw);
    if (got == LineRead::End) break;
    ++n;
    if (got == LineRead::TooLong)
      throw ProgramExit{2, name + " line " + std::to_string(n) + ": longer than " +
                               std::to_string(MLINE) + " characters"};
    std::string t = trim(raw);
    if (t.empty() || t[0] == '#') continue;
    ScriptEvent e;
    e.line = n;
    size_t sp = t.find_first_of(" \t");
    e.kind = lower(t.substr(0, sp));
    e.rest = sp == std::string::npos ? "" : t.substr(sp + 1);
    // `line` types the rest of the line as it stands, blanks included.
    if (e.kind == "line") {
      size_t p = raw.find_first_not_of(" \t");
      e.rest = raw.size() > p + 5 ? raw.substr(p + 5) : "";
    }
    e.args = split_words(e.rest);
    // A key event names one character as it stands, so a double quote can
    // be pressed too.
    if (e.kind == "key" && trim(e.rest).size() == 1) e.args = {trim(e.rest)};
    if (std::find(std::begin(KNOWN), std::end(KNOWN), e.kind) == std::end(KNOWN))
      throw ProgramExit{2, name + " line " + std::to_string(n) + ": unknown event \"" + e.kind + "\""};
    auto bad = [&](const std::string& why) {
      throw ProgramExit{2, name + " line " + std::to_string(n) + ": " + why};
    };
    if (e.kind == "key" && (e.args.size() != 1 || key_code(e.args[0]) < 0))
      bad("key needs one character or one of Esc, Enter, CtrlC, Space, F1..F12");
    if (e.kind == "click" || e.kind == "rclick" || e.kind == "move") {
      long v;
      if (e.args.size() != 2 || !parse_long(e.args[0], v) || !parse_long(e.args[1], v))
        bad(e.kind + " needs two pixel coordinates");
    }
    if (e.kind == "wclick" || e.kind == "wrclick") {
      double v;
      if (e.args.size() != 2 || !parse_double(e.args[0], v) || !parse_double(e.args[1], v))
        bad(e.kind + " needs two world coordinates");
    }
    if (e.kind == "dialog" && e.args.empty()) bad("dialog needs a button label");
    if (e.kind == "snapshot" && e.args.size() != 1) bad("snapshot needs one file name");
    ev.push_back(std::move(e));
  }
  return ev;
}

HeadlessPlatform::HeadlessPlatform(std::vector<ScriptEvent> events,
                                   const std::string& transcript_path,
                                   const std::string& snapshot_dir)
    : events_(std::move(events)), snapshot_dir_(snapshot_dir.empty() ? "." : snapshot_dir) {
  if (transcript_path.empty()) {
    out_ = stdout;
  } else {
    out_ = std::fopen(transcript_path.c_str(), "w");
    if (!out_) throw ProgramExit{2, "cannot write the transcript " + transcript_path};
    own_out_ = true;
  }
}

HeadlessPlatform::HeadlessPlatform(std::vector<ScriptEvent> events, std::FILE* transcript,
                                   const std::string& snapshot_dir)
    : events_(std::move(events)),
      out_(transcript),
      snapshot_dir_(snapshot_dir.empty() ? "." : snapshot_dir) {}

bool HeadlessPlatform::close_transcript() {
  if (!out_) return true;
  if (!line_.empty()) {
    std::fputs((line_ + "\n").c_str(), out_);
    line_.clear();
  }
  bool ok = std::fflush(out_) == 0 && !std::ferror(out_);
  if (own_out_) ok = std::fclose(out_) == 0 && ok;
  out_ = nullptr;
  return ok;
}

HeadlessPlatform::~HeadlessPlatform() { close_transcript(); }

void HeadlessPlatform::record(const std::string& line) {
  std::fputs(line.c_str(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

void HeadlessPlatform::finish() {
  if (!line_.empty()) text_newline();
}

const ScriptEvent& HeadlessPlatform::next_event(const char* kind, const char* wanted) {
  for (;;) {
    if (next_ >= events_.size()) {
      if (!line_.empty()) text_newline();
      throw ProgramExit{4, std::string("session script ran out while the program waits for ") + wanted};
    }
    const ScriptEvent& e = events_[next_];
    if (e.kind == "snapshot") {
      ++next_;
      std::filesystem::path p = std::filesystem::path(snapshot_dir_) / e.args[0];
      std::error_code ec;
      if (!snapshot_dir_.empty()) std::filesystem::create_directories(snapshot_dir_, ec);
      if (std::string why; !fb_.write_png(p.string(), why))
        throw ProgramExit{2, "the snapshot was not saved: " + why};
      record("snapshot " + e.args[0]);
      continue;
    }
    bool match = e.kind == kind;
    if (std::string(kind) == "mouse")
      match = e.kind == "click" || e.kind == "rclick" || e.kind == "wclick" ||
              e.kind == "wrclick" || e.kind == "move";
    if (!match) {
      if (!line_.empty()) text_newline();
      throw ProgramExit{3, "session script line " + std::to_string(e.line) +
                               ": the program waits for " + wanted + ", but the event is \"" +
                               e.kind + (e.rest.empty() ? "" : " " + e.rest) + "\""};
    }
    ++next_;
    return e;
  }
}

void HeadlessPlatform::text_open(const std::string&) {}
void HeadlessPlatform::text_close() {
  if (!line_.empty()) text_newline();
}
void HeadlessPlatform::text_clear() {
  if (!line_.empty()) text_newline();
}

void HeadlessPlatform::text_write(const std::string& s) {
  // Text written with embedded line breaks is split into lines.
  for (char c : s) {
    if (c == '\n') {
      text_newline();
    } else {
      line_ += c;
    }
  }
}

void HeadlessPlatform::text_newline() {
  record(line_);
  line_.clear();
}

std::string HeadlessPlatform::text_read_line() {
  const ScriptEvent& e = next_event("line", "a typed line");
  line_ += e.rest;
  text_newline();
  return e.rest;
}

int HeadlessPlatform::text_read_key() {
  const ScriptEvent& e = next_event("key", "a key press");
  return key_code(e.args[0]);
}

void HeadlessPlatform::note_heading(const std::string& text) { record("heading: " + text); }

MouseState HeadlessPlatform::mouse_poll() {
  if (pending_release_) {
    pending_release_ = false;
    last_mouse_.buttons = 0;
    return last_mouse_;
  }
  const ScriptEvent& e = next_event("mouse", "the mouse");
  MouseState m;
  if (e.kind == "wclick" || e.kind == "wrclick") {
    double x = std::strtod(e.args[0].c_str(), nullptr), y = std::strtod(e.args[1].c_str(), nullptr);
    int ix = static_cast<int>(std::lround(x)), iy = static_cast<int>(std::lround(y));
    if (world_to_pixel_) world_to_pixel_(x, y, ix, iy);
    m.x = ix;
    m.y = iy;
  } else {
    m.x = static_cast<int>(std::strtol(e.args[0].c_str(), nullptr, 10));
    m.y = static_cast<int>(std::strtol(e.args[1].c_str(), nullptr, 10));
  }
  if (e.kind == "click" || e.kind == "wclick") m.buttons = MOUSE_LEFT;
  if (e.kind == "rclick" || e.kind == "wrclick") m.buttons = MOUSE_RIGHT;
  pending_release_ = m.buttons != 0;
  last_mouse_ = m;
  return m;
}

void HeadlessPlatform::mouse_move(int x, int y) {
  last_mouse_.x = x;
  last_mouse_.y = y;
}

int HeadlessPlatform::dialog(DialogSpec& dlg) {
  std::string desc = "dialog \"" + dlg.caption + "\":";
  for (const auto& l : dlg.lines) desc += " " + trim(l.text) + " |";
  for (const auto& f : dlg.fields) desc += " " + describe_field(f) + " |";

  int pressed = dlg.default_button;
  if (dlg.buttons.size() <= 1 && dlg.fields.empty()) {
    pressed = 1;  // information boxes close on their own
  } else {
    const ScriptEvent& e = next_event("dialog", "a dialog button");
    std::string want = lower(trim(e.args[0]));
    pressed = 0;
    for (size_t i = 0; i < dlg.buttons.size(); ++i)
      if (lower(trim(dlg.buttons[i])) == want) pressed = static_cast<int>(i) + 1;
    std::string labels;
    for (const auto& b : dlg.buttons) labels += " \"" + trim(b) + "\"";
    if (pressed == 0)
      throw ProgramExit{3, "session script line " + std::to_string(e.line) + ": the dialog \"" +
                               dlg.caption + "\" has no button \"" + e.args[0] +
                               "\"; its buttons are" + labels};
    if (e.args.size() - 1 > dlg.fields.size())
      throw ProgramExit{3, "session script line " + std::to_string(e.line) + ": the dialog \"" +
                               dlg.caption + "\" has " + std::to_string(dlg.fields.size()) +
                               " input fields, but the event sets " +
                               std::to_string(e.args.size() - 1)};
    for (size_t i = 1; i < e.args.size(); ++i) {
      DialogField& f = dlg.fields[i - 1];
      const std::string& v = e.args[i];
      if (v == "-") continue;
      auto bad = [&](const char* what) {
        throw ProgramExit{3, "session script line " + std::to_string(e.line) + ": field " +
                                 std::to_string(i) + " of the dialog \"" + dlg.caption +
                                 "\" takes " + what + ", not \"" + v + "\""};
      };
      long iv;
      double rv;
      switch (f.kind) {
        case DialogField::Integer:
          if (!parse_long(v, iv)) bad("an integer");
          f.ivalue = std::clamp(iv, f.ilo, f.ihi);
          break;
        case DialogField::List:
          if (!parse_long(v, iv)) bad("an entry number");
          f.ivalue = std::clamp(iv, 1L, std::max(1L, static_cast<long>(f.items.size())));
          break;
        case DialogField::Real:
          if (!parse_double(v, rv)) bad("a real number");
          f.rvalue = std::clamp(rv, f.rlo, f.rhi);
          break;
        case DialogField::Text:
          f.svalue = v;
          break;
      }
    }
    desc = "dialog \"" + dlg.caption + "\":";
    for (const auto& l : dlg.lines) desc += " " + trim(l.text) + " |";
    for (const auto& f : dlg.fields) desc += " " + describe_field(f) + " |";
  }
  desc += " buttons";
  for (size_t i = 0; i < dlg.buttons.size(); ++i)
    desc += " [" + trim(dlg.buttons[i]) + "]";
  if (!dlg.buttons.empty()) desc += " -> " + trim(dlg.buttons[pressed - 1]);
  record(desc);
  return pressed;
}

void HeadlessPlatform::tell(const std::string& text) { record("tell: " + text); }

std::optional<std::string> HeadlessPlatform::file_open(const std::string& title,
                                                       const std::vector<FileFilter>&,
                                                       const std::string&) {
  const ScriptEvent& e = next_event("file", "a file dialog");
  std::string path = trim(e.rest);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  record("file dialog \"" + title + "\" -> " + (path.empty() ? "(cancelled)" : path));
  if (path.empty()) return std::nullopt;
  return path;
}

// `file PATH` answers a folder dialog as it answers a file dialog: PATH
// names the folder, which need not exist yet.
std::optional<std::string> HeadlessPlatform::folder_open(const std::string& title,
                                                         const std::string& folder) {
  return file_open(title, {}, folder);
}

void HeadlessPlatform::beep() { record("beep"); }

}  // namespace vortan
