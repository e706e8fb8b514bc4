// The shared line reader and the readers that use it: a line end of either
// kind, a last line without one, and a file without line ends refused.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "dat_file.h"
#include "line_reader.h"
#include "platform/headless.h"
#include "test_support.h"

namespace vortan {
namespace {

TEST(LineReader, LineEndsAndBound) {
  std::istringstream in("ab\r\n\ncd");
  std::string l;
  EXPECT_EQ(read_line_bounded(in, l), LineRead::Ok);
  EXPECT_EQ(l, "ab");
  EXPECT_EQ(read_line_bounded(in, l), LineRead::Ok);
  EXPECT_EQ(l, "");
  EXPECT_EQ(read_line_bounded(in, l), LineRead::Ok);
  EXPECT_EQ(l, "cd");
  EXPECT_EQ(read_line_bounded(in, l), LineRead::End);

  std::istringstream exact(std::string(8, 'x') + "\r\n" + std::string(9, 'y'));
  EXPECT_EQ(read_line_bounded(exact, l, 8), LineRead::Ok);
  EXPECT_EQ(l.size(), 8u);
  EXPECT_EQ(read_line_bounded(exact, l, 8), LineRead::TooLong);
  EXPECT_TRUE(exact.fail());
}

// Lines taken in blocks are the lines the line reader gives, with the same
// verdicts; a line given back is read again, and when the source ends the
// stream goes on from the first line it did not give, in the same state.
TEST(LineReader, BlocksGiveTheSameLinesAndPutTheStreamBack) {
  std::mt19937 gen(5);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int i = gen() % 12; i > 0; --i) {
      text += std::string(gen() % 14, "ab \r"[gen() % 4]);
      if (gen() % 6) text += gen() % 5 ? "\n" : "\r\n";
    }
    const std::size_t bound = 4 + gen() % 8, stop = gen() % 8;
    std::istringstream a(text), b(text);
    std::string la, rest;
    std::string_view lb;
    std::size_t taken = 0;
    {
      LineSource source(b, bound);
      for (; taken < stop; ++taken) {
        const LineRead got = read_line_bounded(a, la, bound);
        ASSERT_EQ(source.next(lb), got) << text;
        ASSERT_EQ(la, lb) << text;
        if (got != LineRead::Ok) break;
      }
      if (taken == stop && taken > 0 && gen() % 2) {
        source.put_back();  // the last line is read again below
        a.clear();
        a.seekg(0);
        for (std::size_t i = 0; i + 1 < taken; ++i) read_line_bounded(a, la, bound);
      }
    }
    ASSERT_EQ(a.fail(), b.fail()) << text;
    if (a.fail()) continue;
    for (;;) {  // the rest by the line reader alone
      const LineRead got = read_line_bounded(a, la, bound);
      ASSERT_EQ(read_line_bounded(b, rest, bound), got) << text;
      ASSERT_EQ(la, rest) << text;
      if (got != LineRead::Ok) break;
    }
  }
}

// A device without line ends chosen as the input file: the reader stops at
// the bound with the format message instead of filling the memory.
TEST(LineReader, EndlessLineRefusedByEveryReader) {
  test::ScriptedSession s("");
  std::ifstream zero("/dev/zero", std::ios::binary);
  ASSERT_TRUE(zero);
  auto m = std::make_unique<MeshModel>();
  EXPECT_EQ(test::exit_of([&] { INPUT(zero, *m); }).status, 1);
  EXPECT_NE(s.transcript().find("Error - wrong format in data file"), std::string::npos);

  std::ifstream script("/dev/zero", std::ios::binary);
  ProgramExit e = test::exit_of([&] { parse_script(script, "z.script"); });
  EXPECT_EQ(e.status, 2);
  EXPECT_NE(e.message.find("z.script line 1: longer than"), std::string::npos);
}

}  // namespace
}  // namespace vortan

namespace vortan {
namespace {

using namespace std::string_literals;

// A data file's line gives its first columns, the rest passed over; a NUL
// byte or a line past MLINE_TEXT is refused. The line source gives the
// same lines, a long one given back as well.
TEST(LineReader, DataLinesKeepTheirFirstColumnsAndRefuseWhatIsNotText) {
  const std::string long_line = "head" + std::string(100000, 'x');
  const std::string text = long_line + "\r\nnext\n" + std::string(MLINE_TEXT, 'y') + "\n";
  std::istringstream in(text + "ab\0cd\nnever\n"s);
  std::string l;
  EXPECT_EQ(read_data_line(in, l), LineRead::Ok);
  EXPECT_EQ(l, long_line.substr(0, MLINE));
  EXPECT_EQ(read_data_line(in, l), LineRead::Ok);
  EXPECT_EQ(l, "next");
  EXPECT_EQ(read_data_line(in, l), LineRead::Ok);
  EXPECT_EQ(l.size(), MLINE);
  EXPECT_EQ(read_data_line(in, l), LineRead::NotText);
  std::istringstream too_long(std::string(MLINE_TEXT + 1, 'z') + "\nafter\n");
  EXPECT_EQ(read_data_line(too_long, l), LineRead::TooLong);

  std::istringstream blocks(text + "last");
  {
    LineSource source(blocks, DATA_LINES);
    std::string_view v;
    ASSERT_EQ(source.next(v), LineRead::Ok);
    source.put_back();
    ASSERT_EQ(source.next(v), LineRead::Ok);
    EXPECT_EQ(v, long_line.substr(0, MLINE));
    ASSERT_EQ(source.next(v), LineRead::Ok);
    EXPECT_EQ(v, "next");
    EXPECT_EQ(source.lines(), 2);
  }
  // The source put the stream back just after the lines it gave.
  EXPECT_EQ(read_data_line(blocks, l), LineRead::Ok);
  EXPECT_EQ(l.size(), MLINE);
  EXPECT_EQ(read_data_line(blocks, l), LineRead::Ok);
  EXPECT_EQ(l, "last");
  EXPECT_EQ(line_number_at(blocks, static_cast<std::streamoff>(long_line.size() + 2)), 2);
}

// A NUL byte stops the line source at its line, in the first block, in a
// line across two blocks and in a later block.
TEST(LineReader, LineSourceRefusesTheLineWithANulByte) {
  for (const std::size_t at : {50u, 65500u, 90000u}) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += std::string(100, static_cast<char>('a' + i % 26)) + "\n";
    text[at] = '\0';
    std::istringstream in(text);
    LineSource source(in, DATA_LINES);
    std::string_view v;
    long ok = 0;
    while (source.next(v) == LineRead::Ok) ++ok;
    EXPECT_EQ(ok, static_cast<long>(at / 101)) << at;
    EXPECT_EQ(source.next(v), LineRead::NotText) << at;
  }
}

}  // namespace
}  // namespace vortan
