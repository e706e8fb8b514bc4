// Work that must not harm the tool runs in a child process of its own: a
// crash there ends the child, not the tool, and the child can neither start
// programs nor change any file. The child hands back its answer as bytes
// through a pipe; the parent checks them before using anything.
#pragma once

#include <functional>
#include <string>

namespace vortan {

struct ChildOutcome {
  bool finished = false;  // the child ran `work` to its end and exited normally
  std::string bytes;      // what `work` returned
  std::string failure;    // why not, in the tool's words, when !finished
};

// Forks; the child shuts itself in (no new programs or processes, no file
// opened for writing, created, removed or renamed, at most `cpu_seconds` of
// processor time and twice that in all, so a script that never ends is
// stopped) and runs `work`, whose return value comes back in the outcome.
ChildOutcome run_contained(const std::function<std::string()>& work, int cpu_seconds = 300);

}  // namespace vortan
