// The one reader of text lines for every file the programs read: data files,
// the font file and session scripts. A session script's line longer than its
// bound is refused. A data file's line gives its first MLINE characters (every
// field lies within them) and the rest is passed over without being kept; a
// line past MLINE_TEXT, or one holding a NUL byte, is refused: the file is
// not text. So a file without line ends (a device, a binary file) cannot make
// a reader grow without end.
#pragma once

#include <cstddef>
#include <fstream>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vortan {

// The longest line kept (and the longest line of a session script).
constexpr std::size_t MLINE = 1024;
// The longest line of a data file read at all (its rest is passed over).
constexpr std::size_t MLINE_TEXT = std::size_t{1} << 20;

enum class LineRead { Ok, End, TooLong, NotText };

// How a reader takes its lines: the first `keep` characters of a line are
// given; a line past `longest` is TooLong; with `text`, a line holding a NUL
// byte is NotText.
struct LineRule {
  std::size_t keep;
  std::size_t longest;
  bool text;
};
inline constexpr LineRule DATA_LINES{MLINE, MLINE_TEXT, true};

// Opens a file the run reads, and notes it as an input (an output never
// replaces it). False, with nothing opened, for a folder, a device or a pipe
// (a pipe would hold the program until written to), or a file that cannot
// be opened.
bool open_input(std::ifstream& in, const std::string& path);
// The number of the line that starts at `offset` in the stream: its line
// ends before that point are counted. The stream's position and state are
// kept.
long line_number_at(std::istream& in, std::streamoff offset);
// "FILE, line N: WHAT", the line naming where a file is not what it should
// be.
std::string line_remark(const std::string& file, long line, const std::string& what);
// What a line was found to be when it is not a line of text.
std::string not_text_remark(LineRead got);

// Reads one line into `line`, without its line end; a trailing carriage
// return (a DOS-style file) is dropped. End when the file is exhausted (or
// cannot be read) before a character; TooLong when the line passes `bound`
// characters (the stream is then failed, and the reader refuses the file).
// `consumed`, when given, is the number of characters taken from the
// stream (line end included), for a reader that steps back over the line.
LineRead read_line_bounded(std::istream& in, std::string& line, std::size_t bound = MLINE,
                           std::size_t* consumed = nullptr);
// A line of a data file, by DATA_LINES; the stream is left after the line.
// A read error ends the file as its end does.
LineRead read_data_line(std::istream& in, std::string& line, std::size_t* consumed = nullptr);

// The same lines taken from the stream in blocks, for a reader of many
// lines in a row. The stream runs ahead of the lines given; finish() (or
// the end of the source) puts it back at the first character not given as
// a line, in the state the line reader above would have left it, so that
// any reader goes on from there. The stream must be able to seek.
class LineSource {
 public:
  // A line given may be read from BEFORE characters before its start to
  // AFTER characters after it (what lies outside the line is no part of
  // it), so that a record's fields can be taken in whole blocks.
  static constexpr std::size_t BEFORE = 16, AFTER = 128;
  explicit LineSource(std::istream& in, std::size_t bound = MLINE)
      : LineSource(in, LineRule{bound, bound, false}) {}
  LineSource(std::istream& in, LineRule rule);
  ~LineSource() { finish(); }
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;
  // The next line, held until the next call; as read_line_bounded.
  LineRead next(std::string_view& line) {
    // A line that ends within the block, is short enough and holds no NUL
    // byte is given at once; every other case is taken the careful way.
    if (state_ == LineRead::Ok) {
      const char* const start = buf_ + begin_;
      const std::size_t found = line_end(start) - start, length = found - (found > 0 && start[found - 1] == '\r');
      // (A length within the bound holds the found end within it too, the
      // end being the length and at most one carriage return.)
      if (begin_ + found < end_ && length <= rule_.keep && nul_ >= begin_ + length) {
        long_taken_ = 0;
        last_ = found + 1;
        begin_ += last_;
        ++lines_;
        line = std::string_view(start, length);
        return LineRead::Ok;
      }
    }
    return next_carefully(line);
  }
  // Gives the last line back: the next call returns it again.
  void put_back();
  void finish();
  // The lines given so far (less one given back).
  long lines() const { return lines_; }

 private:
  // The first line end from `start` on; the block always ends in one (a
  // '\n' kept just after its last character), so the search stops there.
  static const char* line_end(const char* start) {
#if defined(__SSE2__)
    const __m128i nl = _mm_set1_epi8('\n');
    for (const char* p = start;; p += 16) {
      const unsigned hit = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), nl)));
      if (hit) return p + __builtin_ctz(hit);
    }
#else
    while (*start != '\n') ++start;
    return start;
#endif
  }
  LineRead next_carefully(std::string_view& line);
  bool fill();
  LineRead long_line(std::string_view& line);
  std::istream& in_;
  LineRule rule_;
  // The block: BEFORE characters of margin, the block's room, and AFTER
  // characters more; buf_ is the start of the room.
  std::vector<char> store_;
  char* buf_ = nullptr;
  std::size_t room_ = 0;
  std::size_t begin_ = 0, end_ = 0, last_ = 0;
  // Where the block's first NUL byte lies (text lines only), if it has one.
  static constexpr std::size_t NO_NUL = static_cast<std::size_t>(-1);
  std::size_t nul_ = NO_NUL;
  std::string long_;         // the kept part of a line longer than the block, with margins
  std::size_t long_taken_ = 0;  // its length in the stream, while it is the last line
  long lines_ = 0;
  bool at_end_ = false, finished_ = false;
  LineRead state_ = LineRead::Ok;
};

// A data file's line as a plain condition: true only for a line of text.
inline bool next_line(std::istream& in, std::string& line) {
  return read_data_line(in, line) == LineRead::Ok;
}

}  // namespace vortan
