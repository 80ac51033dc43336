// The drive folder and read-only file loops on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "engine/PingThread.h"
#include "platform/fake/OffsetClock.h"
#include "support/TempDir.h"
#include "tests/engine/EngineHost.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::CellSpeed;
using test::EngineHost;
using test::TransferOf;

struct Fixture {
  EngineHost host;
  EngineServices services{host.dispatcher, SystemClock(), host, false};
};

TEST(DriveLoopTest, TempFolderGivesSpeedsAndGrowsItsBlocksThenCleansUp) {
  Fixture f;
  test::TempDir dir;
  const std::string testFile = dir.File("MRL.TST");
  const int row = f.host.AddRow(dir.Path(), ResourceKind::Drive, 0, true, 1024, 2500);
  TPingThread* t = nullptr;
  // Looked at while the worker waits in its display update.
  std::vector<std::pair<int32_t, int32_t>> sizes;
  std::vector<int> classes;
  std::vector<double> writes, reads;
  uintmax_t largestFile = 0;
  f.host.onRepaint = [&](int col, int r) {
    if (col != Col::ReadSpeed || CellSpeed(f.host.table.Cell(col, r)) < 0) return;
    sizes.emplace_back(TransferOf(*t).writeSize, TransferOf(*t).readSize);
    classes.push_back(TransferOf(*t).priorityClass);
    writes.push_back(CellSpeed(f.host.table.Cell(Col::WriteSpeed, r)));
    reads.push_back(CellSpeed(f.host.table.Cell(Col::ReadSpeed, r)));
    std::error_code ec;
    largestFile = std::max(largestFile, fs::file_size(testFile, ec));
  };
  t = f.host.Start(row, f.services);
  ASSERT_TRUE(f.host.PumpUntil([&] { return sizes.size() >= 70; }, 60000));
  f.host.onRepaint = nullptr;
  TPingThread::Destroy(t);
  f.host.dispatcher->RunPending();

  EXPECT_FALSE(fs::exists(testFile));
  EXPECT_LE(largestFile, 129024u);
  EXPECT_GT(*std::max_element(writes.begin(), writes.end()), 0);
  EXPECT_GT(*std::max_element(reads.begin(), reads.end()), 0);
  // The sizes shown at display k are the ones cycle k used. While every
  // transfer takes under 10 ms both blocks grow by 1 KB a cycle, so a fast
  // disk reaches 64,512 bytes after 62 cycles.
  auto fast = [&](size_t k) {
    const double writeUs = (sizes[k].first / 1024) * 1e6 / writes[k];
    const double readUs = (sizes[k].second / 1024) * 1e6 / reads[k];
    return writes[k] > 0 && reads[k] > 0 && writeUs < 9000 && readUs < 9000;
  };
  size_t k = 0;
  for (; k + 1 < sizes.size() && sizes[k].first < 64512 && fast(k); ++k) {
    EXPECT_EQ(sizes[k + 1].first, sizes[k].first + 1024) << k;
    EXPECT_EQ(sizes[k + 1].second, sizes[k + 1].first) << k;
  }
  // The read block never grows past the write block; the write block may
  // shrink below it when a write takes over 40 ms (a loaded machine).
  for (size_t i = 0; i + 1 < sizes.size(); ++i) {
    if (sizes[i + 1].second > sizes[i].second) {
      EXPECT_LE(sizes[i + 1].second, sizes[i + 1].first) << i;
    }
  }
  if (k == 62) {
    EXPECT_EQ(sizes[62].first, 64512);
    // Below normal for the first 20 cycles, then the class of fast transfers.
    EXPECT_EQ(classes[5], 2);
    EXPECT_EQ(classes[25], 5);
  } else {
    GTEST_LOG_(INFO) << "a transfer took 9 ms or more in cycle " << k
                     << "; growth checked up to it";
  }
}

