#include "file_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace vortan {

std::string partial_name(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return path + ".part";
  return path.substr(0, dot) + ".part" + path.substr(dot);
}

bool replace_file(const std::string& from, const std::string& to, std::string& error) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  error = "cannot write " + to + ": " + std::strerror(errno);
  std::remove(from.c_str());
  return false;
}

bool write_file(const std::string& path, const std::function<void(std::ostream&)>& write,
                std::string& error) {
  const std::string part = partial_name(path);
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    if (!out) {
      error = "cannot write " + path + ": " + std::strerror(errno);
      return false;
    }
    write(out);
    out.flush();
    out.close();
    if (out.fail()) {
      error = "cannot write " + path + ": the write did not complete";
      std::remove(part.c_str());
      return false;
    }
  }
  return replace_file(part, path, error);
}

}  // namespace vortan
