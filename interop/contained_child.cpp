#include "contained_child.h"

#include <fcntl.h>
#include <linux/sched.h>
#include <seccomp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vortan {

namespace {

// Threads are allowed (the library may start them); a clone that makes a
// new process, and every way to start a program, ends the child with
// SIGSYS. clone3 hides its flags from the filter, so it fails as unknown
// and the C library falls back to clone.
bool deny_processes(scmp_filter_ctx f) {
  const int kill = SCMP_ACT_KILL_PROCESS;
  bool ok = seccomp_rule_add(f, kill, SCMP_SYS(execve), 0) == 0 &&
            seccomp_rule_add(f, kill, SCMP_SYS(execveat), 0) == 0 &&
            seccomp_rule_add(f, kill, SCMP_SYS(fork), 0) == 0 &&
            seccomp_rule_add(f, kill, SCMP_SYS(vfork), 0) == 0 &&
            seccomp_rule_add(f, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0) == 0;
  return ok && seccomp_rule_add(f, kill, SCMP_SYS(clone), 1,
                                SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0)) == 0;
}

// The child reads files and nothing more: opening for writing, creating,
// removing and renaming fail as not permitted.
bool deny_file_changes(scmp_filter_ctx f) {
  const auto refuse = SCMP_ACT_ERRNO(EACCES);
  bool ok = true;
  // A rule fires when its condition holds, so "any writing bit set" is
  // one rule per bit.
  for (scmp_datum_t bit : {O_WRONLY, O_RDWR, O_CREAT, O_TRUNC}) {
    ok = ok &&
         seccomp_rule_add(f, refuse, SCMP_SYS(open), 1, SCMP_A1(SCMP_CMP_MASKED_EQ, bit, bit)) == 0;
    ok = ok && seccomp_rule_add(f, refuse, SCMP_SYS(openat), 1,
                                SCMP_A2(SCMP_CMP_MASKED_EQ, bit, bit)) == 0;
  }
  for (int call :
       {SCMP_SYS(creat), SCMP_SYS(unlink), SCMP_SYS(unlinkat), SCMP_SYS(rename), SCMP_SYS(renameat),
        SCMP_SYS(renameat2), SCMP_SYS(mkdir), SCMP_SYS(mkdirat), SCMP_SYS(rmdir), SCMP_SYS(link),
        SCMP_SYS(linkat), SCMP_SYS(symlink), SCMP_SYS(symlinkat), SCMP_SYS(truncate),
        SCMP_SYS(chmod), SCMP_SYS(fchmodat), SCMP_SYS(openat2)})
    ok = ok && seccomp_rule_add(f, refuse, call, 0) == 0;
  return ok;
}

bool shut_in() {
  scmp_filter_ctx f = seccomp_init(SCMP_ACT_ALLOW);
  if (!f) return false;
  const bool ok = deny_processes(f) && deny_file_changes(f) && seccomp_load(f) == 0;
  seccomp_release(f);
  return ok;
}

bool write_all(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

[[noreturn]] void child(int fd, const std::function<std::string()>& work, int cpu_seconds) {
  // _exit throughout: the parent's buffers and exit handlers are not the child's.
  // Nor its signal handlers (a fuzzer's or the safe writer's): a fault or an
  // interrupt simply ends the child.
  for (int sig :
       {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL, SIGINT, SIGTERM, SIGHUP, SIGXCPU, SIGALRM})
    ::signal(sig, SIG_DFL);
  rlimit cpu{};
  ::getrlimit(RLIMIT_CPU, &cpu);
  cpu.rlim_max = std::min<rlim_t>(cpu.rlim_max, static_cast<rlim_t>(cpu_seconds) + 1);
  cpu.rlim_cur = std::min<rlim_t>(cpu.rlim_max, static_cast<rlim_t>(cpu_seconds));
  if (::setrlimit(RLIMIT_CPU, &cpu) != 0 || !shut_in()) _exit(3);
  // Twice that on the clock: a child that waits (paging, a lock) ends too.
  ::alarm(static_cast<unsigned>(2 * cpu_seconds));
  std::string bytes;
  try {
    bytes = work();
  } catch (...) {
    _exit(4);
  }
  _exit(write_all(fd, bytes) ? 0 : 5);
}

std::string signal_words(int sig, int cpu_seconds) {
  if (sig == SIGXCPU || sig == SIGALRM)
    return "it used more than " + std::to_string(cpu_seconds) + " s of processor time or " +
           std::to_string(2 * cpu_seconds) +
           " s in all (a script that does not end?) and was stopped";
  if (sig == SIGSYS)
    return "it tried to start a program or process (a System command in a script?), "
           "which is never allowed";
  const char* name = strsignal(sig);
  return std::string("it stopped on signal ") + std::to_string(sig) + " (" +
         (name ? name : "unknown") + ")";
}

}  // namespace

ChildOutcome run_contained(const std::function<std::string()>& work, int cpu_seconds) {
  ChildOutcome out;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    out.failure = std::string("cannot make a pipe: ") + std::strerror(errno);
    return out;
  }
  const pid_t pid = ::fork();
  if (pid < 0) {
    out.failure = std::string("cannot start a child process: ") + std::strerror(errno);
    ::close(fds[0]);
    ::close(fds[1]);
    return out;
  }
  if (pid == 0) {
    ::close(fds[0]);
    child(fds[1], work, cpu_seconds);
  }
  ::close(fds[1]);
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    out.finished = true;
  } else {
    out.bytes.clear();
    if (WIFSIGNALED(status))
      out.failure = signal_words(WTERMSIG(status), cpu_seconds);
    else if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
      out.failure = "the child process could not be shut in (seccomp, processor time)";
    else
      out.failure = "it ended with status " + std::to_string(WEXITSTATUS(status));
  }
  return out;
}

}  // namespace vortan
