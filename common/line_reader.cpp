#include "line_reader.h"

#include <vector>

namespace vortan {

LineRead read_line_view(std::istream& in, std::string_view& line, std::size_t bound,
                        std::size_t* consumed) {
  line = {};
  if (consumed) *consumed = 0;
  // The stream's own line search takes the line in one piece from its
  // buffer; it stops after bound + 1 characters (room for a carriage
  // return), so an endless line is never held. The buffer is kept between
  // calls: a file of many lines allocates nothing per line.
  thread_local std::vector<char> text;
  if (text.size() < bound + 3) text.resize(bound + 3);
  in.getline(text.data(), static_cast<std::streamsize>(bound + 2));
  const std::size_t taken = static_cast<std::size_t>(in.gcount());
  if (consumed) *consumed = taken;
  if (taken == 0) {
    in.setstate(std::ios::failbit);
    return LineRead::End;
  }
  if (in.fail()) return LineRead::TooLong;  // no line end within bound + 1 characters
  std::size_t length = in.eof() ? taken : taken - 1;  // without the line end
  if (length > 0 && text[length - 1] == '\r') --length;
  if (length > bound) {
    in.setstate(std::ios::failbit);
    return LineRead::TooLong;
  }
  line = std::string_view(text.data(), length);
  return LineRead::Ok;
}

LineRead read_line_bounded(std::istream& in, std::string& line, std::size_t bound,
                           std::size_t* consumed) {
  std::string_view view;
  const LineRead got = read_line_view(in, view, bound, consumed);
  line.assign(view);
  return got;
}

}  // namespace vortan
