#include "ccx_results.h"

#include <cstdlib>
#include <sstream>

namespace vortan {

bool read_ccx_values(const std::string& text, bool heat, const std::vector<char>& expected,
                     NodeValues& u, std::string& error) {
  const char* head = heat ? "temperatures" : "displacements";
  std::istringstream in(text);
  std::string l;
  bool found = false;
  while (!found && std::getline(in, l)) found = l.find(head) != std::string::npos;
  if (!found) {
    error = std::string("CalculiX printed no ") + head;
    return false;
  }
  std::vector<char> seen(expected.size(), 0);
  bool started = false;
  while (std::getline(in, l)) {
    if (l.find_first_not_of(" \t\r") == std::string::npos) {
      if (started) break;  // the blank line after the block
      continue;
    }
    started = true;
    const char* p = l.c_str();
    char* end;
    const long n = std::strtol(p, &end, 10);
    if (end == p || n < 1 || n >= static_cast<long>(expected.size())) continue;  // an added node
    double v[6] = {};
    int count = 0;
    for (p = end; count < 6; ++count, p = end) {
      v[count] = std::strtod(p, &end);
      if (end == p) break;
    }
    if (count < 1) continue;
    u[n] = {v[0], heat ? 0.0 : v[1], count >= 6 ? v[5] : 0.0};
    seen[n] = 1;
  }
  for (size_t n = 1; n < expected.size(); ++n)
    if (expected[n] && !seen[n]) {
      error = "CalculiX printed no value for node " + std::to_string(n);
      return false;
    }
  return true;
}

}  // namespace vortan
