// The locked file and the state folder as the program meets them: real files
// in a folder of the test, a second open of a held file, the end of a file.
#include "platform/LockedFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/StateFolder.h"
#include "support/TempDir.h"

namespace tw {
namespace {

TEST(LockedFileTest, WritesAndReadsWholeRunsAndStopsAtTheEnd) {
  test::TempDir dir;
  LockedFile file;
  ASSERT_EQ(file.CreateNew(dir.File("data")), LockedFile::OpenResult::Opened);
  const std::string big(3 * 1024 * 1024 + 7, 'x');
  EXPECT_TRUE(file.WriteAt(0, big.data(), big.size()));
  EXPECT_TRUE(file.WriteAt(static_cast<int64_t>(big.size()), "end", 3));
  EXPECT_EQ(file.Size(), static_cast<int64_t>(big.size() + 3));
  std::string back(big.size(), '\0');
  EXPECT_EQ(file.ReadAt(0, back.data(), back.size()), big.size());
  EXPECT_EQ(back, big);
  // Past the end: only what is there, nothing beyond it, nothing before 0.
  char tail[10] = {};
  EXPECT_EQ(file.ReadAt(static_cast<int64_t>(big.size()), tail, sizeof tail), 3u);
  EXPECT_EQ(std::string(tail, 3), "end");
  EXPECT_EQ(file.ReadAt(file.Size() + 100, tail, sizeof tail), 0u);
  EXPECT_EQ(file.ReadAt(-1, tail, sizeof tail), 0u);
  EXPECT_FALSE(file.WriteAt(-1, "x", 1));
  file.Close();
  EXPECT_EQ(file.ReadAt(0, tail, 1), 0u);
  EXPECT_FALSE(file.WriteAt(0, "x", 1));
}

TEST(LockedFileTest, SecondOpenIsBusyAndAReadOnlyFileTakesNoWrites) {
  test::TempDir dir;
  const std::string path = dir.File("held");
  LockedFile first;
  ASSERT_EQ(first.CreateNew(path), LockedFile::OpenResult::Opened);
  LockedFile second;
  EXPECT_EQ(second.OpenExisting(path), LockedFile::OpenResult::Busy);
  EXPECT_EQ(second.CreateNew(path), LockedFile::OpenResult::Missing);  // exists already
  first.Close();
  ASSERT_EQ(chmod(path.c_str(), 0400), 0);
  const bool root = geteuid() == 0;  // root writes anyway
  ASSERT_EQ(second.OpenExisting(path), LockedFile::OpenResult::Opened);
  EXPECT_EQ(second.Writable(), root);
  if (!root) {
    EXPECT_FALSE(second.WriteAt(0, "x", 1));
  }
}

// Sets environment variables for one test and puts them back afterwards.
class ScopedEnv {
 public:
  void Set(const char* name, const std::string& value) {
    const char* before = std::getenv(name);
    saved_.emplace_back(name,
                        before != nullptr ? std::optional<std::string>(before) : std::nullopt);
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        setenv(it->first, it->second->c_str(), 1);
      } else {
        unsetenv(it->first);
      }
    }
  }

 private:
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(StateFolderTest, TheTestFolderWinsAndTheFolderIsCreated) {
  test::TempDir dir;
  ScopedEnv env;
  env.Set("XDG_STATE_HOME", dir.File("xdg"));
  const std::string wanted = dir.File("state/deeper");
  env.Set("TARNWICK_STATE_DIR", wanted);
  EXPECT_EQ(StateFolder(), wanted);
  EXPECT_TRUE(std::filesystem::is_directory(wanted));
  // Empty means "not set": the system's own folder, made on first use.
  env.Set("TARNWICK_STATE_DIR", "");
  EXPECT_EQ(StateFolder(), dir.File("xdg/tarnwick"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("xdg/tarnwick")));
}

}  // namespace
}  // namespace tw
