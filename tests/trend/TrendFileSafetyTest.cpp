// Whatever stands in the place of a trend file, the trend storage writes
// only into a regular file of this user: a link is not followed, a FIFO does
// not make it wait, a folder or another user's file is refused, and the user
// is told why. New files are the owner's alone, whatever the umask.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/fake/FakeClock.h"
#include "support/TempDir.h"
#include "trend/TrendFile.h"
#include "util/DateTime.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

constexpr uid_t kNobody = 65534;

struct Impostor {
  const char* what;
  // Puts something in place of `path`; `dir` is the test's folder.
  std::function<void(const test::TempDir& dir, const std::string& path)> make;
  bool needsRoot;
};

const Impostor kImpostors[] = {
    {"link to a text file",
     [](const test::TempDir& dir, const std::string& path) {
       WriteText(dir.File("notes.txt"), "notes\n");
       fs::create_symlink(dir.File("notes.txt"), path);
     },
     false},
    {"link to nowhere",
     [](const test::TempDir& dir, const std::string& path) {
       fs::create_symlink(dir.File("nowhere"), path);
     },
     false},
    {"FIFO",
     [](const test::TempDir&, const std::string& path) {
       ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
     },
     false},
    {"folder", [](const test::TempDir&, const std::string& path) { fs::create_directory(path); },
     false},
    {"another user's file",
     [](const test::TempDir&, const std::string& path) {
       WriteText(path, "");
       ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
       chmod(path.c_str(), 0666);
     },
     true},
};

TEST(TrendFileSafety, OnlyARegularFileOfThisUserIsOpenedInEitherPlace) {
  FakeClock clock;
  const double now = EncodeDateTime(CivilTime{2023, 3, 15, 12, 0, 0, 0});
  for (const Impostor& impostor : kImpostors) {
    for (const char* taken : {"MERLISK.D", "MERLISK.ND"}) {
      SCOPED_TRACE(std::string(impostor.what) + " as " + taken);
      if (impostor.needsRoot && geteuid() != 0) {
        std::printf("skipped \"%s\": only root can give a file to another user\n", impostor.what);
        continue;
      }
      test::TempDir dir;
      const std::string path = dir.File(taken);
      impostor.make(dir, path);
      const std::string before = fs::is_regular_file(path) ? ReadText(path) : "";
      {
        TTrendFile trend(dir.File("MERLISK.D"), dir.File("MERLISK.ND"), clock);
        EXPECT_FALSE(trend.DataOpen() || trend.IndexOpen());
        EXPECT_EQ(trend.Trouble(), TrendTrouble::NotOwnRegularFile);
        EXPECT_EQ(trend.TroubleFileName(), path);
        EXPECT_NE(trend.TroubleText().find(path), std::string::npos);
        EXPECT_FALSE(trend.AppendRecord("host", 1, 2, 3, now));
        TrendValues out;
        EXPECT_FALSE(trend.FindRecord("host", now, out));
      }
      if (fs::is_regular_file(path)) {
        EXPECT_EQ(ReadText(path), before);
      }
      EXPECT_FALSE(fs::exists(dir.File("nowhere")));
      if (fs::exists(dir.File("notes.txt"))) {
        EXPECT_EQ(ReadText(dir.File("notes.txt")), "notes\n");
      }
      fs::remove_all(path);  // the impostor gone, the next run takes the place
      TTrendFile trend(dir.File("MERLISK.D"), dir.File("MERLISK.ND"), clock);
      EXPECT_TRUE(trend.AppendRecord("host", 1, 2, 3, now));
      EXPECT_EQ(trend.Trouble(), TrendTrouble::None);
    }
  }
}

TEST(TrendFileSafety, NewFilesAreTheOwnersAloneWhateverTheUmask) {
  FakeClock clock;
  for (mode_t mask : {mode_t{0}, mode_t{022}, mode_t{077}}) {
    SCOPED_TRACE(mask);
    test::TempDir dir;
    const mode_t old = umask(mask);
    { TTrendFile trend(dir.File("MERLISK.D"), dir.File("MERLISK.ND"), clock); }
    umask(old);
    for (const char* name : {"MERLISK.D", "MERLISK.ND"}) {
      struct stat info {};
      ASSERT_EQ(stat(dir.File(name).c_str(), &info), 0);
      EXPECT_EQ(info.st_mode & 07777, 0600u) << name;
    }
  }
}

}  // namespace
}  // namespace tw
