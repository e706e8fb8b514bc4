#include "ccx_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "file_replace.h"

namespace vortan {

namespace {

volatile sig_atomic_t interrupted = 0;  // the signal that asked to stop, 0 none
void on_signal(int sig) { interrupted = sig; }

bool runnable(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::vector<std::string> folder_files(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* ent = readdir(d))
      if (std::strcmp(ent->d_name, ".") != 0 && std::strcmp(ent->d_name, "..") != 0)
        names.push_back(ent->d_name);
    closedir(d);
  }
  return names;
}

void remove_folder(const std::string& dir) {
  for (const auto& name : folder_files(dir)) unlink((dir + "/" + name).c_str());
  rmdir(dir.c_str());
}

std::string read_whole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// Copies CalculiX's folder to the one the user named; false with the reason.
bool keep_deck(const std::string& from, const std::string& to, std::string& why) {
  if (mkdir(to.c_str(), 0777) != 0 && errno != EEXIST) {
    why = "cannot make the folder " + to + ": " + std::strerror(errno);
    return false;
  }
  for (const auto& name : folder_files(from))
    if (!replace_file(to + "/" + name, read_whole(from + "/" + name), why)) return false;
  return true;
}

// The child: in the deck's folder, its output on the pipe, in a process
// group of its own so that a stop reaches everything it starts.
[[noreturn]] void exec_ccx(const std::string& program, const std::string& dir, int out) {
  setpgid(0, 0);
  if (chdir(dir.c_str()) != 0) _exit(126);
  dup2(out, 1);
  dup2(out, 2);
  close(out);
  const int null = open("/dev/null", O_RDONLY);
  if (null >= 0) dup2(null, 0);
  char* const argv[] = {const_cast<char*>("ccx"), const_cast<char*>("-i"),
                        const_cast<char*>("job"), nullptr};
  execv(program.c_str(), argv);
  _exit(127);
}

bool progress_line(const std::string& l) {
  for (const char* key : {"STEP", "Factoring", "Solving", "increment", "Job finished"})
    if (l.find(key) != std::string::npos) return true;
  return false;
}

// Reads the child's output until it closes, the time passes or a signal
// asks to stop; returns how it ended: 0 finished, 1 time out, 2 interrupted.
int collect(int fd, pid_t pid, const CcxRun& run, std::string& output, double& seconds) {
  const auto start = std::chrono::steady_clock::now();
  size_t echoed = 0;
  char buf[8192];
  for (;;) {
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (interrupted || seconds > run.time_limit) {
      kill(-pid, SIGKILL);
      return interrupted ? 2 : 1;
    }
    pollfd p{fd, POLLIN, 0};
    const int r = poll(&p, 1, 200);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) continue;
    const ssize_t got = read(fd, buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return 0;
    if (output.size() < (16u << 20)) output.append(buf, static_cast<size_t>(got));
    for (size_t nl; (nl = output.find('\n', echoed)) != std::string::npos; echoed = nl + 1) {
      const std::string line = output.substr(echoed, nl - echoed);
      if (run.progress && seconds > 1.0 && progress_line(line))
        std::printf("  CalculiX:%s\n", line.c_str()), std::fflush(stdout);
    }
  }
}

// How the run ended, in words; true when it succeeded.
bool verdict(const CcxRun& run, int ended, int status, const std::string& output,
             std::string& message) {
  if (ended == 2) {
    message = "interrupted: CalculiX was stopped";
  } else if (ended == 1) {
    char b[80];
    std::snprintf(b, sizeof b, "CalculiX did not finish within %g s and was stopped", run.time_limit);
    message = b;
  } else if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
    message = "cannot run " + run.program;
  } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
             output.find("*ERROR") != std::string::npos) {
    message = "CalculiX failed";
    if (WIFSIGNALED(status)) message += " (ended by signal " + std::to_string(WTERMSIG(status)) + ")";
    else if (WEXITSTATUS(status) != 0) message += " (status " + std::to_string(WEXITSTATUS(status)) + ")";
    message += ":\n" + ccx_error_lines(output);
    while (!message.empty() && message.back() == '\n') message.pop_back();
  } else {
    return true;
  }
  return false;
}

}  // namespace

