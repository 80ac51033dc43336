// A network share whose server stops answering (the sshfs process stopped)
// under the window's logic: the sampling tick shows "No response" once a
// transfer has hung for longer than the row's timeout, a minimum-speed event
// sees a speed of 0 and runs its program at once, measuring goes on by itself when
// the share answers again, and closing does not wait for the hung transfer.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/PingThread.h"
#include "monitor/RowThreads.h"
#include "monitor/Sampling.h"
#include "monitor/SpeedEvents.h"
#include "platform/ProgramLauncher.h"
#include "support/SshfsShare.h"
#include "support/TempDir.h"
#include "tests/engine/EngineHost.h"
#include "util/CommandLine.h"

extern char** environ;

namespace tw {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;
using test::SshfsShare;

constexpr int kTimeoutMs = 3000;

// Starts event programs for real, without a shell, through the launcher as
// the window and the service do, and keeps how long the starts took. A start that
// forked this process would get going only once the share answers: its exec
// closes this process's descriptors of files on the share, and FUSE asks
// the hung server to flush each of them. The launcher holds none of them.
class ProgramActions final : public EventActions {
 public:
  void PlaySoundFile(const std::string&) override {}
  void RunProgram(const std::string& commandLine, const std::string&) override {
    std::vector<std::string> words = SplitCommandLine(commandLine);
    if (words.empty()) return;
    ProgramStart start;
    start.program = words.front();
    start.arguments.assign(words.begin() + 1, words.end());
    start.folders = {fs::current_path().string()};
    for (char** entry = environ; *entry != nullptr; ++entry) start.environment.emplace_back(*entry);
    const auto begin = Clock::now();
    outcome = LaunchProgram(start);
    const auto took = Clock::now() - begin;
    startTime += took;
    longestStart = std::max(longestStart, took);
  }
  void CloseProgramByFile(const std::string&) override {}
  void CloseProgramByTitle(const std::string&) override {}
  void ShowNotification(const std::string&) override {}

  LaunchOutcome outcome = LaunchOutcome::Unavailable;
  Clock::duration startTime{}, longestStart{};
};

// The window's side of the tick: events with real actions, the cells the
// tick changed, and how long the slowest tick took.
class Window final : public TickHandler {
 public:
  Window(ResourceTable& table, tw::Clock& clock) : events_(table, clock, actions) {}
  void ClearChart() override {}
  void DrawRow(int, const MeasurementSnapshot&) override {}
  void CheckEvents(int row, double speed) override { events_.Check(row, speed); }
  int SelectedRow() const override { return 1; }
  void SetSpeedIcon(int) override {}
  void FinishChart() override {}
  void SpeedCellChanged(int col, int) override { changedCells.push_back(col); }

  std::vector<int> changedCells;
  ProgramActions actions;

 private:
  SpeedEvents events_;
};

class HungShareTest : public test::LauncherShareTest {
 protected:
  void SetUp() override {
    LauncherShareTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::ofstream(share_->ServedFolder() + "/readonly.bin", std::ios::binary)
        << std::string(256 * 1024, 'r');
  }
  void TearDown() override {
    if (share_ != nullptr) share_->Answer();
  }

  // A row of `kind` on the share whose minimum-speed event touches `flag`.
  int AddRow(ResourceKind kind, const std::string& flag) {
    const std::string address =
        kind == ResourceKind::Drive ? share_->MountPoint() : share_->MountPoint() + "/readonly.bin";
    const int row = owner->host.AddRow(address, kind, 100, true, 1024, kTimeoutMs);
    ResourceTable& t = owner->host.table;
    t.SetCell(Col::PerformMinSpeed, row, "1");
    t.SetCell(Col::MinSpeed, row, "1");
    t.SetCell(Col::MinTimeout, row, "2");
    t.SetCell(Col::MinOnce, row, "1");
    t.SetCell(Col::MinAction, row, "1");
    t.SetCell(Col::MinCommand, row, "touch \"" + flag + "\"");
    return row;
  }

  // Runs the UI thread: hand-overs and a sampling tick every 50 ms, until
  // `done` or `ms` are up; remembers the slowest tick.
  bool RunUntil(const std::function<bool()>& done, int ms) {
    const auto end = Clock::now() + Ms(ms);
    while (Clock::now() < end) {
      owner->host.PumpUntil([] { return false; }, 50);
      const auto start = Clock::now();
      // A program start is the action's own work, not a wait for the share.
      const auto programs = window.actions.startTime;
      owner->sampling.Tick(TickMode::Tick, window);
      slowestTick =
          std::max(slowestTick, Clock::now() - start - (window.actions.startTime - programs));
      if (done()) return true;
    }
    return false;
  }

