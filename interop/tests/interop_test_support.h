// What the interop tools' tests share: a fresh work folder per test, a
// file's whole contents, and a command run in a folder with its output kept.
#pragma once

#include <gmsh.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace vortan::interop_test {

// A fresh folder for one test under the build's work folder.
inline std::string work(const std::string& name) {
  const std::string dir = std::string(VORTAN_WORK_DIR) + "/" + name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

inline std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// `command` run in `dir`, its output in out.txt and its messages in err.txt;
// its exit status, or -1 when it did not exit.
inline int run(const std::string& dir, const std::string& command) {
  const int status = std::system(("cd '" + dir + "' && " + command + " >out.txt 2>err.txt").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The views Gmsh holds now, by name (the tag of each).
inline std::map<std::string, int> views_by_name() {
  std::vector<int> views;
  gmsh::view::getTags(views);
  std::map<std::string, int> by_name;
  for (size_t i = 0; i < views.size(); ++i) {
    std::string name;
    gmsh::option::getString("View[" + std::to_string(i) + "].Name", name);
    by_name[name] = views[i];
  }
  return by_name;
}

}  // namespace vortan::interop_test