bool find_ccx(std::string& program, std::string& error) {
  const char* named = std::getenv("VORTAN_CCX");
  if (named && *named) {
    program = named;
    if (runnable(program)) return true;
    error = "CalculiX is not found: VORTAN_CCX names " + program +
            ", which is no program (install the Debian package calculix-ccx)";
    return false;
  }
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    program = (dir.empty() ? "." : dir) + "/ccx";
    if (runnable(program)) return true;
  }
  error = "CalculiX (ccx) is not installed: install the Debian package calculix-ccx";
  return false;
}

std::string ccx_error_lines(const std::string& output) {
  std::vector<std::string> lines;
  std::stringstream in(output);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  std::string said;
  int taken = 0;
  for (size_t i = 0; i < lines.size() && taken < 24; ++i) {
    if (lines[i].find("*ERROR") == std::string::npos) continue;
    for (; i < lines.size() && lines[i].find_first_not_of(" \t\r") != std::string::npos; ++i, ++taken)
      said += "  " + lines[i] + "\n";
  }
  if (said.empty())
    for (size_t i = lines.size() > 8 ? lines.size() - 8 : 0; i < lines.size(); ++i)
      if (lines[i].find_first_not_of(" \t\r") != std::string::npos) said += "  " + lines[i] + "\n";
  return said;
}

CcxOutcome run_ccx(const CcxRun& run, const std::string& deck) {
  CcxOutcome o;
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/vortan-solve-XXXXXX";
  if (!mkdtemp(dir.data())) {
    o.message = "cannot make a temporary folder for CalculiX: " + std::string(std::strerror(errno));
    return o;
  }
  {
    std::ofstream inp(dir + "/job.inp", std::ios::binary);
    inp << deck;
    inp.close();
    if (!inp) {
      o.message = "cannot write CalculiX's deck in " + dir;
      remove_folder(dir);
      return o;
    }
  }
  int fds[2];
  if (pipe(fds) != 0) {
    o.message = "cannot start CalculiX: " + std::string(std::strerror(errno));
    remove_folder(dir);
    return o;
  }
  struct sigaction sa {}, old_int {}, old_term {};
  sa.sa_handler = on_signal;
  sigaction(SIGINT, &sa, &old_int);
  sigaction(SIGTERM, &sa, &old_term);
  const pid_t pid = fork();
  const int fork_error = errno;
  if (pid == 0) {
    close(fds[0]);
    exec_ccx(run.program, dir, fds[1]);
  }
  if (pid > 0) setpgid(pid, pid);  // as the child does, so a stop finds the group at once
  close(fds[1]);
  std::string output;
  int ended = pid < 0 ? 0 : collect(fds[0], pid, run, output, o.seconds);
  close(fds[0]);
  int status = 0;
  if (pid > 0)
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  sigaction(SIGINT, &old_int, nullptr);
  sigaction(SIGTERM, &old_term, nullptr);
  if (pid < 0) o.message = "cannot start CalculiX: " + std::string(std::strerror(fork_error));
  else o.ok = verdict(run, ended, status, output, o.message);
  if (o.ok) o.results = read_whole(dir + "/job.dat");
  std::string why;
  if (!run.keep_dir.empty() && !keep_deck(dir, run.keep_dir, why)) {
    if (o.ok) o.message = why;  // said, and the run counts as failed: the user asked for the deck
    o.ok = false;
  }
  remove_folder(dir);
  if (interrupted) {
    const int sig = interrupted;
    std::fprintf(stderr, "vortan-solve: interrupted: CalculiX stopped, its folder removed, nothing written\n");
    signal(sig, SIG_DFL);
    raise(sig);  // ends as the signal says, the folder removed
  }
  return o;
}

}  // namespace vortan
