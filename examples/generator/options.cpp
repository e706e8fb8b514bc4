#include "options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vortan {

bool parse_command_line(const std::vector<std::string>& args,
                        const std::vector<std::string>& allowed, CommandLine& cl,
                        std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      cl.words.push_back(a);
      continue;
    }
    const std::string name = a.substr(2);
    if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
      error = "unknown option " + a;
      return false;
    }
    if (i + 1 >= args.size()) {
      error = "option " + a + " needs a value";
      return false;
    }
    const std::string& text = args[++i];
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v)) {
      error = "option " + a + " takes a number, not \"" + text + "\"";
      return false;
    }
    cl.options[name] = v;
  }
  return true;
}

double option(const CommandLine& cl, const std::string& name, double fallback) {
  auto it = cl.options.find(name);
  return it == cl.options.end() ? fallback : it->second;
}

}  // namespace vortan
