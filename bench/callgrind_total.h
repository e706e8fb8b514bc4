// The total instruction count of a callgrind dump file, for the benchmarks
// that count their cases under callgrind (each case dumped to a file of its
// own); -1 when the file holds no total.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

namespace vortan {

inline double dump_total(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("totals:", 0) == 0 || line.rfind("summary:", 0) == 0)
      return std::strtod(line.c_str() + line.find(':') + 1, nullptr);
  return -1;
}

}  // namespace vortan
