#include <gtest/gtest.h>

#include <chrono>

#include "engine/PingThread.h"
#include "platform/Clock.h"
#include "platform/fake/FakeClock.h"
#include "support/FakeHost.h"

namespace tw {
namespace {

using Ms = std::chrono::milliseconds;

struct Fixture {
  test::FakeHost host;
  EngineServices services{host.dispatcher, SystemClock(), host, false};
};

// A thread of an unknown kind measures nothing: the spine alone.
TPingThread* MakeThread(Fixture& f, const std::string& address, const std::string& kind) {
  const int row = f.host.AddRow(address, kind);
  auto* thread = new TPingThread(row, f.services);
  f.host.table.AttachThread(row, thread);
  LoadRowSettings(*thread, f.host.table);
  return thread;
}

TEST(PingThreadTest, ReferenceSpeedIsRunningMaximumThenWindowMeans) {
  Fixture f;
  TPingThread* t = MakeThread(f, "x", "9");
  const double first[] = {5, 3, 8, 2};
  for (double x : first) t->UpdateReferenceSpeed(x);
  EXPECT_DOUBLE_EQ(t->Snapshot().referenceSpeed, 8);  // running maximum
  // 96 more samples above 0 close the first window of 100: their mean.
  double sum = 5 + 3 + 8 + 2;
  for (int i = 0; i < 96; ++i) {
    t->UpdateReferenceSpeed(4);
    sum += 4;
  }
  EXPECT_DOUBLE_EQ(t->Snapshot().referenceSpeed, sum / 100);
  const double mean = sum / 100;
  // Samples not above the mean leave the window alone; 100 above it close it.
  for (int i = 0; i < 500; ++i) t->UpdateReferenceSpeed(1);
  EXPECT_DOUBLE_EQ(t->Snapshot().referenceSpeed, mean);
  for (int i = 0; i < 99; ++i) t->UpdateReferenceSpeed(10);
  EXPECT_DOUBLE_EQ(t->Snapshot().referenceSpeed, mean);
  t->UpdateReferenceSpeed(10);
  EXPECT_DOUBLE_EQ(t->Snapshot().referenceSpeed, 10);
  TPingThread::Destroy(t);
}

TEST(PingThreadTest, HistoriesKeepTheLast100OldestFirst) {
  Fixture f;
  TPingThread* t = MakeThread(f, "x", "9");
  for (int i = 1; i <= 105; ++i) {
    t->SetReadSpeed(i);
    t->SetWriteSpeed(-i);
  }
  const MeasurementSnapshot s = t->Snapshot();
  EXPECT_EQ(s.readHistory.front(), 6);
  EXPECT_EQ(s.readHistory.back(), 105);
  EXPECT_EQ(s.writeHistory.back(), -105);
  EXPECT_EQ(s.readSpeed, 105);
  EXPECT_EQ(s.pingHistory.back(), 0);
  TPingThread::Destroy(t);
}

TEST(PingThreadTest, OnlyAnAddressChangeForcesANewResolution) {
  Fixture f;
  TPingThread* t = MakeThread(f, "127.0.0.1", KindText(ResourceKind::Echo));
  const HostAddress loopback = ParseNumericAddress("127.0.0.1");
  EXPECT_TRUE(t->SetIpAddress("127.0.0.1", loopback));
  f.host.table.SetCell(Col::ProcessDelay, t->Row(), "500");
  f.host.table.SetCell(Col::Timeout, t->Row(), "100");
  LoadRowSettings(*t, f.host.table);
  EXPECT_EQ(t->IpAddress(), loopback);
  EXPECT_EQ(t->PeriodMs(), 500);
  EXPECT_EQ(t->TimeoutMs(), 100);
  EXPECT_TRUE(t->RestartRequested);
  f.host.table.SetCell(Col::Resource, t->Row(), "localhost");
  LoadRowSettings(*t, f.host.table);
  EXPECT_FALSE(t->IpAddress().Resolved());
  // A lookup of the old text that ends after the change is not kept.
  EXPECT_FALSE(t->SetIpAddress("127.0.0.1", loopback));
  EXPECT_FALSE(t->IpAddress().Resolved());
  EXPECT_EQ(t->Settings().address, "localhost");
  TPingThread::Destroy(t);
}

TEST(PingThreadTest, AutoSizeIsTheLowByteOfTheCell) {
  Fixture f;
  TPingThread* t = MakeThread(f, "x", KindText(ResourceKind::Drive));
  for (const auto& [text, on] : {std::pair<const char*, bool>{"1", true},
                                 {"0", false},
                                 {"256", false},
                                 {"257", true},
                                 {"", false}}) {
    f.host.table.SetCell(Col::AutoSize, t->Row(), text);
    LoadRowSettings(*t, f.host.table);
    EXPECT_EQ(t->AutoSize(), on) << text;
  }
  TPingThread::Destroy(t);
}

TEST(PingThreadTest, ThreadWithNothingToMeasureShowsTestingAndIdles) {
  // Host rows without ICMP, and rows of an unknown kind, keep "Testing...".
  Fixture f;
  for (const char* kind : {"3", "9"}) {
    TPingThread* t = MakeThread(f, "somewhere", kind);
    t->Resume();
    EXPECT_TRUE(f.host.PumpUntil([&] { return f.host.table.Cell(4, t->Row()) == "Testing..."; }))
        << kind;
    f.host.PumpUntil([] { return false; }, 100);
    EXPECT_EQ(f.host.table.Cell(4, t->Row()), "Testing...");
    EXPECT_EQ(t->Snapshot().pingHistory.back(), 0);
    TPingThread::Destroy(t);
  }
}

TEST(PingThreadTest, DestroyReleasesAWorkerBlockedInAHandOver) {
  Fixture f;
  TPingThread* t = MakeThread(f, "x", KindText(ResourceKind::Echo));
  t->Resume();
  // Nobody pumps: the worker waits in its first display update.
  while (f.host.dispatcher->PendingCount() == 0) std::this_thread::sleep_for(Ms(1));
  const auto start = std::chrono::steady_clock::now();
  TPingThread::Destroy(t);
  EXPECT_LT(std::chrono::steady_clock::now() - start, Ms(2000));
  EXPECT_EQ(f.host.dispatcher->PendingCount(), 0u);
}

TEST(PingThreadTest, DestroyEndsASuspendedThread) {
  Fixture f;
  TPingThread* t = MakeThread(f, "x", KindText(ResourceKind::Drive));
  const auto start = std::chrono::steady_clock::now();
  TPingThread::Destroy(t);  // never resumed
  EXPECT_LT(std::chrono::steady_clock::now() - start, Ms(500));
}

TEST(PingThreadTest, PausedThreadSkipsDisplayUpdates) {
  Fixture f;
  TPingThread* t = MakeThread(f, "x", KindText(ResourceKind::Echo));
  t->Resume();
  ASSERT_TRUE(f.host.PumpUntil([&] { return f.host.table.Cell(4, t->Row()) == "Testing..."; }));
  f.host.table.SetCell(4, t->Row(), "last");
  t->Paused = true;
  LoadRowSettings(*t, f.host.table);  // restart: a new "Testing..." is due
  f.host.PumpUntil([] { return false; }, 300);
  EXPECT_EQ(f.host.table.Cell(4, t->Row()), "last");
  TPingThread::Destroy(t);
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

TEST(PingThreadTrendTest, QuarterHourMeansAreHandedOverOncePerQuarter) {
  test::FakeHost host;
  FakeClock clock;
  clock.SetLocalNow({2026, 12, 8, 10, 0, 5});
  EngineServices services{host.dispatcher, clock, host, false};
  const int row = host.AddRow("\\\\server\\share", "9");
  auto* t = new TPingThread(row, services);
  LoadRowSettings(*t, host.table);
  t->Resume();
  ASSERT_TRUE(host.PumpUntil([&] { return host.table.Cell(4, row) == "Testing..."; }));
  // Started in minute 0 with no write yet this run: minute 0 writes nothing.
  host.PumpUntil([] { return false; }, 100);
  EXPECT_TRUE(host.appends.empty());

  t->AddTrendSums(1, 2, 3);
  t->AddTrendSums(3, 6, 9);
  clock.SetLocalNow({2026, 12, 8, 10, 15, 0});
  ASSERT_TRUE(host.PumpUntil([&] { return host.appends.size() == 1; }));
  EXPECT_EQ(host.appends[0].name, "\\\\server\\share");
  EXPECT_DOUBLE_EQ(host.appends[0].write, 2);
  EXPECT_DOUBLE_EQ(host.appends[0].read, 4);
  EXPECT_DOUBLE_EQ(host.appends[0].ping, 6);
  host.PumpUntil([] { return false; }, 100);
  EXPECT_EQ(host.appends.size(), 1u);  // once per quarter

  // Recording off: nothing is written and the sums keep growing.
  host.trendEnabled = false;
  t->AddTrendSums(10, 10, 10);
  clock.SetLocalNow({2026, 12, 8, 10, 30, 0});
  host.PumpUntil([] { return false; }, 150);
  EXPECT_EQ(host.appends.size(), 1u);
  host.trendEnabled = true;
  t->AddTrendSums(20, 20, 20);
  clock.SetLocalNow({2026, 12, 8, 10, 45, 0});
  ASSERT_TRUE(host.PumpUntil([&] { return host.appends.size() == 2; }));
  EXPECT_DOUBLE_EQ(host.appends[1].read, 15);
  TPingThread::Destroy(t);
}

}  // namespace
}  // namespace tw
