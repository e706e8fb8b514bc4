// Running CalculiX: the deck is written to a private temporary folder (never
// beside the user's files: CalculiX writes files of its own next to its
// deck), ccx runs there as a child process with a time limit, and the
// folder is removed afterwards.
#pragma once

#include <string>

namespace vortan {

struct CcxRun {
  std::string program;        // the ccx program, found by find_ccx
  double time_limit = 600.0;  // seconds
  bool progress = true;       // CalculiX's own progress lines, on long runs
  std::string keep_dir;       // when not empty, the deck and CalculiX's files are copied here
};

struct CcxOutcome {
  bool ok = false;
  std::string message;   // on failure: what went wrong, with CalculiX's own lines
  std::string results;   // CalculiX's .dat file (the printed nodal values)
  double seconds = 0.0;  // the run's wall time
};

// The ccx program: the one the environment variable VORTAN_CCX names, else
// `ccx` on the PATH. False (with the one line that says so) when none runs.
bool find_ccx(std::string& program, std::string& error);

// Runs the deck; a failure is a status other than 0, an end by a signal,
// the time limit passed, or *ERROR in CalculiX's output (it sometimes ends
// with 0 all the same).
CcxOutcome run_ccx(const CcxRun& run, const std::string& deck);

// The lines of CalculiX's output that say what failed: each *ERROR line
// and the lines that follow it up to a blank one; the last lines of the
// output when there is no *ERROR.
std::string ccx_error_lines(const std::string& output);

}  // namespace vortan
