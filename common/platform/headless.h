// The headless backend: the user's side of the dialogue comes from a session
// script, what the user would have seen goes to a transcript, and the
// graphics window is written as PNG snapshots on request.
#pragma once

#include <cstdio>
#include <istream>
#include <string>
#include <vector>

#include "platform.h"

namespace vortan {

struct ScriptEvent {
  std::string kind;               // lower case keyword
  std::vector<std::string> args;  // words after the keyword, quotes removed
  std::string rest;               // the raw text after the keyword
  int line = 0;                   // line number in the script
};

// Reads a session script; throws ProgramExit{2} when it cannot be read or
// holds an unknown event.
std::vector<ScriptEvent> parse_script(const std::string& text, const std::string& name);
std::vector<ScriptEvent> parse_script(std::istream& in, const std::string& name);

class HeadlessPlatform : public Platform {
 public:
  // transcript_path empty: the transcript goes to standard output.
  HeadlessPlatform(std::vector<ScriptEvent> events, const std::string& transcript_path,
                   const std::string& snapshot_dir);
  // The transcript goes to a stream the caller keeps open (standard error,
  // say): reopening /dev/stderr by name would empty a log it is redirected to.
  HeadlessPlatform(std::vector<ScriptEvent> events, std::FILE* transcript,
                   const std::string& snapshot_dir);
  ~HeadlessPlatform() override;
  // Writes out the transcript's last line and closes a transcript file of its
  // own; false when any of its writes failed (a full disk, say).
  bool close_transcript();

  void text_open(const std::string& caption) override;
  void text_close() override;
  void text_clear() override;
  void text_write(const std::string& s) override;
  void text_newline() override;
  bool text_line_open() const override { return !line_.empty(); }
  std::string text_read_line() override;
  int text_read_key() override;

  void graphics_open() override {}
  void graphics_close() override {}
  void note_heading(const std::string& text) override;

  MouseState mouse_poll() override;
  void mouse_show(bool) override {}
  void mouse_move(int x, int y) override;

  int dialog(DialogSpec& dlg) override;
  void tell(const std::string& text) override;
  std::optional<std::string> file_open(const std::string& title,
                                       const std::vector<FileFilter>& filters,
                                       const std::string& folder) override;
  std::optional<std::string> folder_open(const std::string& title,
                                         const std::string& folder) override;

  void sleep(double) override {}
  void beep() override;
  void screen_size(int& w, int& h) override { w = 1024; h = 768; }
  void finish() override;

  // Writes one transcript line (ending any text line in progress first is
  // not done: the text line stays open for its answer).
  void record(const std::string& line);

 private:
  const ScriptEvent& next_event(const char* kind, const char* wanted);

  std::vector<ScriptEvent> events_;
  size_t next_ = 0;
  std::FILE* out_ = nullptr;
  bool own_out_ = false;
  std::string snapshot_dir_;
  std::string line_;  // text window line in progress
  bool pending_release_ = false;
  MouseState last_mouse_;
};

}  // namespace vortan
