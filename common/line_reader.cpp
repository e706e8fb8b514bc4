#include "line_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "file_replace.h"

namespace vortan {

namespace {

// One line by a rule, character by character from the stream's buffer: only
// the kept part is held, however long the line.
LineRead read_by_rule(std::istream& in, std::string& line, const LineRule& rule,
                      std::size_t* consumed) {
  line.clear();
  if (consumed) *consumed = 0;
  std::streambuf* sb = in.rdbuf();
  if (!in.good() || !sb) {
    in.setstate(std::ios::failbit);
    return LineRead::End;
  }
  std::size_t taken = 0, length = 0;
  bool ended = false, nul = false, cr = false;
  try {
    for (;;) {
      const int c = sb->sbumpc();
      if (c == std::char_traits<char>::eof()) break;
      ++taken;
      if (c == '\n') {
        ended = true;
        break;
      }
      // A NUL byte: the file is not text, and no more of it is read.
      if (c == 0 && rule.text) {
        nul = true;
        break;
      }
      cr = c == '\r';
      if (line.size() <= rule.keep) line += static_cast<char>(c);
      // Far enough to know the line is too long, even without its '\r'.
      if (++length > rule.longest + 1) break;
    }
  } catch (...) {
    // A file that cannot be read (a folder, a failing disk) ends here.
    ended = false;
  }
  if (consumed) *consumed = taken;
  if (taken == 0) {
    in.setstate(std::ios::eofbit | std::ios::failbit);
    return LineRead::End;
  }
  if (cr) --length;  // a DOS-style line end
  if (length > rule.longest && !nul) {
    line.clear();
    in.setstate(std::ios::failbit);
    return LineRead::TooLong;
  }
  if (rule.text && nul) {
    line.clear();
    in.setstate(std::ios::failbit);
    return LineRead::NotText;
  }
  line.resize(std::min({line.size(), length, rule.keep}));
  if (!ended) in.setstate(std::ios::eofbit);
  return LineRead::Ok;
}

}  // namespace

bool open_input(std::ifstream& in, const std::string& path) {
  in.close();
  in.clear();
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  in.open(path);
  if (!in) {
    in.clear();
    return false;
  }
  note_input(path);
  return true;
}

long line_number_at(std::istream& in, std::streamoff offset) {
  const std::ios::iostate state = in.rdstate();
  in.clear();
  const std::streampos pos = in.tellg();
  long n = 1;
  if (pos != std::streampos(-1) && in.seekg(0)) {
    std::vector<char> block(65536);
    while (offset > 0) {
      in.read(block.data(), std::min<std::streamoff>(offset, block.size()));
      const std::streamsize got = in.gcount();
      if (got <= 0) break;
      n += std::count(block.data(), block.data() + got, '\n');
      offset -= got;
    }
    in.clear();
    in.seekg(pos);
  }
  in.setstate(state);
  return n;
}

std::string line_remark(const std::string& file, long line, const std::string& what) {
  return (file.empty() ? std::string("the data") : file) + ", line " + std::to_string(line) +
         ": " + what;
}

std::string not_text_remark(LineRead got) {
  switch (got) {
    case LineRead::TooLong:
      return "longer than " + std::to_string(MLINE_TEXT) + " characters, not a line of text";
    case LineRead::NotText: return "a NUL byte, not a line of text";
    default: return "the file ends here";
  }
}

LineRead read_data_line(std::istream& in, std::string& line, std::size_t* consumed) {
  return read_by_rule(in, line, DATA_LINES, consumed);
}

LineRead read_line_bounded(std::istream& in, std::string& line, std::size_t bound,
                           std::size_t* consumed) {
  if (consumed) *consumed = 0;
  // The stream's own line search takes the line in one piece from its
  // buffer into the caller's string; it stops after bound + 1 characters
  // (room for a carriage return), so an endless line is never held. A
  // string kept by the caller between calls allocates nothing per line.
  line.resize(bound + 3);
  in.getline(line.data(), static_cast<std::streamsize>(bound + 2));
  const std::size_t taken = static_cast<std::size_t>(in.gcount());
  if (consumed) *consumed = taken;
  if (taken == 0) {
    line.clear();
    in.setstate(std::ios::failbit);
    return LineRead::End;
  }
  if (in.fail()) {  // no line end within bound + 1 characters
    line.clear();
    return LineRead::TooLong;
  }
  std::size_t length = in.eof() ? taken : taken - 1;  // without the line end
  if (length > 0 && line[length - 1] == '\r') --length;
  if (length > bound) {
    line.clear();
    in.setstate(std::ios::failbit);
    return LineRead::TooLong;
  }
  line.resize(length);
  return LineRead::Ok;
}

LineSource::LineSource(std::istream& in, LineRule rule)
    : in_(in), rule_(rule), room_(std::max<std::size_t>(65536, 2 * rule.keep + 4)) {
  store_.assign(BEFORE + room_ + AFTER, ' ');
  buf_ = store_.data() + BEFORE;
  buf_[0] = '\n';  // the block's end
}

bool LineSource::fill() {
  // What is left of the block goes to its start; the stream fills the rest.
  std::memmove(buf_, buf_ + begin_, end_ - begin_);
  const std::size_t begin_before = begin_;
  end_ -= begin_;
  begin_ = 0;
  last_ = 0;
  std::streambuf* sb = in_.rdbuf();
  std::streamsize got = 0;
  try {
    if (sb) got = sb->sgetn(buf_ + end_, static_cast<std::streamsize>(room_ - end_));
  } catch (...) {
    got = 0;  // a file that cannot be read (a folder, a failing disk) ends here
  }
  if (got <= 0) at_end_ = true;
  // The first NUL byte of the block is found once, not in every line.
  if (nul_ != NO_NUL) nul_ -= begin_before;
  if (got > 0 && nul_ == NO_NUL && rule_.text) {
    const void* nul = std::memchr(buf_ + end_, 0, static_cast<std::size_t>(got));
    if (nul) nul_ = static_cast<const char*>(nul) - buf_;
  }
  end_ += got > 0 ? static_cast<std::size_t>(got) : 0;
  buf_[end_] = '\n';
  return got > 0;
}

LineRead LineSource::next_carefully(std::string_view& line) {
  line = {};
  if (state_ != LineRead::Ok) return state_;
  long_taken_ = 0;
  const std::size_t keep = rule_.keep;
  std::size_t length = 0, taken = 0;
  for (;;) {
    const char* start = buf_ + begin_;
    const auto* nl = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    if (nl && static_cast<std::size_t>(nl - start) <= keep + 1) {
      length = nl - start;
      taken = length + 1;
      break;
    }
    // No line end within keep + 1 characters: as the line reader.
    if (end_ - begin_ > keep + 1) return long_line(line);
    if (at_end_ || !fill()) {
      if (end_ == begin_) return state_ = LineRead::End;
      if (end_ - begin_ > keep + 1) return long_line(line);
      length = taken = end_ - begin_;  // a last line without its line end
      break;
    }
  }
  const char* start = buf_ + begin_;
  if (length > 0 && start[length - 1] == '\r') --length;
  if (nul_ < begin_ + length) return state_ = LineRead::NotText;
  if (length > keep) {
    if (rule_.longest <= keep) return state_ = LineRead::TooLong;
    length = keep;
  }
  last_ = taken;
  begin_ += taken;
  ++lines_;
  line = std::string_view(start, length);
  return LineRead::Ok;
}

// A line longer than the block: the stream goes back to its start and the
// line reader takes it, keeping its first characters only.
LineRead LineSource::long_line(std::string_view& line) {
  if (rule_.longest <= rule_.keep) return state_ = LineRead::TooLong;
  in_.clear();
  in_.seekg(-static_cast<std::streamoff>(end_ - begin_), std::ios::cur);
  begin_ = end_ = last_ = 0;
  buf_[0] = '\n';
  nul_ = NO_NUL;
  at_end_ = false;
  std::size_t taken = 0;
  std::string kept;
  const LineRead got = read_by_rule(in_, kept, rule_, &taken);
  if (got != LineRead::Ok) return state_ = got;
  in_.clear();
  long_taken_ = taken;
  ++lines_;
  // Held with the margins of a line of the block.
  long_.assign(BEFORE, ' ');
  long_ += kept;
  long_.append(AFTER, ' ');
  line = std::string_view(long_).substr(BEFORE, kept.size());
  return LineRead::Ok;
}

void LineSource::put_back() {
  --lines_;
  if (long_taken_ == 0) {
    begin_ -= last_;
    return;
  }
  // The long line is read again from the stream.
  in_.clear();
  in_.seekg(-static_cast<std::streamoff>(long_taken_), std::ios::cur);
  long_taken_ = 0;
}

void LineSource::finish() {
  if (finished_) return;
  finished_ = true;
  in_.clear();
  const std::size_t unread = end_ - begin_;
  if (unread > 0) in_.seekg(-static_cast<std::streamoff>(unread), std::ios::cur);
  if (state_ == LineRead::End) in_.setstate(std::ios::eofbit | std::ios::failbit);
  if (state_ == LineRead::TooLong || state_ == LineRead::NotText) in_.setstate(std::ios::failbit);
}

}  // namespace vortan