  std::string Cell(int col, int row) const { return owner->host.table.Cell(col, row); }

  struct Owner {
    test::EngineHost host;
    EngineServices services{host.dispatcher, SystemClock(), host, false};
    SamplingControl sampling{host.table, SystemClock()};
  };
  std::unique_ptr<Owner> owner = std::make_unique<Owner>();
  Window window{owner->host.table, SystemClock()};
  Clock::duration slowestTick{};
  test::TempDir dir;
};

TEST_F(HungShareTest, NoResponseAfterTheTimeoutFiresTheMinimumEventAndRecovers) {
  for (ResourceKind kind : {ResourceKind::Drive, ResourceKind::File}) {
    const std::string what = kind == ResourceKind::Drive ? "drive" : "file";
    const std::string flag = dir.File(what + ".fired");
    const int row = AddRow(kind, flag);
    window.actions.longestStart = {};
    const int statusCol = kind == ResourceKind::Drive ? Col::WriteSpeed : Col::ReadSpeed;
    TPingThread* t = owner->host.Start(row, owner->services);
    ASSERT_TRUE(RunUntil([&] { return test::CellSpeed(Cell(Col::ReadSpeed, row)) > 0; }, 10000))
        << what;

    share_->Hang();
    const auto hung = Clock::now();
    ASSERT_TRUE(RunUntil([&] { return Cell(statusCol, row) == kNoResponseText; }, 8000)) << what;
    const auto noResponse = Clock::now() - hung;
    // The call in progress may have begun a little before the hang.
    EXPECT_GE(noResponse, Ms(kTimeoutMs - 500)) << what;
    EXPECT_LE(noResponse, Ms(kTimeoutMs + 1500)) << what;
    EXPECT_EQ(Cell(Col::ReadSpeed, row), kind == ResourceKind::Drive ? "" : kNoResponseText);
    // The minimum event's 2 s count from the first tick with speed 0.
    EXPECT_TRUE(RunUntil([&] { return Cell(Col::MinPerformed, row) == "1"; }, 5000)) << what;
    EXPECT_EQ(Cell(statusCol, row), kNoResponseText) << what;
    // Its program runs while the share still hangs, started at once.
    EXPECT_TRUE(RunUntil([&] { return fs::exists(flag); }, 2000)) << what;
    EXPECT_EQ(window.actions.outcome, LaunchOutcome::Started) << what;
    EXPECT_LT(window.actions.longestStart, Ms(1000)) << what;
    std::printf("program start while the %s share hangs: %.1f ms\n", what.c_str(),
                std::chrono::duration<double, std::milli>(window.actions.longestStart).count());

    share_->Answer();
    EXPECT_TRUE(RunUntil([&] { return test::CellSpeed(Cell(Col::ReadSpeed, row)) > 0; }, 10000))
        << what;
    EXPECT_TRUE(RunUntil([&] { return fs::exists(flag); }, 5000)) << what;
    // A hung share never holds up the window's tick.
    EXPECT_LT(slowestTick, Ms(50)) << what;
    TPingThread::Destroy(t);
    owner->host.table.DetachThread(row);
    owner->host.table.SetRowCount(row);
  }
}

TEST_F(HungShareTest, ClosingWhileATransferHangsTakesAtMost2500Ms) {
  const int row = AddRow(ResourceKind::Drive, dir.File("unused"));
  TPingThread* t = owner->host.Start(row, owner->services);
  ASSERT_TRUE(RunUntil([&] { return test::CellSpeed(Cell(Col::ReadSpeed, row)) > 0; }, 10000));
  share_->Hang();
  ASSERT_TRUE(RunUntil([&] { return t->BlockedForMs() > 300; }, 5000));

  // As the window closes: stop sampling, then end the threads.
  const auto start = Clock::now();
  owner->sampling.StopThreads();
  owner->sampling.CloseThreads([this] { owner->host.dispatcher->Cancel(); });
  const auto took = Clock::now() - start;
  EXPECT_LE(took, Ms(2500));
  std::printf("close while a transfer hangs: %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<Ms>(took).count()));

  // The window and all it owned are gone; the share answers, and the thread
  // left behind finishes its call and frees itself.
  const std::weak_ptr<QueueDispatcher> left = owner->host.dispatcher;
  owner.reset();
  share_->Answer();
  const auto end = Clock::now() + Ms(10000);
  while (!left.expired() && Clock::now() < end) std::this_thread::sleep_for(Ms(5));
  EXPECT_TRUE(left.expired());
  // Its test file went with it.
  EXPECT_FALSE(fs::exists(share_->ServedFolder() + "/MRL.TST"));
}

}  // namespace
}  // namespace tw
