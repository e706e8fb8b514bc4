// Writing a user's file so that the last good version is never lost: the
// new contents go to a temporary file beside the target, are flushed and
// synced, and only then renamed over it. A symbolic link is written through
// to its target, and the target keeps its permissions.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vortan {

struct ReplacingFile {
  std::string path;    // the name the user gave
  std::string target;  // the file that is replaced (links followed)
  std::string temp;    // the file being written, in the target's folder
  std::FILE* unit = nullptr;
  int error = 0;       // errno of the first failure; 0 while all is well
  std::string failed;  // what failed, when error is 0 but the target is refused
};

// Starts writing `path`. False (with f.error or f.failed set) when the
// target exists but is not a regular file, is a file this run read, or no
// temporary file can be made. With `keep_extension` the temporary's name
// ends with the target's extension, for a library that writes by name
// (f.temp) and chooses the format by the extension. Temporaries of the
// same target left by a run that is gone (killed) are removed first.
bool begin_replace(ReplacingFile& f, const std::string& path, bool keep_extension = false);
// Appends text; the first failure is kept and later writes are skipped.
bool write_replace(ReplacingFile& f, std::string_view text);
// Flushes, syncs and renames the temporary file over the target. False
// (the temporary file removed, the target as it was) when anything failed.
bool commit_replace(ReplacingFile& f);
// The two halves of commit_replace, for files put in place together only
// when all are complete: finish_replace flushes, syncs and closes the
// temporary (removed on failure); place_replace renames it over the target.
bool finish_replace(ReplacingFile& f);
bool place_replace(ReplacingFile& f);
// Gives up: the temporary file is removed, the target stays as it was.
void abandon_replace(ReplacingFile& f);
// "cannot write PATH: REASON", the system's words for the first failure.
std::string replace_failure(const ReplacingFile& f);

// The whole file at once. False with `why` set to replace_failure's text.
bool replace_file(const std::string& path, std::string_view contents, std::string& why);

// One line, in the text window and on standard error, saying what a file
// holds when the program ends before the file was complete.
void ending_note(const std::string& text);

// True when both names are one file on disk (same device and inode).
bool same_file_on_disk(const std::string& a, const std::string& b);

// The files this run has read, by device and inode (links followed). A
// write whose target is one of them is refused by begin_replace: an output
// never replaces an input.
void note_input(const std::string& path);
bool is_input(const std::string& path);

}  // namespace vortan