// As in the window: display updates are posted, so a worker measures on
// while the UI thread is busy, and each update shows what the worker had
// when it posted it ("Testing..." first, then speeds).
TEST(DriveLoopTest, AWorkerMeasuresOnWhileTheUiThreadIsBusy) {
  EngineHost host(PostedCalls::Proceed);
  // The quarter-hour trend write waits for the UI thread by design, so the
  // local time stays clear of a quarter hour.
  OffsetClock clock;
  clock.SetLocalNow({2026, 12, 8, 10, 7, 5});
  EngineServices services{host.dispatcher, clock, host, false};
  test::TempDir dir;
  const int row = host.AddRow(dir.Path(), ResourceKind::Drive, 0, false, 4096, 2500);
  std::vector<std::string> shown;  // the texts of the repainted cells, in their order
  host.onRepaint = [&](int col, int r) {
    if (!host.table.Cell(col, r).empty()) shown.push_back(host.table.Cell(col, r));
  };
  TPingThread* t = host.Start(row, services);
  // Nobody runs the hand-overs, as when the UI thread is busy: a worker that
  // waited for its first display update would stay at no sample.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (t->SampleCount() < 10 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GE(t->SampleCount(), 10u);
  ASSERT_TRUE(host.PumpUntil([&] { return shown.size() >= 5; }));
  TPingThread::Destroy(t);
  host.dispatcher->RunPending();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.front(), "Testing...");
  // Each cycle's speeds (a restart after the first cycle shows "Testing..."
  // once more).
  int speeds = 0;
  for (const std::string& text : shown) {
    if (text == "Testing...") continue;
    EXPECT_GT(CellSpeed(text), 0) << text;
    ++speeds;
  }
  EXPECT_GE(speeds, 3);
}

TEST(DriveLoopTest, FixedBlockSizesStayInsideTheBuffer) {
  const struct {
    int blockSize;
    int32_t expected;
    bool speeds;  // whole kilobytes moved
  } cases[] = {{4096, 4096, true}, {500, 500, false}, {100000, 64512, true}, {-5, 0, false}};
  for (const auto& c : cases) {
    Fixture f;
    test::TempDir dir;
    const int row = f.host.AddRow(dir.Path(), ResourceKind::Drive, 0, false, c.blockSize, 2500);
    TPingThread* t = nullptr;
    std::vector<int32_t> sizes;
    double write = 0, read = 0;  // the highest shown
    f.host.onRepaint = [&](int col, int r) {
      if (col != Col::ReadSpeed || CellSpeed(f.host.table.Cell(col, r)) < 0) return;
      sizes.push_back(TransferOf(*t).writeSize);
      sizes.push_back(TransferOf(*t).readSize);
      write = std::max(write, CellSpeed(f.host.table.Cell(Col::WriteSpeed, r)));
      read = std::max(read, CellSpeed(f.host.table.Cell(Col::ReadSpeed, r)));
    };
    t = f.host.Start(row, f.services);
    EXPECT_TRUE(f.host.PumpUntil([&] { return sizes.size() >= 10; })) << c.blockSize;
    f.host.onRepaint = nullptr;
    TPingThread::Destroy(t);
    for (int32_t size : sizes) EXPECT_EQ(size, c.expected) << c.blockSize;
    EXPECT_EQ(write > 0, c.speeds) << c.blockSize;
    EXPECT_EQ(read > 0, c.speeds) << c.blockSize;
  }
}

// A row whose kind changes between runs measures as its new kind: the
// thread replaces its measurement instead of going on with the old one.
TEST(DriveLoopTest, ARowChangedFromFileToFolderMeasuresTheFolder) {
  Fixture f;
  test::TempDir dir;
  const int row = f.host.AddRow(dir.File("missing.iso"), ResourceKind::File, 50, true, 1024, 2500);
  TPingThread* t = f.host.Start(row, f.services);
  EXPECT_TRUE(
      f.host.PumpUntil([&] { return f.host.table.Cell(Col::ReadSpeed, row) == "I/O error."; }));
  EXPECT_TRUE(f.host.PumpUntil([&] { return t->IsHeld() && t->IsSuspended(); }));
  f.host.table.SetCell(Col::Kind, row, KindText(ResourceKind::Drive));
  f.host.table.SetCell(Col::Resource, row, dir.Path());
  LoadRowSettings(*t, f.host.table);
  t->Resume();
  EXPECT_TRUE(
      f.host.PumpUntil([&] { return CellSpeed(f.host.table.Cell(Col::WriteSpeed, row)) > 0; }));
  EXPECT_TRUE(std::filesystem::exists(dir.File("MRL.TST")));
  TPingThread::Destroy(t);
  EXPECT_FALSE(std::filesystem::exists(dir.File("MRL.TST")));
}

