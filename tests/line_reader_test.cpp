// The shared line reader and the readers that use it: a line end of either
// kind, a last line without one, and a file without line ends refused.
#include <gtest/gtest.h>

#include <fstream>
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
