// Replacing a user's file: a failed write keeps the old contents, a link is
// written through to its target, permissions are kept, a device is never
// touched.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "file_replace.h"
#include "platform/framebuffer.h"
#ifdef VORTAN_HAVE_WINDOW
#include "platform/window_layout.h"
#endif
#include "test_support.h"

namespace vortan {
namespace {

mode_t mode_of(const std::string& p) {
  struct stat st;
  stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

int temporaries_in(const std::string& folder) {
  int n = 0;
  for (auto& e : std::filesystem::directory_iterator(folder))
    n += e.path().filename().string().rfind(".vortan-", 0) == 0;
  return n;
}

TEST(FileReplace, LinkFollowedAndPermissionsKept) {
  test::ScriptedSession s("");
  const std::string target = s.folder() + "/real.dat", link = s.folder() + "/link.dat";
  test::write_file(target, "old\n");
  chmod(target.c_str(), 0640);
  ASSERT_EQ(symlink("real.dat", link.c_str()), 0);
  std::string why;
  ASSERT_TRUE(replace_file(link, "new\n", why)) << why;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(test::read_file(target), "new\n");
  EXPECT_EQ(mode_of(target), 0640u);
  EXPECT_TRUE(same_file_on_disk(link, target));
}

// A save that cannot be completed (the file size limit stands for a full
// disk) is said with the system's reason and the last good file stays: a
// data file, a snapshot and a picture saved from the graphics window alike.
TEST(FileReplace, FailedWriteKeepsTheLastGoodFile) {
  test::ScriptedSession s("");
  const std::string path = s.folder() + "/a.dat", png = s.folder() + "/a.png";
  test::write_file(path, "good\n");
  test::write_file(png, "earlier picture\n");
  Framebuffer fb;
  for (int i = 0; i < 2000; ++i) fb.pixel(i * 37 % SCREEN_W, i * 91 % SCREEN_H, i % 16);
  struct rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 100;
  setrlimit(RLIMIT_FSIZE, &small);
  std::string why;
  const bool ok = replace_file(path, std::string(5000, 'x'), why);
  std::string snapshot_why;
  const bool snapshot = fb.write_png(png, snapshot_why);
#ifdef VORTAN_HAVE_WINDOW
  const std::string picture_why = save_picture_png(fb, 800, 600, png, Rect{});
#endif
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_FALSE(ok);
  EXPECT_EQ(why, "cannot write " + path + ": File too large");
  EXPECT_EQ(test::read_file(path), "good\n");
  EXPECT_FALSE(snapshot);
  EXPECT_EQ(snapshot_why, "cannot write " + png + ": File too large");
#ifdef VORTAN_HAVE_WINDOW
  EXPECT_EQ(picture_why, snapshot_why);
#endif
  EXPECT_EQ(test::read_file(png), "earlier picture\n");
  EXPECT_EQ(temporaries_in(s.folder()), 0) << "a temporary file was left behind";
  // Without the limit both are written whole, and a PNG never replaces a
  // file the run has read.
  ASSERT_TRUE(fb.write_png(png, snapshot_why)) << snapshot_why;
  EXPECT_EQ(test::read_file(png).substr(1, 3), "PNG");
  note_input(png);
#ifdef VORTAN_HAVE_WINDOW
  EXPECT_EQ(save_picture_png(fb, 640, 480, png, Rect{}),
            "cannot write " + png + ": it is a file this run reads");
#else
  std::string input_why;
  EXPECT_FALSE(fb.write_png(png, input_why));
  EXPECT_EQ(input_why, "cannot write " + png + ": it is a file this run reads");
#endif
}

// A program interrupted in the middle of a save (Ctrl-C, a kill) ends as the
// signal says, with its temporary file gone and the last save untouched.
TEST(FileReplace, InterruptedSaveLeavesNoTemporary) {
  test::ScriptedSession s("");
  const std::string path = s.folder() + "/a.dat";
  test::write_file(path, "good\n");
  for (int sig : {SIGINT, SIGTERM}) {
    EXPECT_EXIT(
        {
          ReplacingFile f;
          if (!begin_replace(f, path) || !write_replace(f, "half")) std::_Exit(1);
          std::fflush(f.unit);
          ::raise(sig);
          std::_Exit(2);
        },
        testing::KilledBySignal(sig), "");
    EXPECT_EQ(temporaries_in(s.folder()), 0) << "signal " << sig;
    EXPECT_EQ(test::read_file(path), "good\n");
  }
}

TEST(FileReplace, NonRegularTargetRefused) {
  test::ScriptedSession s("");
  std::string why;
  EXPECT_FALSE(replace_file(s.folder(), "x", why));
  EXPECT_EQ(why, "cannot write " + s.folder() + ": it is not a regular file");
  const std::string link = s.folder() + "/dev.dat";
  ASSERT_EQ(symlink("/dev/null", link.c_str()), 0);
  EXPECT_FALSE(replace_file(link, "x", why));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

}  // namespace
}  // namespace vortan