TEST(DriveLoopTest, FailuresShowIOErrorAndHoldTheThreadUntilStart) {
  test::TempDir dir;
  const struct {
    const char* what;
    std::string address;
    ResourceKind kind;
    int col;
  } cases[] = {
      {"unreachable folder", dir.File("gone/deeper"), ResourceKind::Drive, Col::WriteSpeed},
      {"missing file", dir.File("missing.iso"), ResourceKind::File, Col::ReadSpeed},
      {"folder given as file", dir.Path(), ResourceKind::File, Col::ReadSpeed},
  };
  for (const auto& c : cases) {
    Fixture f;
    const int row = f.host.AddRow(c.address, c.kind, 50, true, 1024, 2500);
    TPingThread* t = f.host.Start(row, f.services);
    EXPECT_TRUE(f.host.PumpUntil([&] { return f.host.table.Cell(c.col, row) == "I/O error."; }))
        << c.what;
    EXPECT_TRUE(f.host.PumpUntil([&] { return t->IsHeld() && t->IsSuspended(); })) << c.what;
    // Start: settings loaded, resumed; the next run fails the same way.
    f.host.table.SetCell(c.col, row, "");
    LoadRowSettings(*t, f.host.table);
    t->Resume();
    EXPECT_TRUE(f.host.PumpUntil([&] { return f.host.table.Cell(c.col, row) == "I/O error."; }))
        << c.what;
    TPingThread::Destroy(t);
  }
}

