#include "file_replace.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/platform.h"

namespace vortan {

namespace {

void fail(ReplacingFile& f) {
  if (f.error == 0) f.error = errno != 0 ? errno : EIO;
}

// The folder of a path ("." when it has none).
std::string folder_of(const std::string& p) {
  const size_t slash = p.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : p.substr(0, slash);
}

// Resolves symbolic links, so the link stays and its target is replaced.
std::string resolve_target(const std::string& path) {
  std::error_code ec;
  auto t = std::filesystem::weakly_canonical(path, ec);
  return ec ? path : t.string();
}

// The temporary files being written at this moment. When the program is
// interrupted (Ctrl-C in its terminal, a kill) they are removed, so no
// half-written file stays hidden beside the user's files; the files they
// were to replace are untouched in any case. Plain buffers and flags: the
// handler may only do what is safe inside a signal.
constexpr int TEMP_SLOTS = 4;
constexpr size_t TEMP_PATH = 4096;
char g_temp_path[TEMP_SLOTS][TEMP_PATH];
volatile sig_atomic_t g_temp_held[TEMP_SLOTS];
bool g_handlers_set = false;

extern "C" void remove_temps_and_end(int sig) {
  for (int i = 0; i < TEMP_SLOTS; ++i)
    if (g_temp_held[i]) ::unlink(g_temp_path[i]);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

// Installed once, and only over the default action: a signal the caller
// chose to ignore (a program started with nohup) stays ignored.
void set_handlers() {
  if (g_handlers_set) return;
  g_handlers_set = true;
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
    struct sigaction now {};
    now.sa_handler = remove_temps_and_end;
    sigemptyset(&now.sa_mask);
    ::sigaction(sig, &now, nullptr);
  }
}

void hold_temp(const std::string& temp) {
  set_handlers();
  if (temp.size() >= TEMP_PATH) return;
  for (int i = 0; i < TEMP_SLOTS; ++i) {
    if (g_temp_held[i]) continue;
    std::memcpy(g_temp_path[i], temp.c_str(), temp.size() + 1);
    g_temp_held[i] = 1;
    return;
  }
}

void release_temp(const std::string& temp) {
  for (int i = 0; i < TEMP_SLOTS; ++i)
    if (g_temp_held[i] && temp == g_temp_path[i]) g_temp_held[i] = 0;
}

// Device and inode of every file read so far; a run reads a handful.
struct FileId {
  dev_t dev;
  ino_t ino;
};
std::vector<FileId> g_inputs;

}  // namespace

void note_input(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || is_input(path)) return;
  g_inputs.push_back({st.st_dev, st.st_ino});
}

bool is_input(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  for (const FileId& id : g_inputs)
    if (id.dev == st.st_dev && id.ino == st.st_ino) return true;
  return false;
}

bool begin_replace(ReplacingFile& f, const std::string& path) {
  f = ReplacingFile{};
  f.path = path;
  f.target = resolve_target(path);
  struct stat st;
  const bool exists = ::stat(f.target.c_str(), &st) == 0;
  // A device, folder or pipe of that name is never written: the rename
  // would replace it, and a device's folder is no place for a temporary file.
  if (exists && !S_ISREG(st.st_mode)) {
    f.failed = "it is not a regular file";
    return false;
  }
  if (exists && is_input(f.target)) {
    f.failed = "it is a file this run reads";
    return false;
  }
  std::string name = folder_of(f.target) + "/.vortan-XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    fail(f);
    return false;
  }
  f.temp = name;
  hold_temp(f.temp);
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
    // Kept where the system lets us; the contents matter more than the owner.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) errno = 0;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd, mode) != 0) fail(f);
  f.unit = ::fdopen(fd, "w");
  if (!f.unit) {
    fail(f);
    ::close(fd);
    abandon_replace(f);
    return false;
  }
  if (f.error == 0) return true;
  abandon_replace(f);
  return false;
}

bool write_replace(ReplacingFile& f, std::string_view text) {
  if (!f.unit || f.error) return false;
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), f.unit) != text.size()) fail(f);
  return f.error == 0;
}

bool commit_replace(ReplacingFile& f) {
  if (!f.unit) return false;
  errno = 0;
  if (!f.error && std::fflush(f.unit) != 0) fail(f);
  if (!f.error && ::fsync(::fileno(f.unit)) != 0) fail(f);
  if (std::fclose(f.unit) != 0) fail(f);
  f.unit = nullptr;
  if (!f.error && std::rename(f.temp.c_str(), f.target.c_str()) != 0) fail(f);
  if (f.error) {
    ::unlink(f.temp.c_str());
    release_temp(f.temp);
    f.temp.clear();
    return false;
  }
  // The rename itself is made durable with the folder.
  const int dir = ::open(folder_of(f.target).c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  release_temp(f.temp);
  f.temp.clear();
  return true;
}

void abandon_replace(ReplacingFile& f) {
  if (f.unit) std::fclose(f.unit);
  f.unit = nullptr;
  if (!f.temp.empty()) {
    ::unlink(f.temp.c_str());
    release_temp(f.temp);
  }
  f.temp.clear();
}

std::string replace_failure(const ReplacingFile& f) {
  const std::string why = f.error ? std::strerror(f.error) : f.failed;
  return "cannot write " + f.path + ": " + why;
}

bool replace_file(const std::string& path, std::string_view contents, std::string& why) {
  ReplacingFile f;
  bool ok = begin_replace(f, path) && write_replace(f, contents) && commit_replace(f);
  if (!ok) {
    why = replace_failure(f);
    abandon_replace(f);
  }
  return ok;
}

void ending_note(const std::string& text) {
  // The windows may be gone by now: standard error gets the line as well.
  if (plat().text_line_open()) plat().text_newline();
  plat().text_write(text);
  plat().text_newline();
  std::fprintf(stderr, "%s\n", text.c_str());
}

bool same_file_on_disk(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace vortan
