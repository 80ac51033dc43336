// The timed file I/O on real files in a temporary folder.
#include "platform/DriveIo.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <memory>

#include <cstring>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <vector>

#include "support/TempDir.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

using test::ReadAll;

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Pages of the file held in the page cache.
size_t CachedPages(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  struct stat st {};
  fstat(fd, &st);
  size_t cached = 0;
  if (st.st_size > 0) {
    void* map = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
    const size_t pages = (static_cast<size_t>(st.st_size) + 4095) / 4096;
    std::vector<unsigned char> resident(pages);
    mincore(map, static_cast<size_t>(st.st_size), resident.data());
    for (unsigned char r : resident) cached += r & 1;
    munmap(map, static_cast<size_t>(st.st_size));
  }
  close(fd);
  return cached;
}

TEST(DriveIoTest, TransfersRoundTripAndLeaveNothingInTheCache) {
  test::TempDir dir;
  const std::string path = dir.File("MRL.TST");
  auto file = SystemDriveIo().CreateTestFile(path);
  ASSERT_NE(file, nullptr);
  // Page-aligned buffers go to the device as they are, others through a copy.
  struct FreeBlock {
    void operator()(uint8_t* p) const { std::free(p); }
  };
  std::unique_ptr<uint8_t, FreeBlock> outBlock(
      static_cast<uint8_t*>(std::aligned_alloc(4096, 69632)));
  std::unique_ptr<uint8_t, FreeBlock> inBlock(
      static_cast<uint8_t*>(std::aligned_alloc(4096, 69632)));
  // Aligned blocks go direct; odd sizes and offsets take the synced way.
  const struct {
    int32_t size;
    int64_t offset;
  } cases[] = {{1024, 0}, {64512, 1024}, {1500, 700}, {64512, 64512}, {1, 3}};
  for (size_t shift : {size_t{0}, size_t{1}}) {
    uint8_t* out = outBlock.get() + shift;
    uint8_t* in = inBlock.get() + shift;
    for (size_t i = 0; i < 64512; ++i) out[i] = static_cast<uint8_t>(i * 13 + shift);
    for (const auto& c : cases) {
      ASSERT_TRUE(file->Write(out, c.size, c.offset)) << c.size;
      file->DropCache();
      // Nothing of the file is in memory: the read must reach the disk.
      EXPECT_EQ(CachedPages(path), 0u) << c.size << " at " << c.offset;
      std::memset(in, 0, 64512);
      ASSERT_EQ(file->Read(in, c.size, c.offset), c.size);
      EXPECT_TRUE(std::equal(out, out + c.size, in)) << c.size << " shift " << shift;
    }
  }
  EXPECT_EQ(file->Read(inBlock.get(), 64512, 1 << 20), 0);  // past the end
  SystemDriveIo().RemoveTestFile(path, *file);
  EXPECT_FALSE(fs::exists(path));
}

TEST(DriveIoTest, OnlyOurOwnRegularFileIsEverEmptied) {
  test::TempDir dir;
  const std::string path = dir.File("MRL.TST");
  const std::string keep = dir.File("precious");
  const struct {
    const char* name;
    void (*make)(const std::string& path, const std::string& keep);
    bool accepted;
  } cases[] = {
      {"left-over test file", [](auto& p, auto&) { WriteAll(p, "old"); }, true},
      {"symbolic link", [](auto& p, auto& k) { fs::create_symlink(k, p); }, false},
      {"dangling link", [](auto& p, auto& k) { fs::create_symlink(k + ".none", p); }, false},
      {"hard link", [](auto& p, auto& k) { fs::create_hard_link(k, p); }, false},
      {"folder", [](auto& p, auto&) { fs::create_directory(p); }, false},
      {"FIFO", [](auto& p, auto&) { mkfifo(p.c_str(), 0600); }, false},
      // Only root can give a file away; for others this case is an own file.
      {"another user's file",
       [](auto& p, auto&) {
         WriteAll(p, "theirs");
         (void)!chown(p.c_str(), 65534, 65534);
       },
       geteuid() != 0},
  };
  for (const auto& c : cases) {
    WriteAll(keep, "keep me");
    c.make(path, keep);
    auto file = SystemDriveIo().CreateTestFile(path);
    EXPECT_EQ(file != nullptr, c.accepted) << c.name;
    if (file) {
      EXPECT_EQ(fs::file_size(path), 0u) << c.name;
      SystemDriveIo().RemoveTestFile(path, *file);
    }
    EXPECT_EQ(ReadAll(keep), "keep me") << c.name;
    EXPECT_FALSE(fs::exists(dir.File("precious.none"))) << c.name;
    fs::remove_all(path);
  }
}

TEST(DriveIoTest, RemovalSparesAFileThatReplacedOurs) {
  test::TempDir dir;
  const std::string path = dir.File("MRL.TST");
  auto file = SystemDriveIo().CreateTestFile(path);
  ASSERT_NE(file, nullptr);
  fs::remove(path);
  WriteAll(path, "someone else's");
  SystemDriveIo().RemoveTestFile(path, *file);
  EXPECT_EQ(ReadAll(path), "someone else's");
}

TEST(DriveIoTest, ReadOnlyFileIsHeldLockedWhileOpen) {
  test::TempDir dir;
  const std::string path = dir.File("disc.iso");
  WriteAll(path, std::string(200000, 'x'));
  auto first = SystemDriveIo().OpenReadOnly(path);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(SystemDriveIo().OpenReadOnly(path), nullptr);  // another holder is refused
  std::vector<uint8_t> buffer(64512);
  int64_t total = 0;
  for (int32_t n; (n = first->Read(buffer.data(), 64512, total)) > 0;) total += n;
  EXPECT_EQ(total, 200000);
  first.reset();
  EXPECT_NE(SystemDriveIo().OpenReadOnly(path), nullptr);
  fs::create_symlink(path, dir.File("link.iso"));
  EXPECT_NE(SystemDriveIo().OpenReadOnly(dir.File("link.iso")), nullptr);
  EXPECT_EQ(SystemDriveIo().OpenReadOnly(dir.File("missing")), nullptr);
  EXPECT_EQ(SystemDriveIo().OpenReadOnly(dir.Path()), nullptr);
}

}  // namespace
}  // namespace tw
