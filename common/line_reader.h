// The one reader of text lines for every file the programs read: data files,
// the font file and session scripts. A line longer than its bound is refused,
// so a file without line ends (a device, a binary file) cannot make a reader
// grow without end.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace vortan {

// The longest line any of the programs' files may hold.
constexpr std::size_t MLINE = 1024;

enum class LineRead { Ok, End, TooLong };

// Reads one line into `line`, without its line end; a trailing carriage
// return (a DOS-style file) is dropped. End when the file is exhausted (or
// cannot be read) before a character; TooLong when the line passes `bound`
// characters (the stream is then failed, and the reader refuses the file).
// `consumed`, when given, is the number of characters taken from the
// stream (line end included), for a reader that steps back over the line.
LineRead read_line_bounded(std::istream& in, std::string& line, std::size_t bound = MLINE,
                           std::size_t* consumed = nullptr);

// The same lines taken from the stream in blocks, for a reader of many
// lines in a row. The stream runs ahead of the lines given; finish() (or
// the end of the source) puts it back at the first character not given as
// a line, in the state the line reader above would have left it, so that
// any reader goes on from there. The stream must be able to seek.
class LineSource {
 public:
  explicit LineSource(std::istream& in, std::size_t bound = MLINE);
  ~LineSource() { finish(); }
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;
  // The next line, held until the next call; as read_line_bounded.
  LineRead next(std::string_view& line);
  // Gives the last line back: the next call returns it again.
  void put_back() { begin_ -= last_; }
  void finish();

 private:
  bool fill();
  std::istream& in_;
  std::size_t bound_;
  std::vector<char> buf_;
  std::size_t begin_ = 0, end_ = 0, last_ = 0;
  bool at_end_ = false, finished_ = false;
  LineRead state_ = LineRead::Ok;
};

// read_line_bounded as a plain condition: true only for a whole line.
inline bool next_line(std::istream& in, std::string& line, std::size_t bound = MLINE) {
  return read_line_bounded(in, line, bound) == LineRead::Ok;
}

}  // namespace vortan
