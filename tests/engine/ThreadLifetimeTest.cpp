// A measurement thread's lifetime and waits: a thread stuck in a system call
// that outlives its owner, and the sleeping waits that must still react at
// once to the UI's flags.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/PingThread.h"
#include "support/TempDir.h"
#include "tests/engine/EngineHost.h"
#include "tests/engine/HungDrive.h"

namespace tw {
namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

struct Owner {
  test::EngineHost host;
  EngineServices services{host.dispatcher, SystemClock(), host, false};
};

TEST(ThreadLifetimeTest, AThreadStuckInADriveWriteOutlivesItsOwnerSafely) {
  test::HungDrive drive;
  auto owner = std::make_unique<Owner>();
  owner->services.driveIo = &drive;
  const int row = owner->host.AddRow("/hung/share", ResourceKind::Drive, 1000, true, 1024, 2500);
  TPingThread* t = owner->host.Start(row, owner->services);
  ASSERT_TRUE(owner->host.PumpUntil([&] { return drive.Writing(); }));
  TPingThread::Destroy(t, 100);  // gives up: the write does not return
  const std::weak_ptr<QueueDispatcher> left = owner->host.dispatcher;
  owner.reset();  // the window and everything it owned are gone
  // The drive answers: the thread finishes its cycle alone (its display
  // update is refused), closes the file and frees itself.
  drive.Answer();
  EXPECT_TRUE(drive.WaitClosed(5000));
  const auto end = Clock::now() + Ms(5000);
  while (!left.expired() && Clock::now() < end) std::this_thread::sleep_for(Ms(1));
  EXPECT_TRUE(left.expired());
}

// Periods far longer than the test: only a wake-up can end these waits.
TEST(ThreadLifetimeTest, SleepingWaitsReactAtOnceToTheUi) {
  test::TempDir dir;
  const std::string file = dir.File("small.iso");
  std::ofstream(file, std::ios::binary) << std::string(1000, 'x');
  const struct {
    const char* what;
    ResourceKind kind;
    std::function<void(TPingThread&, test::EngineHost&)> act;
    std::function<bool(TPingThread&, test::EngineHost&, int shown)> reacted;
  } cases[] = {
      {"pause ends the cycle wait of a drive thread, which measures on", ResourceKind::Drive,
       [](TPingThread& t, test::EngineHost&) { t.Paused = true; },
       [](TPingThread& t, test::EngineHost&, int) {
         return t.Snapshot().readHistory[kHistoryLength - 3] > 0;
       }},
      {"stop ends the cycle wait and the thread", ResourceKind::File,
       [](TPingThread& t, test::EngineHost&) { t.StopRequested = true; },
       [](TPingThread& t, test::EngineHost&, int) { return t.Finished(); }},
      {"a shorter period ends the cycle wait", ResourceKind::File,
       [](TPingThread& t, test::EngineHost& h) {
         h.table.SetCell(Col::ProcessDelay, t.Row(), "10");
         LoadRowSettings(t, h.table);
       },
       [](TPingThread&, test::EngineHost&, int shown) { return shown >= 3; }},
      {"suspension holds a waiting thread", ResourceKind::File,
       [](TPingThread& t, test::EngineHost&) { t.Suspend(); },
       [](TPingThread& t, test::EngineHost&, int) { return t.IsHeld(); }},
      {"a restart ends the idle wait of a thread with nothing to measure", ResourceKind::None,
       [](TPingThread& t, test::EngineHost& h) { LoadRowSettings(t, h.table); },
       [](TPingThread&, test::EngineHost&, int shown) { return shown >= 2; }},
  };
  for (const auto& c : cases) {
    test::EngineHost host;
    EngineServices services{host.dispatcher, SystemClock(), host, false};
    const int row = host.AddRow(c.kind == ResourceKind::Drive ? dir.Path() : file, c.kind, 600000,
                                true, 1024, 2500);
    int shown = 0;  // speeds, or "Testing..." for the idle thread
    host.onRepaint = [&](int col, int r) {
      const std::string& text = host.table.Cell(col, r);
      shown += col == Col::PingSpeed ? text == "Testing..." : test::CellSpeed(text) >= 0;
    };
    TPingThread* t = host.Start(row, services);
    ASSERT_TRUE(host.PumpUntil([&] { return shown >= 1; })) << c.what;
    host.PumpUntil([] { return false; }, 50);  // now in its long wait
    const auto start = Clock::now();
    c.act(*t, host);
    EXPECT_TRUE(host.PumpUntil([&] { return c.reacted(*t, host, shown); }, 2000)) << c.what;
    EXPECT_LT(Clock::now() - start, Ms(500)) << c.what;
    host.onRepaint = nullptr;
    TPingThread::Destroy(t);
  }
}

}  // namespace
}  // namespace tw
