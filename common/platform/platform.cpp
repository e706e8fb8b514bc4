#include "platform.h"

#include <ctime>

namespace vortan {

namespace {
std::unique_ptr<Platform> g_platform;
ProgramLeave g_leave = nullptr;
}

void set_program_leave(ProgramLeave leave) { g_leave = leave; }

void leave_program() {
  if (g_leave) g_leave();
  throw ProgramExit{0, ""};
}

Platform& plat() { return *g_platform; }

void set_platform(std::unique_ptr<Platform> p) { g_platform = std::move(p); }

std::string Platform::time_text() {
  std::time_t t = std::time(nullptr);
  char buf[16];
  std::strftime(buf, sizeof buf, "%H:%M:%S", std::localtime(&t));
  return buf;
}

std::string Platform::date_text() {
  // 26 characters, blank-padded: "Monday, December  7, 2026 " and the like.
  std::time_t t = std::time(nullptr);
  char buf[64];
  std::strftime(buf, sizeof buf, "%A, %B %e, %Y", std::localtime(&t));
  std::string s = buf;
  s.resize(26, ' ');
  return s;
}

}  // namespace vortan
