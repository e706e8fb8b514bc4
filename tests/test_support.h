// Helpers for unit tests: run routines against the headless platform with a
// small session script and read back what the user would have seen.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace vortan::test {

class ScriptedSession {
 public:
  // `script` holds session-script events, one per line.
  explicit ScriptedSession(const std::string& script);
  ~ScriptedSession();
  // The transcript so far, the text line in progress included.
  std::string transcript() const;
  // A fresh folder for files the test writes; removed afterwards.
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::string transcript_path_;
};

// Whole contents of a file, or empty when it cannot be read.
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& text);

// The lines of a text, without their line ends.
std::vector<std::string> lines_of(const std::string& text);

// Runs f and returns the ProgramExit it throws; a status of -1 (and a test
// failure) when f returns normally.
template <class F>
ProgramExit exit_of(F f) {
  try {
    f();
  } catch (const ProgramExit& e) {
    return e;
  }
  ADD_FAILURE() << "the routine did not end the program";
  return ProgramExit{-1, ""};
}

}  // namespace vortan::test
