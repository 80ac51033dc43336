// A host given by name that moves: the name is looked up again every 5
// minutes (a clock the test moves forward) and after 3 timeouts in a row,
// without holding up the echoes, and the echoes follow the new address.
// Echoes go to 127.0.0.2 and 127.0.0.3, which the loopback answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "engine/PingThread.h"
#include "platform/fake/OffsetClock.h"
#include "support/NetNamespace.h"
#include "support/PrivateHostsFile.h"
#include "tests/engine/EchoTargets.h"
#include "tests/engine/EngineHost.h"

namespace tw {
namespace {

using test::CellSpeed;
using test::EngineHost;

const HostAddress kFirst = ParseNumericAddress("127.0.0.2");
const HostAddress kSecond = ParseNumericAddress("127.0.0.3");
const char* const kNote = "Address changed: 127.0.0.2 -> 127.0.0.3";
constexpr int64_t kFiveMinutesMs = 5 * 60 * 1000;

struct Fixture {
  EngineHost host;
  OffsetClock clock;
  test::EchoTargets targets;
  EngineServices services{host.dispatcher, clock, host, true};
  std::vector<std::string> texts;  // the echo cell's texts, in order
  Fixture() {
    services.echo = &targets;
    host.onRepaint = [this](int col, int r) {
      if (col == Col::PingSpeed) texts.push_back(host.table.Cell(col, r));
    };
  }
  size_t Notes() const {
    return static_cast<size_t>(std::count(texts.begin(), texts.end(), kNote));
  }
  // Echoes sent after the first `from`.
  size_t EchoesAfter(size_t from) { return targets.Count() - from; }
};

// A name server the test controls: answers with `answer`, counts the
// questions, and can hold a question until the test lets it go.
struct MovableName {
  std::mutex mutex;
  HostAddress answer = kFirst;
  int32_t error = 0;
  int asked = 0;
  std::shared_future<void> hold;  // while valid, questions wait for it
  Resolver resolver = [this](const std::string&) {
    std::shared_future<void> wait;
    {
      std::lock_guard<std::mutex> lock(mutex);
      ++asked;
      wait = hold;
    }
    if (wait.valid()) wait.wait();
    std::lock_guard<std::mutex> lock(mutex);
    return LookupOutcome{error, error == 0 ? answer : HostAddress{}};
  };
  int Asked() {
    std::lock_guard<std::mutex> lock(mutex);
    return asked;
  }
  void MoveTo(const HostAddress& to, int32_t failure = 0) {
    std::lock_guard<std::mutex> lock(mutex);
    answer = to;
    error = failure;
  }
};

bool EchoUsable() {
  return SystemEcho().Open() != nullptr;
}

TEST(AddressChangeTest, TheNameIsLookedUpAgainAfterFiveMinutesAndTheEchoesFollowIt) {
  if (!EchoUsable()) GTEST_SKIP() << "this user may not open ICMP sockets";
  Fixture f;
  MovableName name;
  f.services.resolver = &name.resolver;
  const int row = f.host.AddRow("mover.example", ResourceKind::Echo, 10, false, 1024, 2000);
  TPingThread* t = f.host.Start(row, f.services);
  ASSERT_TRUE(f.host.PumpUntil([&] { return f.targets.Count() >= 5; }));
  name.MoveTo(kSecond);
  // Not yet due: the echoes stay where they were.
  const size_t before = f.targets.Count();
  ASSERT_TRUE(f.host.PumpUntil([&] { return f.EchoesAfter(before) >= 10; }));
  EXPECT_EQ(name.Asked(), 1);
  EXPECT_EQ(f.targets.CountTo(kSecond), 0u);
  f.clock.AdvanceMs(kFiveMinutesMs);
  EXPECT_TRUE(f.host.PumpUntil([&] { return f.targets.CountTo(kSecond) >= 10; }));
  TPingThread::Destroy(t);
  EXPECT_EQ(name.Asked(), 2);
  // Once moved, every echo goes to the new address.
  const auto sent = f.targets.Sent();
  const auto firstNew = std::find(sent.begin(), sent.end(), kSecond);
  EXPECT_TRUE(std::all_of(firstNew, sent.end(), [](const HostAddress& a) { return a == kSecond; }));
  // The change shows once, in place of one speed, and speeds follow.
  EXPECT_EQ(f.Notes(), 1u);
  const auto note = std::find(f.texts.begin(), f.texts.end(), kNote);
  ASSERT_NE(note, f.texts.end());
  ASSERT_NE(note + 1, f.texts.end());
  EXPECT_GT(CellSpeed(*(note + 1)), 0) << *(note + 1);
}

TEST(AddressChangeTest, ThreeTimeoutsInARowLookTheNameUpWhileTheEchoesGoOn) {
  if (!EchoUsable()) GTEST_SKIP() << "this user may not open ICMP sockets";
  Fixture f;
  MovableName name;
  f.services.resolver = &name.resolver;
  const int row = f.host.AddRow("mover.example", ResourceKind::Echo, 10, false, 1024, 2000);
  TPingThread* t = f.host.Start(row, f.services);
  ASSERT_TRUE(f.host.PumpUntil([&] { return f.targets.Count() >= 3; }));
  // The host moves away; the second lookup hangs until released.
  std::promise<void> release;
  {
    std::lock_guard<std::mutex> lock(name.mutex);
    name.answer = kSecond;
    name.hold = release.get_future().share();
  }
  f.targets.Unreachable(kFirst);
  const size_t before = f.targets.Count();
  ASSERT_TRUE(f.host.PumpUntil([&] { return name.Asked() == 2; }));
  // Asked after the third timeout, not before (more echoes may have gone
  // out before the helper thread ran, on a slow machine).
  EXPECT_GE(f.EchoesAfter(before), 3u);
  EXPECT_LE(f.EchoesAfter(before), 10u);
  // The hanging lookup holds nothing up: the echoes go on, still to the
  // old address, and show "Timeout".
  const size_t hanging = f.targets.Count();
  EXPECT_TRUE(f.host.PumpUntil([&] { return f.EchoesAfter(hanging) >= 10; }));
  EXPECT_EQ(f.targets.CountTo(kSecond), 0u);
  EXPECT_EQ(f.host.table.Cell(4, row), "Timeout");
  release.set_value();
  EXPECT_TRUE(f.host.PumpUntil([&] { return CellSpeed(f.host.table.Cell(4, row)) > 0; }));
  TPingThread::Destroy(t);
  EXPECT_EQ(f.Notes(), 1u);
  EXPECT_GT(f.targets.CountTo(kSecond), 0u);
}

TEST(AddressChangeTest, AFailedLookupKeepsTheAddressAndCloseNeverWaitsForOne) {
  if (!EchoUsable()) GTEST_SKIP() << "this user may not open ICMP sockets";
  Fixture f;
  MovableName name;
  f.services.resolver = &name.resolver;
  const int row = f.host.AddRow("mover.example", ResourceKind::Echo, 10, false, 1024, 2000);
  TPingThread* t = f.host.Start(row, f.services);
  ASSERT_TRUE(f.host.PumpUntil([&] { return f.targets.Count() >= 3; }));
  name.MoveTo({}, WsaCode::HostNotFound);
  f.clock.AdvanceMs(kFiveMinutesMs);
  ASSERT_TRUE(f.host.PumpUntil([&] { return name.Asked() == 2; }));
  const size_t after = f.targets.Count();
  ASSERT_TRUE(f.host.PumpUntil([&] { return f.EchoesAfter(after) >= 10; }));
  EXPECT_EQ(f.targets.CountTo(kFirst), f.targets.Count());
  EXPECT_GT(CellSpeed(f.host.table.Cell(4, row)), 0) << f.host.table.Cell(4, row);
  // The next lookup hangs; closing does not wait for it.
  std::promise<void> release;
  {
    std::lock_guard<std::mutex> lock(name.mutex);
    name.hold = release.get_future().share();
  }
  f.clock.AdvanceMs(kFiveMinutesMs);
  ASSERT_TRUE(f.host.PumpUntil([&] { return name.Asked() == 3; }));
  const auto start = std::chrono::steady_clock::now();
  TPingThread::Destroy(t);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(f.Notes(), 0u);
  release.set_value();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the helper ends
}

TEST(AddressChangeTest, ALookupThatEndsAfterTheRowsTextChangedIsNotKept) {
  if (!EchoUsable()) GTEST_SKIP() << "this user may not open ICMP sockets";
  Fixture f;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> oldAsked{false};
  Resolver resolver = [&](const std::string& name) {
    if (name == "new.example") return LookupOutcome{0, kSecond};
    oldAsked = true;
    released.wait();
    return LookupOutcome{0, kFirst};
  };
  f.services.resolver = &resolver;
  const int row = f.host.AddRow("old.example", ResourceKind::Echo, 10, false, 1024, 2000);
  TPingThread* t = f.host.Start(row, f.services);
  ASSERT_TRUE(f.host.PumpUntil([&] { return oldAsked.load(); }));
  f.host.table.SetCell(Col::Resource, row, "new.example");
  LoadRowSettings(*t, f.host.table);
  release.set_value();
  EXPECT_TRUE(f.host.PumpUntil([&] { return f.targets.Count() >= 5; }));
  TPingThread::Destroy(t);
  EXPECT_EQ(f.targets.CountTo(kSecond), f.targets.Count())
      << "echoes went to the old name's address";
}

TEST(AddressChangeTest, AMoveInTheSystemsHostsFileIsFollowed) {
  if (!test::NetNamespace::Available()) GTEST_SKIP() << test::NetNamespace::SkipReason();
  if (!EchoUsable()) GTEST_SKIP() << "this user may not open ICMP sockets";
  test::PrivateHostsFile hosts;
  ASSERT_TRUE(hosts.Write("127.0.0.2 mover.tarnwick.test\n"));
  std::string problem;
  const bool ran = hosts.RunInside(
      [&] {
        Fixture f;
        const int row =
            f.host.AddRow("mover.tarnwick.test", ResourceKind::Echo, 10, false, 1024, 2000);
        TPingThread* t = f.host.Start(row, f.services);
        EXPECT_TRUE(f.host.PumpUntil([&] { return f.targets.CountTo(kFirst) >= 5; }));
        ASSERT_TRUE(hosts.Write("127.0.0.3 mover.tarnwick.test\n"));
        f.clock.AdvanceMs(kFiveMinutesMs);
        EXPECT_TRUE(f.host.PumpUntil([&] { return f.targets.CountTo(kSecond) >= 5; }));
        EXPECT_TRUE(f.host.PumpUntil([&] { return CellSpeed(f.host.table.Cell(4, row)) > 0; }));
        TPingThread::Destroy(t);
        EXPECT_EQ(f.Notes(), 1u);
      },
      problem);
  if (!ran) GTEST_SKIP() << problem;
}

}  // namespace
}  // namespace tw
