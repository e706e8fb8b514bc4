#include "line_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vortan {

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

LineSource::LineSource(std::istream& in, std::size_t bound)
    : in_(in), bound_(bound), buf_(std::max<std::size_t>(65536, 2 * bound + 4)) {}

bool LineSource::fill() {
  // What is left of the block goes to its start; the stream fills the rest.
  std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  last_ = 0;
  std::streambuf* sb = in_.rdbuf();
  const std::streamsize got =
      sb ? sb->sgetn(buf_.data() + end_, static_cast<std::streamsize>(buf_.size() - end_)) : 0;
  if (got <= 0) at_end_ = true;
  end_ += got > 0 ? static_cast<std::size_t>(got) : 0;
  return got > 0;
}

LineRead LineSource::next(std::string_view& line) {
  line = {};
  if (state_ != LineRead::Ok) return state_;
  std::size_t length = 0, taken = 0;
  for (;;) {
    const char* start = buf_.data() + begin_;
    const auto* nl = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    if (nl && static_cast<std::size_t>(nl - start) <= bound_ + 1) {
      length = nl - start;
      taken = length + 1;
      break;
    }
    // As the line reader: no line end within bound + 1 characters.
    if (end_ - begin_ > bound_ + 1) return state_ = LineRead::TooLong;
    if (at_end_ || !fill()) {
      if (end_ == begin_) return state_ = LineRead::End;
      if (end_ - begin_ > bound_ + 1) return state_ = LineRead::TooLong;
      length = taken = end_ - begin_;  // a last line without its line end
      break;
    }
  }
  const char* start = buf_.data() + begin_;
  last_ = taken;
  begin_ += taken;
  if (length > 0 && start[length - 1] == '\r') --length;
  if (length > bound_) return state_ = LineRead::TooLong;
  line = std::string_view(start, length);
  return LineRead::Ok;
}

void LineSource::finish() {
  if (finished_) return;
  finished_ = true;
  in_.clear();
  const std::size_t unread = end_ - begin_;
  if (unread > 0) in_.seekg(-static_cast<std::streamoff>(unread), std::ios::cur);
  if (state_ == LineRead::End) in_.setstate(std::ios::eofbit | std::ios::failbit);
  if (state_ == LineRead::TooLong) in_.setstate(std::ios::failbit);
}

}  // namespace vortan
