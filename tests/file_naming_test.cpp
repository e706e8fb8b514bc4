// Naming of the data files: the simple names typed by the user and the
// paths built from them.
#include <gtest/gtest.h>

#include <filesystem>

#include "file_naming.h"
#include "test_support.h"

namespace vortan {
namespace {

TEST(FileNaming, SimpleNamesAreTakenRefusedOrCut) {
  test::ScriptedSession s("line  beam \nline a.b\nline sub/dir\nline twelvechars1\nline\n");
  std::string name;
  EXPECT_EQ(ask_simple_name(name, "Give a simple name"), NameAnswer::Given);
  EXPECT_EQ(name, "beam");
  EXPECT_EQ(ask_simple_name(name, "Give a simple name"), NameAnswer::Refused);
  // A folder separator would write outside the chosen folder.
  EXPECT_EQ(ask_simple_name(name, "Give a simple name"), NameAnswer::Refused);
  EXPECT_EQ(ask_simple_name(name, "Give a simple name"), NameAnswer::Given);
  EXPECT_EQ(name, "twelvech");
  EXPECT_EQ(ask_simple_name(name, "Give a simple name"), NameAnswer::Empty);
  std::string t = s.transcript();
  EXPECT_NE(t.find("Give a simple name\n"), std::string::npos);
  EXPECT_NE(t.find("Warning: Max filename length is 8 characters.\nFilename truncated to twelvech\n"),
            std::string::npos);
}

TEST(FileNaming, PathsFromFolderAndName) {
  EXPECT_EQ(dat_path("", "beam"), "beam.dat");
  EXPECT_EQ(dat_path("/home/me/meshes", "beam"), "/home/me/meshes/beam.dat");
  EXPECT_EQ(dat_path("/home/me/meshes/", "beam"), "/home/me/meshes/beam.dat");
  EXPECT_EQ(prt_path("/a/beam.dat"), "/a/beam.prt");
  EXPECT_EQ(ps_path("/a/beam.dat"), "/a/beam.ps");
}

TEST(FileNaming, SameFileSeesThroughRelativePaths) {
  test::ScriptedSession s("");
  std::string f = s.folder() + "/quad8.dat";
  test::write_file(f, "x\n");
  EXPECT_TRUE(same_file(f, s.folder() + "/./quad8.dat"));
  EXPECT_TRUE(same_file(f, s.folder() + "/../" +
                               std::filesystem::path(s.folder()).filename().string() + "/quad8.dat"));
  EXPECT_FALSE(same_file(f, s.folder() + "/quad9.dat"));
}

TEST(FileNaming, CancelledFileDialogSaysNoFileSelected) {
  test::ScriptedSession s("file\nfile meshes/beam.dat\n");
  std::string path;
  int cancelled = 0;
  ASKFIL(".", path, cancelled);
  EXPECT_EQ(cancelled, 1);
  ASKFIL(".", path, cancelled);
  EXPECT_EQ(cancelled, 0);
  EXPECT_EQ(path, "meshes/beam.dat");
  std::string t = s.transcript();
  EXPECT_NE(t.find("No file selected.\n"), std::string::npos);
  EXPECT_NE(t.find("\"Open an input file\" -> meshes/beam.dat"), std::string::npos);
}

}  // namespace
}  // namespace vortan
