// What the tests of vortan-solve share: running it in a folder of their
// own, and reading a .out back with PLOTOR's reader.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "console_platform.h"
#include "dat_file.h"
#include "platform/platform.h"
#include "results.h"
#include "results_file.h"
#include "test_support.h"

namespace vortan::test {

inline std::string example(const std::string& name) {
  return std::string(VORTAN_SOURCE_DIR) + "/examples/" + name;
}

// A fresh folder under the tests' work folder.
inline std::string fresh_folder(const std::string& name) {
  const std::string dir = std::string(VORTAN_WORK_DIR) + "/" + name;
  std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
  return dir;
}

struct SolveRun {
  int status = -1;
  std::string out, err;
};

// vortan-solve ARGS in `dir`, with `env` (NAME=value ...) before it.
inline SolveRun solve_in(const std::string& dir, const std::string& args,
                         const std::string& env = "") {
  const std::string cmd = "cd '" + dir + "' && env " + env + " " + VORTAN_SOLVE + " " + args +
                          " >stdout.txt 2>stderr.txt";
  const int raw = std::system(cmd.c_str());
  SolveRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = read_file(dir + "/stdout.txt");
  r.err = read_file(dir + "/stderr.txt");
  return r;
}

// A .out read back as PLOTOR reads it: the mesh, then every result set.
struct ReadBack {
  std::unique_ptr<MeshModel> m = std::make_unique<MeshModel>();
  std::vector<std::unique_ptr<ResultSet>> sets;
  std::vector<std::string> titles;
};

inline ReadBack read_back(const std::string& path) {
  ReadBack b;
  use_console_platform("test", true);
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  INPUT(in, *b.m);
  std::string title = b.m->title;
  do {
    auto r = std::make_unique<ResultSet>();
    clear_results(*r);
    EXPECT_EQ(read_result_set(in, *b.m, *r), SetRead::Read) << path;
    b.sets.push_back(std::move(r));
    b.titles.push_back(title);
  } while (read_next_title(in, title));
  set_platform(nullptr);
  return b;
}

// The four values of Gauss point g of element e in a result set.
inline const double* gauss_values(const ResultSet& r, int e, int g) {
  return &r.stres(r.igaus(e, g), 1);
}

}  // namespace vortan::test
