// The drive test's files on Windows: unbuffered transfers of any offset and
// size, and what may stand at the name "MRL.TST".
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/DriveIo.h"
#include "support/TempDir.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 13 + seed);
  return bytes;
}

bool IsReparsePoint(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

TEST(Win32DriveIo, TransfersOfAnyOffsetAndSizeReachTheFile) {
  test::TempDir dir;
  const std::string path = dir.File("MRL.TST");
  auto file = SystemDriveIo().CreateTestFile(path);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->Direct());
  struct Case {
    int32_t size;
    int64_t offset;
  };
  // Whole sectors, then pieces of sectors that need the rest of theirs kept.
  const Case cases[] = {{64512, 0}, {1000, 64512}, {700, 100}, {3, 65511}, {513, 511}};
  std::vector<uint8_t> expected;
  uint8_t seed = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    const auto data = Pattern(static_cast<size_t>(c.size), seed++);
    ASSERT_TRUE(file->Write(data.data(), c.size, c.offset));
    if (expected.size() < static_cast<size_t>(c.offset + c.size))
      expected.resize(c.offset + c.size);
    std::copy(data.begin(), data.end(), expected.begin() + c.offset);
    std::vector<uint8_t> back(static_cast<size_t>(c.size));
    ASSERT_EQ(file->Read(back.data(), c.size, c.offset), c.size);
    EXPECT_EQ(back, data);
  }
  std::vector<uint8_t> all(expected.size() + 4096);
  EXPECT_EQ(file->Read(all.data(), static_cast<int32_t>(all.size()), 0),
            static_cast<int32_t>(expected.size()));
  all.resize(expected.size());
  EXPECT_EQ(all, expected);
  SystemDriveIo().RemoveTestFile(path, *file);
  file.reset();
  EXPECT_FALSE(fs::exists(path));
}

TEST(Win32DriveIo, AHardLinkNamedMrlTstIsLeftAlone) {
  test::TempDir dir;
  const std::string precious = dir.File("precious");
  std::ofstream(precious) << "keep me";
  const std::string path = dir.File("MRL.TST");
  ASSERT_TRUE(CreateHardLinkA(path.c_str(), precious.c_str(), nullptr));
  EXPECT_EQ(SystemDriveIo().CreateTestFile(path), nullptr);
  EXPECT_EQ(ReadAll(precious), "keep me");
}

// A junction (a folder's mount-point reparse point) made by hand, since no
// API call makes one: the reparse data names the target in the NT form.
bool MakeJunction(const std::string& at, const std::string& target, std::string& problem) {
  if (!CreateDirectoryA(at.c_str(), nullptr)) {
    problem = "cannot make the folder";
    return false;
  }
  HANDLE folder = CreateFileA(at.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (folder == INVALID_HANDLE_VALUE) {
    problem = "cannot open the folder";
    return false;
  }
  char full[MAX_PATH] = {};
  GetFullPathNameA(target.c_str(), MAX_PATH, full, nullptr);
  const std::wstring substitute = L"\\??\\" + std::wstring(full, full + strlen(full));
  const auto bytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
  // Tag, data length, reserved; then the mount point's four offsets and
  // lengths, the substitute name and an empty print name, each with a NUL.
  std::vector<uint8_t> data(8 + 8 + bytes + 4, 0);
  auto put16 = [&](size_t at16, WORD value) { std::memcpy(&data[at16], &value, 2); };
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  std::memcpy(&data[0], &tag, 4);
  put16(4, static_cast<WORD>(data.size() - 8));
  put16(8, 0);
  put16(10, bytes);
  put16(12, static_cast<WORD>(bytes + 2));
  put16(14, 0);
  std::memcpy(&data[16], substitute.data(), bytes);
  DWORD returned = 0;
  const bool made =
      DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, data.data(), static_cast<DWORD>(data.size()),
                      nullptr, 0, &returned, nullptr);
  if (!made)
    problem = "FSCTL_SET_REPARSE_POINT failed with error " + std::to_string(GetLastError());
  CloseHandle(folder);
  if (made && !IsReparsePoint(at)) problem = "the folder did not become a reparse point";
  return made && IsReparsePoint(at);
}

// A reparse point (a symbolic link, else a junction) at the name is never
// followed, written through or replaced.
TEST(Win32DriveIo, AReparsePointNamedMrlTstIsLeftAlone) {
  test::TempDir dir;
  const std::string precious = dir.File("precious");
  std::ofstream(precious) << "keep me";
  const std::string path = dir.File("MRL.TST");
  // Success alone is not trusted: the link must be there.
  const bool linked = CreateSymbolicLinkA(path.c_str(), precious.c_str(),
                                          SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
                      IsReparsePoint(path);
  std::string problem;
  if (!linked) {
    DeleteFileA(path.c_str());
    fs::create_directory(dir.File("target"));
    if (!MakeJunction(path, dir.File("target"), problem)) {
      GTEST_SKIP() << "this system makes neither a symbolic link nor a junction (" << problem
                   << ")";
    }
  }
  EXPECT_EQ(SystemDriveIo().CreateTestFile(path), nullptr);
  EXPECT_EQ(ReadAll(precious), "keep me");
  EXPECT_FALSE(fs::exists(dir.File("target/MRL.TST")));
  EXPECT_TRUE(IsReparsePoint(path));
}

TEST(Win32DriveIo, AFolderNamedMrlTstIsRefused) {
  test::TempDir dir;
  fs::create_directory(dir.File("MRL.TST"));
  EXPECT_EQ(SystemDriveIo().CreateTestFile(dir.File("MRL.TST")), nullptr);
  EXPECT_TRUE(fs::is_directory(dir.File("MRL.TST")));
}

TEST(Win32DriveIo, ReadOnlyFileIsHeldWithoutSharing) {
  test::TempDir dir;
  const std::string path = dir.File("disc.iso");
  std::ofstream(path, std::ios::binary) << std::string(5000, 'z');
  auto file = SystemDriveIo().OpenReadOnly(path);
  ASSERT_NE(file, nullptr);
  std::vector<uint8_t> back(8192);
  EXPECT_EQ(file->Read(back.data(), 8192, 0), 5000);
  EXPECT_EQ(file->Read(back.data(), 8192, 4096), 904);
  EXPECT_EQ(back[0], 'z');
  // No other program can open it while it is measured, nor can a second
  // measurement.
  HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(other, INVALID_HANDLE_VALUE);
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  EXPECT_EQ(SystemDriveIo().OpenReadOnly(path), nullptr);
  file.reset();
  EXPECT_NE(SystemDriveIo().OpenReadOnly(path), nullptr);
}

}  // namespace
}  // namespace tw
