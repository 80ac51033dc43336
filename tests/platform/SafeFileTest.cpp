// Reading and replacing files safely, with real special files in a
// temporary folder: nothing but a regular file is read, nothing blocks, and
// what is written is the owner's only.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/SafeFile.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"
#include "support/Watchdog.h"

namespace tw {
namespace {

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

using test::ReadAll;

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST(ReadRegularFile, TakesOnlyRegularFilesAndNeverWaits) {
  test::TempDir folder;
  const auto at = [&](const char* name) { return folder.File(name); };
  WriteAll(at("plain"), "bytes");
  mkfifo(at("fifo").c_str(), 0600);
  std::filesystem::create_directory(at("folder"));
  std::filesystem::create_symlink(at("plain"), at("link-to-plain"));
  std::filesystem::create_symlink(at("fifo"), at("link-to-fifo"));
  std::filesystem::create_symlink("/dev/zero", at("link-to-device"));
  std::filesystem::create_symlink(at("gone"), at("dangling"));
  WriteAll(at("large"), "x");
  std::filesystem::resize_file(at("large"), 2048);
  const std::pair<const char*, FileReadStatus> cases[] = {
      {"plain", FileReadStatus::Ok},
      {"link-to-plain", FileReadStatus::Ok},
      {"fifo", FileReadStatus::NotRegular},
      {"folder", FileReadStatus::NotRegular},
      {"link-to-fifo", FileReadStatus::NotRegular},
      {"link-to-device", FileReadStatus::NotRegular},
      {"dangling", FileReadStatus::Unreadable},  // something is there
      {"missing", FileReadStatus::Missing},
      {"large", FileReadStatus::TooLarge},
  };
  test::Watchdog watchdog(20, "reading special files");
  for (const auto& [name, status] : cases) {
    const FileRead read = ReadRegularFile(at(name), 1024);
    EXPECT_EQ(read.status, status) << name;
    EXPECT_EQ(read.bytes, status == FileReadStatus::Ok ? "bytes" : "") << name;
  }
  EXPECT_TRUE(PathExists(at("dangling")));
  EXPECT_FALSE(PathExists(at("missing")));
}

TEST(ReadRegularFile, AFileTheUserMayNotReadIsUnreadableNotMissing) {
  test::TempDir folder;
  const std::string path = folder.File("secret");
  WriteAll(path, "bytes");
  chmod(path.c_str(), 0);
  chmod(folder.Path().c_str(), 0755);
  const int status =
      test::RunUnprivileged([&] { return static_cast<int>(ReadRegularFile(path, 1024).status); });
  EXPECT_EQ(status, static_cast<int>(FileReadStatus::Unreadable));
}

TEST(ReplaceFileContents, WritesForTheOwnerOnlyAndReplacesALinkNotItsTarget) {
  test::TempDir folder;
  const std::string target = folder.File("target");
  const std::string path = folder.File("file");
  WriteAll(target, "target bytes");
  std::filesystem::create_symlink(target, path);
  const mode_t old = umask(0);
  const bool replaced = ReplaceFileContents(path, "new bytes");
  const bool created = ReplaceFileContents(folder.File("fresh"), "fresh");
  umask(old);
  ASSERT_TRUE(replaced && created);
  EXPECT_EQ(ReadAll(target), "target bytes");
  EXPECT_FALSE(std::filesystem::is_symlink(path));
  EXPECT_EQ(ReadAll(path), "new bytes");
  EXPECT_EQ(ModeOf(path), 0600u);
  EXPECT_EQ(ModeOf(folder.File("fresh")), 0600u);
}

TEST(RenameWithoutReplacing, NeverReplacesWhatIsThere) {
  test::TempDir folder;
  WriteAll(folder.File("a"), "a");
  WriteAll(folder.File("b"), "b");
  std::filesystem::create_directory(folder.File("d"));
  EXPECT_EQ(RenameWithoutReplacing(folder.File("a"), folder.File("b")), RenameOutcome::NameTaken);
  EXPECT_EQ(RenameWithoutReplacing(folder.File("a"), folder.File("d")), RenameOutcome::NameTaken);
  EXPECT_EQ(ReadAll(folder.File("b")), "b");
  EXPECT_EQ(RenameWithoutReplacing(folder.File("a"), folder.File("c")), RenameOutcome::Done);
  EXPECT_EQ(ReadAll(folder.File("c")), "a");
  std::string error;
  EXPECT_EQ(RenameWithoutReplacing(folder.File("a"), folder.File("e"), &error),
            RenameOutcome::Failed);
  EXPECT_FALSE(error.empty());
}

TEST(CreatePrivateFolders, NewFoldersAreTheOwnersWhateverTheUmask) {
  test::TempDir folder;
  const mode_t old = umask(0);
  const bool made = CreatePrivateFolders(folder.File("one/two/three"));
  umask(old);
  ASSERT_TRUE(made);
  for (const char* name : {"one", "one/two", "one/two/three"})
    EXPECT_EQ(ModeOf(folder.File(name)), 0700u) << name;
  WriteAll(folder.File("file"), "x");
  EXPECT_FALSE(CreatePrivateFolders(folder.File("file")));
}

}  // namespace
}  // namespace tw
