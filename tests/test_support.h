// Helpers for unit tests: run routines against the headless platform with a
// small session script and read back what the user would have seen.
#pragma once

#include <string>

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

}  // namespace vortan::test
