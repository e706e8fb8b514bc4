#include "file_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
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

// The temporary files being written at this moment (an export holds one
// for each of its files until all are complete). When the program is
// interrupted (Ctrl-C in its terminal, a kill) they are removed, so no
// half-written file stays hidden beside the user's files; the files they
// were to replace are untouched in any case. The handler only reads the
// table: a slot's name is made before the slot is set, and the slot is
// cleared before its name is freed.
constexpr int TEMP_SLOTS = 1024;
char* volatile g_temp_path[TEMP_SLOTS];
bool g_handlers_set = false;

extern "C" void remove_temps_and_end(int sig) {
  for (int i = 0; i < TEMP_SLOTS; ++i)
    if (char* p = g_temp_path[i]) ::unlink(p);
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

// A free slot, or -1 when as many files are being written as the table holds.
int free_slot() {
  for (int i = 0; i < TEMP_SLOTS; ++i)
    if (!g_temp_path[i]) return i;
  return -1;
}

void hold_temp(int slot, const std::string& temp) {
  set_handlers();
  g_temp_path[slot] = ::strdup(temp.c_str());
}

void release_temp(const std::string& temp) {
  for (int i = 0; i < TEMP_SLOTS; ++i) {
    char* p = g_temp_path[i];
    if (p && temp == p) {
      g_temp_path[i] = nullptr;
      std::free(p);
    }
  }
}

// Temporary names: ".vortan-PID-NAME.XXXXXX" beside the target NAME, with
// the target's extension after it when the writer needs one (Gmsh chooses
// its format by it). The pid and the name let a later write of the same
// file know a temporary that a killed run left behind.
constexpr const char* TEMP_PREFIX = ".vortan-";
constexpr size_t NAME_KEPT = 160;  // of the target's name, so the whole stays in NAME_MAX

std::string name_of(const std::string& p) { return p.substr(p.find_last_of('/') + 1); }

std::string extension_of(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0 || name.size() - dot > 16) return "";
  return name.substr(dot);
}

std::string temp_stem(long pid, const std::string& target) {
  return TEMP_PREFIX + std::to_string(pid) + "-" + name_of(target).substr(0, NAME_KEPT) + ".";
}

// True for a temporary of `target` whose run is gone: its pid names no
// process. A live run's temporaries, and names of any other form, are left.
bool stale_temp_of(const std::string& entry, const std::string& target) {
  const size_t plen = std::strlen(TEMP_PREFIX);
  if (entry.compare(0, plen, TEMP_PREFIX) != 0) return false;
  size_t i = plen;
  long pid = 0;
  while (i < entry.size() && i < plen + 10 && std::isdigit(static_cast<unsigned char>(entry[i])))
    pid = pid * 10 + (entry[i++] - '0');
  if (i == plen || pid <= 0 || pid == ::getpid()) return false;
  const std::string stem = temp_stem(pid, target);
  if (entry.compare(0, stem.size(), stem) != 0) return false;
  const size_t tail = entry.size() - stem.size();
  const std::string ext = extension_of(name_of(target));
  if (tail != 6 && !(tail == 6 + ext.size() && entry.compare(stem.size() + 6, ext.size(), ext) == 0))
    return false;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void remove_stale_temps(const std::string& target) {
  const std::string folder = folder_of(target);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* d = ::readdir(dir)) {
    const std::string entry = d->d_name;
    if (!stale_temp_of(entry, target)) continue;
    struct stat st;
    const std::string path = folder + "/" + entry;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
  ::closedir(dir);
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

bool begin_replace(ReplacingFile& f, const std::string& path, bool keep_extension) {
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
  const int slot = free_slot();
  if (slot < 0) {
    f.failed = "too many files are being written at once";
    return false;
  }
  remove_stale_temps(f.target);
  const std::string ext = keep_extension ? extension_of(name_of(f.target)) : "";
  std::string name = folder_of(f.target) + "/" + temp_stem(::getpid(), f.target) + "XXXXXX" + ext;
  const int fd = ::mkstemps(name.data(), static_cast<int>(ext.size()));
  if (fd < 0) {
    fail(f);
    return false;
  }
  f.temp = name;
  hold_temp(slot, f.temp);
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

bool finish_replace(ReplacingFile& f) {
  if (!f.unit) return false;
  errno = 0;
  if (!f.error && std::fflush(f.unit) != 0) fail(f);
  if (!f.error && ::fsync(::fileno(f.unit)) != 0) fail(f);
  if (std::fclose(f.unit) != 0) fail(f);
  f.unit = nullptr;
  if (f.error) {
    ::unlink(f.temp.c_str());
    release_temp(f.temp);
    f.temp.clear();
    return false;
  }
  return true;
}

bool place_replace(ReplacingFile& f) {
  if (f.unit || f.temp.empty() || f.error) return false;
  errno = 0;
  if (std::rename(f.temp.c_str(), f.target.c_str()) != 0) {
    fail(f);
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

bool commit_replace(ReplacingFile& f) { return finish_replace(f) && place_replace(f); }

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
