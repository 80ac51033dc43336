#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "monitor/Sampling.h"
#include "platform/Clock.h"
#include "support/FakeHost.h"
#include "tests/engine/HungDrive.h"

namespace tw {
namespace {

class RecordingTick final : public TickHandler {
 public:
  void ClearChart() override { calls.push_back("clear"); }
  void DrawRow(int row, const MeasurementSnapshot&) override {
    calls.push_back("draw" + std::to_string(row));
  }
  void CheckEvents(int row, double speed) override {
    calls.push_back("events" + std::to_string(row));
  }
  int SelectedRow() const override { return selected; }
  void SetSpeedIcon(int index) override { calls.push_back("icon" + std::to_string(index)); }
  void FinishChart() override { calls.push_back("finish"); }
  std::vector<std::string> calls;
  int selected = 2;
};

struct Spine {
  test::FakeHost host;
  EngineServices services{host.dispatcher, SystemClock(), host, false};
  SamplingControl sampling{host.table, SystemClock()};

  Spine(int rows) {
    sampling.SetFlagWaitMs(20);
    for (int i = 0; i < rows; ++i) {
      const int row = host.AddRow("r" + std::to_string(i), ResourceKind::None);
      auto* thread = new TPingThread(row, services);
      host.table.AttachThread(row, thread);
      LoadRowSettings(*thread, host.table);
    }
  }
  ~Spine() {
    sampling.CloseThreads([this] { host.dispatcher->Cancel(); });
  }
};

TEST(SamplingTest, IconIndexIsTwelfthsOfTheReference) {
  const struct {
    double speed, reference;
    int index;
  } cases[] = {{0, 0, 0},  {5, 0, 0},    {0, 12, 0},   {12, 12, 12}, {24, 12, 12},
               {6, 12, 6}, {0.5, 12, 0}, {1.5, 12, 2}, {2.5, 12, 2}, {-3, 12, 0}};
  for (const auto& c : cases) EXPECT_EQ(SpeedIconIndex(c.speed, c.reference), c.index) << c.speed;
}

TEST(SamplingTest, StopTwiceThenStartLeavesEveryThreadRunning) {
  Spine spine(3);
  spine.sampling.StartThreads();
  spine.sampling.StopThreads();
  spine.sampling.StopThreads();
  spine.sampling.StartThreads();
  for (int row = 1; row <= 3; ++row) {
    TPingThread* t = spine.host.table.Thread(row);
    EXPECT_FALSE(t->IsSuspended());
    EXPECT_FALSE(t->Paused);
  }
  // Running threads reach their display update again.
  EXPECT_TRUE(spine.host.PumpUntil([&] { return spine.host.table.Cell(4, 3) == "Testing..."; }));
}

TEST(SamplingTest, StopSuspendsEveryThreadAtASafePoint) {
  Spine spine(2);
  spine.sampling.StartThreads();
  spine.host.PumpUntil([&] { return spine.host.table.Cell(4, 2) == "Testing..."; });
  spine.sampling.StopThreads();
  EXPECT_TRUE(spine.host.PumpUntil([&] {
    return spine.host.table.Thread(1)->IsHeld() && spine.host.table.Thread(2)->IsHeld();
  }));
}

TEST(SamplingTest, TickModeChecksEventsAndIconRedrawModeOnlyDraws) {
  Spine spine(2);
  RecordingTick tick;
  EXPECT_TRUE(spine.sampling.Tick(TickMode::Tick, tick));
  EXPECT_EQ(tick.calls, (std::vector<std::string>{"clear", "draw1", "events1", "draw2", "events2",
                                                  "icon0", "finish"}));
  tick.calls.clear();
  EXPECT_TRUE(spine.sampling.Tick(TickMode::Redraw, tick));
  EXPECT_EQ(tick.calls, (std::vector<std::string>{"clear", "draw1", "draw2", "finish"}));
}

// A tick redraws the live chart only when something it shows has changed:
// a hundred idle resources must not cost a full chart 20 times a second.
TEST(SamplingTest, TickRedrawsTheChartOnlyForNewSamplesOrChangedRows) {
  Spine spine(2);
  RecordingTick tick;
  const std::vector<std::string> eventsOnly{"events1", "events2", "icon0"};
  const std::vector<std::string> drawn{"clear",   "draw1", "events1", "draw2",
                                       "events2", "icon0", "finish"};
  const auto run = [&] {
    tick.calls.clear();
    EXPECT_TRUE(spine.sampling.Tick(TickMode::Tick, tick));
    return tick.calls;
  };
  EXPECT_EQ(run(), drawn);
  EXPECT_EQ(run(), eventsOnly);
  spine.host.table.Thread(2)->SetReadSpeed(12.5);
  EXPECT_EQ(run(), drawn);
  EXPECT_EQ(run(), eventsOnly);
  spine.host.table.SetCell(Col::ReadColor, 1, "clLime");
  EXPECT_EQ(run(), drawn);
  spine.host.table.Thread(1)->SetPingSpeed(3);
  EXPECT_EQ(run(), drawn);
  EXPECT_EQ(run(), eventsOnly);
}

TEST(SamplingTest, TickWithoutResourcesDrawsAnEmptyChart) {
  Spine spine(0);
  RecordingTick tick;
  EXPECT_TRUE(spine.sampling.Tick(TickMode::Tick, tick));
  EXPECT_EQ(tick.calls, (std::vector<std::string>{"clear", "finish"}));
}

// A service must end in bounded time even when network drives hang: two
// threads stuck in a write would each take Destroy's own two seconds.
TEST(SamplingTest, ABoundedCloseEndsInTimeAlthoughThreadsAreStuck) {
  test::HungDrive drive;  // outlives the threads that are left behind
  std::weak_ptr<QueueDispatcher> left;
  {
    test::FakeHost host;
    left = host.dispatcher;
    EngineServices services{host.dispatcher, SystemClock(), host, false};
    services.driveIo = &drive;
    host.AddRow("/hung/share", ResourceKind::Drive);
    host.AddRow("/hung/other", ResourceKind::Drive);
    AttachRowThreads(host.table, services);
    SamplingControl sampling{host.table, SystemClock()};
    sampling.SetFlagWaitMs(20);
    sampling.SetCloseBoundMs(300);
    sampling.StartThreads();
    ASSERT_TRUE(host.PumpUntil([&] { return drive.Writing(); }));
    const auto start = std::chrono::steady_clock::now();
    sampling.CloseThreads([&host] { host.dispatcher->Cancel(); });
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(1000));
    for (int row = 1; row <= 2; ++row) EXPECT_EQ(host.table.Thread(row), nullptr);
  }
  drive.Answer();
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!left.expired() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(left.expired());
}

}  // namespace
}  // namespace tw
