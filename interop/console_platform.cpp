#include "console_platform.h"

#include <cstdio>
#include <memory>

#include "platform/platform.h"

namespace vortan {

namespace {

class ConsolePlatform : public Platform {
 public:
  ConsolePlatform(std::string tool, bool quiet) : tool_(std::move(tool)), quiet_(quiet) {}

  void text_open(const std::string&) override {}
  void text_close() override {}
  void text_clear() override {}
  void text_write(const std::string& s) override { line_ += s; }
  void text_newline() override {
    if (!quiet_) std::printf("%s\n", line_.c_str());
    line_.clear();
  }
  bool text_line_open() const override { return !line_.empty(); }
  std::string text_read_line() override { refuse("a typed line"); }
  int text_read_key() override { refuse("a key"); }

  void graphics_open() override {}
  void graphics_close() override {}
  void note_heading(const std::string&) override {}

  MouseState mouse_poll() override { refuse("a mouse click"); }
  void mouse_show(bool) override {}
  void mouse_move(int, int) override {}

  // Message boxes are said on standard error; a box that asks a question
  // cannot be answered here.
  int dialog(DialogSpec& d) override {
    if (!d.fields.empty() || d.buttons.size() > 1) refuse("an answer to \"" + first_line(d) + "\"");
    std::fprintf(stderr, "%s: %s\n", tool_.c_str(), first_line(d).c_str());
    for (size_t i = 1; i < d.lines.size(); ++i)
      std::fprintf(stderr, "%s: %s\n", tool_.c_str(), d.lines[i].text.c_str());
    return 1;
  }
  void tell(const std::string&) override {}
  std::optional<std::string> file_open(const std::string&, const std::vector<FileFilter>&,
                                       const std::string&) override {
    refuse("a file name");
  }

  void sleep(double) override {}
  void beep() override {}
  void screen_size(int& w, int& h) override {
    w = 1024;
    h = 768;
  }

 private:
  static std::string first_line(const DialogSpec& d) {
    return d.lines.empty() ? d.caption : d.lines.front().text;
  }
  [[noreturn]] void refuse(const std::string& what) {
    throw ProgramExit{1, "the file would need " + what + " from the user; nothing was written"};
  }

  std::string tool_;
  bool quiet_;
  std::string line_;
};

}  // namespace

void use_console_platform(const std::string& tool, bool quiet) {
  set_platform(std::make_unique<ConsolePlatform>(tool, quiet));
}

}  // namespace vortan