TEST(DriveLoopTest, ASymlinkNamedLikeTheTestFileIsLeftAlone) {
  Fixture f;
  test::TempDir dir;
  const std::string target = dir.File("precious");
  std::ofstream(target) << "keep me";
  std::error_code error;
  fs::create_symlink(target, dir.File("MRL.TST"), error);
  if (error) GTEST_SKIP() << "this system cannot make a symbolic link: " << error.message();
  const int row = f.host.AddRow(dir.Path(), ResourceKind::Drive, 50, true, 1024, 2500);
  TPingThread* t = f.host.Start(row, f.services);
  EXPECT_TRUE(f.host.PumpUntil([&] { return f.host.table.Cell(2, row) == "I/O error."; }));
  TPingThread::Destroy(t);
  EXPECT_TRUE(fs::is_symlink(dir.File("MRL.TST")));
  std::ifstream in(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
}

TEST(DriveLoopTest, ReadOnlyFileIsReadWholeAndHeldLocked) {
  Fixture f;
  test::TempDir dir;
  const std::string path = dir.File("disc.iso");
  std::ofstream(path, std::ios::binary) << std::string(3 * 1024 * 1024, 'z');
  const int row = f.host.AddRow(path, ResourceKind::File, 20, true, 1024, 2500);
  TPingThread* t = f.host.Start(row, f.services);
  int shown = 0;
  EXPECT_TRUE(f.host.PumpUntil([&] {
    shown += CellSpeed(f.host.table.Cell(Col::ReadSpeed, row)) > 0;
    return shown >= 3;
  }));
  EXPECT_EQ(f.host.table.Cell(Col::WriteSpeed, row), "");
  EXPECT_EQ(SystemDriveIo().OpenReadOnly(path), nullptr);  // held locked
  TPingThread::Destroy(t);
  EXPECT_NE(SystemDriveIo().OpenReadOnly(path), nullptr);
}

// Real file I/O made slow: every write and every block read takes longer.
class SlowedIo final : public DriveIo {
 public:
  SlowedIo(int writeDelayMs, int readDelayMs)
      : writeDelay_(writeDelayMs), readDelay_(readDelayMs) {}
  std::unique_ptr<DriveFile> CreateTestFile(const std::string& p) override {
    return Wrap(SystemDriveIo().CreateTestFile(p));
  }
  void RemoveTestFile(const std::string& p, DriveFile& f) override {
    SystemDriveIo().RemoveTestFile(p, *static_cast<File&>(f).real);
  }
  std::unique_ptr<DriveFile> OpenReadOnly(const std::string& p) override {
    return Wrap(SystemDriveIo().OpenReadOnly(p));
  }
  std::atomic<int> reads{0};

 private:
  struct File final : DriveFile {
    File(std::unique_ptr<DriveFile> f, SlowedIo& o) : real(std::move(f)), owner(o) {}
    bool Write(const uint8_t* d, int32_t s, int64_t o) override {
      std::this_thread::sleep_for(owner.writeDelay_);
      return real->Write(d, s, o);
    }
    int32_t Read(uint8_t* d, int32_t s, int64_t o) override {
      std::this_thread::sleep_for(owner.readDelay_);
      ++owner.reads;
      return real->Read(d, s, o);
    }
    void DropCache() override { real->DropCache(); }
    bool Direct() const override { return real->Direct(); }
    std::unique_ptr<DriveFile> real;
    SlowedIo& owner;
  };
  std::unique_ptr<DriveFile> Wrap(std::unique_ptr<DriveFile> real) {
    return real ? std::make_unique<File>(std::move(real), *this) : nullptr;
  }
  std::chrono::milliseconds writeDelay_, readDelay_;
};

TEST(DriveLoopTest, TheReadBlockNeverGrowsPastASlowWriteBlock) {
  Fixture f;
  SlowedIo slowWrites(15, 0);
  f.services.driveIo = &slowWrites;
  test::TempDir dir;
  const int row = f.host.AddRow(dir.Path(), ResourceKind::Drive, 0, true, 1024, 2500);
  TPingThread* t = nullptr;
  std::vector<std::pair<int32_t, int32_t>> sizes;
  f.host.onRepaint = [&](int col, int r) {
    if (col == Col::ReadSpeed && CellSpeed(f.host.table.Cell(col, r)) > 0) {
      sizes.emplace_back(TransferOf(*t).writeSize, TransferOf(*t).readSize);
    }
  };
  t = f.host.Start(row, f.services);
  EXPECT_TRUE(f.host.PumpUntil([&] { return sizes.size() >= 6; }));
  f.host.onRepaint = nullptr;
  TPingThread::Destroy(t);
  // Writes over 10 ms do not grow; below 10 KB they do not shrink either.
  for (const auto& [write, read] : sizes) {
    EXPECT_EQ(write, 1024);
    EXPECT_EQ(read, 1024);
  }
}

TEST(DriveLoopTest, StopDuringALongReadEndsItAtTheNextBlockWithASpeed) {
  Fixture f;
  SlowedIo slow(0, 20);
  f.services.driveIo = &slow;
  test::TempDir dir;
  const std::string path = dir.File("big.iso");
  constexpr int kBlocks = 100;  // two seconds a pass
  std::ofstream(path, std::ios::binary) << std::string(kBlocks * 64512, 'b');
  const int row = f.host.AddRow(path, ResourceKind::File, 1000, true, 1024, 2500);
  TPingThread* t = f.host.Start(row, f.services);
  ASSERT_TRUE(f.host.PumpUntil([&] { return slow.reads >= 5; }));
  t->Paused = true;
  int last = -1;
  // The reads stop within a block or two of the pause.
  EXPECT_TRUE(f.host.PumpUntil([&] {
    const int now = slow.reads;
    const bool still = now == last;
    last = now;
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    return still;
  }));
  EXPECT_LT(slow.reads, 10);
  EXPECT_GT(t->Snapshot().readHistory.back(), 0);  // the partial pass gave a speed
  TPingThread::Destroy(t);
}

}  // namespace
}  // namespace tw
