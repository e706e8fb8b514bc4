#include "line_reader.h"

namespace vortan {

LineRead read_line_bounded(std::istream& in, std::string& line, std::size_t bound,
                           std::size_t* consumed) {
  line.clear();
  if (consumed) *consumed = 0;
  std::istream::sentry ok(in, true);  // keeps blanks: the fields are fixed columns
  if (!ok) return LineRead::End;
  std::streambuf* buf = in.rdbuf();
  bool any = false;
  for (;;) {
    const int c = buf->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(any ? std::ios::eofbit : std::ios::eofbit | std::ios::failbit);
      break;
    }
    any = true;
    if (consumed) ++*consumed;
    if (c == '\n') break;
    // One character of room for the carriage return that is dropped below.
    if (line.size() > bound) {
      in.setstate(std::ios::failbit);
      line.clear();
      return LineRead::TooLong;
    }
    line.push_back(static_cast<char>(c));
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > bound) {
    in.setstate(std::ios::failbit);
    line.clear();
    return LineRead::TooLong;
  }
  return any ? LineRead::Ok : LineRead::End;
}

}  // namespace vortan
