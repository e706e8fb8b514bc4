#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/headless.h"

namespace vortan::test {

ScriptedSession::ScriptedSession(const std::string& script) {
  char templ[] = "/tmp/vortan_test_XXXXXX";
  folder_ = mkdtemp(templ);
  transcript_path_ = folder_ + "/transcript.txt";
  set_platform(std::make_unique<HeadlessPlatform>(parse_script(script, "test script"),
                                                  transcript_path_, folder_));
}

ScriptedSession::~ScriptedSession() {
  set_platform(nullptr);
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

std::string ScriptedSession::transcript() const {
  plat().finish();
  return read_file(transcript_path_);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) out.push_back(l);
  return out;
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

}  // namespace vortan::test
