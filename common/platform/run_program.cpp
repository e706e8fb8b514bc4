#include <cstdio>
#include <fstream>
#include <sstream>

#include "file_replace.h"
#include "headless.h"
#include "program_help.h"
#include "version.h"
#include "window_backend.h"

namespace vortan {

#ifndef VORTAN_HAVE_WINDOW
std::unique_ptr<Platform> open_window_backend(const std::string&, const std::string&) {
  return nullptr;
}
#endif

int run_program(int argc, char** argv, const char* name, const std::string& text_caption,
                void (*program)()) {
  std::string script, transcript, snapshots, record;
  bool high_contrast = false;
  auto usage = [&]() {
    std::fprintf(stderr,
                 "usage: %s [--script FILE [--transcript FILE] [--snapshots DIR]] "
                 "[--record FILE] [--high-contrast]\n(%s --help lists the options)\n",
                 name, name);
    return 2;
  };
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= argc) return false;
      v = argv[++i];
      return true;
    };
    bool ok = true;
    if (a == "--script") ok = value(script);
    else if (a == "--transcript") ok = value(transcript);
    else if (a == "--snapshots") ok = value(snapshots);
    else if (a == "--record") ok = value(record);
    else if (a == "--high-contrast") high_contrast = true;
    else if (a == "--help") return print_program_help(name);
    else if (a == "--version") return print_version(name);
    else ok = false;
    if (!ok) return usage();
  }
  int status = 0;
  HeadlessPlatform* headless = nullptr;
  try {
    if (!script.empty()) {
      std::ifstream in(script, std::ios::binary);
      if (!in) {
        std::fprintf(stderr, "%s: cannot read the session script %s\n", name, script.c_str());
        return 2;
      }
      // The script is an input like any file the program reads: neither the
      // transcript nor any file of the session may replace it.
      note_input(script);
      if (!transcript.empty() && is_input(transcript)) {
        std::fprintf(stderr, "%s: the transcript %s would replace the session script it comes from\n",
                     name, transcript.c_str());
        return 2;
      }
      auto h = std::make_unique<HeadlessPlatform>(parse_script(in, script), transcript, snapshots);
      headless = h.get();
      set_platform(std::move(h));
    } else {
      auto w = open_window_backend(text_caption, record);
      if (!w) {
        std::fprintf(stderr,
                     "%s: cannot open a display; run it headless with --script FILE "
                     "(a session script)\n",
                     name);
        return 2;
      }
      set_platform(std::move(w));
    }
    plat().fb().set_high_contrast(high_contrast);
    program();
    plat().finish();
  } catch (const ProgramExit& e) {
    status = e.status;
    if (!e.message.empty()) std::fprintf(stderr, "%s: %s\n", name, e.message.c_str());
  }
  // A transcript that could not be written whole is said, and the run
  // does not end as a success.
  if (headless && !headless->close_transcript()) {
    std::fprintf(stderr, "%s: cannot write the transcript %s\n", name,
                 transcript.empty() ? "to standard output" : transcript.c_str());
    if (status == 0) status = 2;
  }
  set_platform(nullptr);
  return status;
}

}  // namespace vortan
