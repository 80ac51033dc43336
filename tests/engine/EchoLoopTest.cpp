// The ICMP echo loop: real echoes on loopback and in network namespaces made
// here (a host that does not answer, a link of known bandwidth).
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/PingThread.h"
#include "support/NetNamespace.h"
#include "tests/engine/EngineHost.h"

namespace tw {
namespace {

using Steady = std::chrono::steady_clock;
using test::CellSpeed;
using test::EngineHost;
using test::NetNamespace;
using test::TransferOf;

struct Fixture {
  EngineHost host;
  EngineServices services{host.dispatcher, SystemClock(), host, true};
};

bool EchoUsable() {
  return SystemEcho().Open() != nullptr;
}

TEST(EchoLoopTest, LoopbackEchoesGiveSpeedsAndGrowTheEchoSize) {
  if (!EchoUsable()) GTEST_SKIP() << "this user may not open ICMP sockets";
  for (const char* address : {"127.0.0.1", "localhost"}) {
    Fixture f;
    const int row = f.host.AddRow(address, ResourceKind::Echo, 0, true, 1024, 2000);
    TPingThread* t = nullptr;
    std::vector<std::string> texts;
    int32_t lastSize = 0;
    f.host.onRepaint = [&](int col, int r) {
      if (col != Col::PingSpeed) return;
      texts.push_back(f.host.table.Cell(col, r));
      lastSize = TransferOf(*t).readSize;
    };
    t = f.host.Start(row, f.services);
    ASSERT_TRUE(f.host.PumpUntil([&] { return lastSize == 64512; }, 20000)) << address;
    f.host.onRepaint = nullptr;
    TPingThread::Destroy(t);
    EXPECT_EQ(texts.front(), "Testing...");
    EXPECT_EQ(texts[1], "Get address...");
    EXPECT_GT(CellSpeed(texts.back()), 0) << address;
    EXPECT_EQ(f.host.table.Cell(Col::ReadSpeed, row), "");
  }
}

// Echoes that come back with their data changed.
class CorruptingEcho final : public Echo {
 public:
  std::unique_ptr<EchoSocket> Open() override {
    struct Socket final : EchoSocket {
      std::unique_ptr<EchoSocket> real = SystemEcho().Open();
      int32_t SendEcho(const HostAddress& a, const uint8_t* d, uint16_t s, const IcmpOptions& o,
                       uint32_t t, IcmpReply& r, uint8_t* data, uint32_t cap) override {
        const int32_t status = real->SendEcho(a, d, s, o, t, r, data, cap);
        data[1] = 'i';  // "iP speed"
        return status;
      }
      void Cancel() override { real->Cancel(); }
      std::string Kind(IpFamily f) const override { return real->Kind(f); }
    };
    return std::make_unique<Socket>();
  }
};

TEST(EchoLoopTest, AReplyWithoutTheMarkerIsAHardwareError) {
  if (!EchoUsable()) GTEST_SKIP() << "this user may not open ICMP sockets";
  Fixture f;
  CorruptingEcho corrupting;
  f.services.echo = &corrupting;
  const int row = f.host.AddRow("127.0.0.1", ResourceKind::Echo, 20, false, 1024, 2000);
  TPingThread* t = f.host.Start(row, f.services);
  EXPECT_TRUE(f.host.PumpUntil([&] { return f.host.table.Cell(4, row) == "Hrdwr.Error"; }));
  EXPECT_EQ(t->Snapshot().pingHistory.back(), 0);
  TPingThread::Destroy(t);
}

// Real echoes, with a copy of every request's data kept.
class RecordingEcho final : public Echo {
 public:
  std::unique_ptr<EchoSocket> Open() override {
    struct Socket final : EchoSocket {
      explicit Socket(RecordingEcho& o) : owner(o) {}
      RecordingEcho& owner;
      std::unique_ptr<EchoSocket> real = SystemEcho().Open();
      int32_t SendEcho(const HostAddress& a, const uint8_t* d, uint16_t s, const IcmpOptions& o,
                       uint32_t t, IcmpReply& r, uint8_t* data, uint32_t cap) override {
        {
          std::lock_guard<std::mutex> lock(owner.mutex);
          owner.sent.emplace_back(d, d + s);
          owner.ttl = o.ttl;
        }
        return real->SendEcho(a, d, s, o, t, r, data, cap);
      }
      void Cancel() override { real->Cancel(); }
      std::string Kind(IpFamily f) const override { return real->Kind(f); }
    };
    return std::make_unique<Socket>(*this);
  }
  size_t Count() {
    std::lock_guard<std::mutex> lock(mutex);
    return sent.size();
  }
  std::mutex mutex;
  std::vector<std::vector<uint8_t>> sent;
  int ttl = 0;
};

TEST(EchoLoopTest, EchoDataIsTheMarkerThenFreshBytesBelow255) {
  if (!EchoUsable()) GTEST_SKIP() << "this user may not open ICMP sockets";
  for (const auto& [blockSize, expected] : {std::pair<int, size_t>{1024, 1024}, {100000, 64512}}) {
    Fixture f;
    RecordingEcho recording;
    f.services.echo = &recording;
    const int row = f.host.AddRow("127.0.0.1", ResourceKind::Echo, 0, false, blockSize, 2000);
    TPingThread* t = f.host.Start(row, f.services);
    EXPECT_TRUE(f.host.PumpUntil([&] { return recording.Count() >= 5; }));
    EXPECT_TRUE(f.host.PumpUntil([&] { return CellSpeed(f.host.table.Cell(4, row)) > 0; }));
    TPingThread::Destroy(t);
    const std::vector<uint8_t> marker = {8, 'I', 'P', ' ', 's', 'p', 'e', 'e', 'd'};
    for (const auto& data : recording.sent) {
      ASSERT_EQ(data.size(), expected) << blockSize;
      EXPECT_TRUE(std::equal(marker.begin(), marker.end(), data.begin()));
      EXPECT_EQ(std::count(data.begin() + 9, data.end(), 255), 0);
    }
    EXPECT_NE(recording.sent[0], recording.sent[1]);
    EXPECT_EQ(recording.ttl, 32);
  }
}

// Echoes that report result code 1, which restarts the thread's cycle.
class RestartingEcho final : public Echo {
 public:
  std::unique_ptr<EchoSocket> Open() override {
    struct Socket final : EchoSocket {
      int32_t SendEcho(const HostAddress&, const uint8_t*, uint16_t, const IcmpOptions&, uint32_t,
                       IcmpReply&, uint8_t*, uint32_t) override {
        return 1;
      }
      void Cancel() override {}
      std::string Kind(IpFamily) const override { return "stand-in"; }
    };
    return std::make_unique<Socket>();
  }
};

TEST(EchoLoopTest, ResultCodeOneRestartsTheCycle) {
  Fixture f;
  RestartingEcho restarting;
  f.services.echo = &restarting;
  const int row = f.host.AddRow("127.0.0.1", ResourceKind::Echo, 10, true, 1024, 2000);
  int restarts = 0;
  f.host.onRepaint = [&](int col, int r) {
    restarts += col == Col::PingSpeed && f.host.table.Cell(col, r) == "Testing...";
  };
  TPingThread* t = f.host.Start(row, f.services);
  EXPECT_TRUE(f.host.PumpUntil([&] { return restarts >= 4; }));
  f.host.onRepaint = nullptr;
  TPingThread::Destroy(t);
}

// Echoes whose reply arrived `arrivalUs` after the call (0: no arrival
// stamp) but whose thread is only woken 30 ms after the call.
class LateWakingEcho final : public Echo {
 public:
  explicit LateWakingEcho(uint64_t arrivalUs) : arrivalUs_(arrivalUs) {}
  std::unique_ptr<EchoSocket> Open() override {
    struct Socket final : EchoSocket {
      explicit Socket(uint64_t a) : arrivalUs(a) {}
      uint64_t arrivalUs;
      int32_t SendEcho(const HostAddress&, const uint8_t* d, uint16_t s, const IcmpOptions&,
                       uint32_t, IcmpReply& r, uint8_t* data, uint32_t) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        std::copy(d, d + s, data);
        r = IcmpReply{};
        r.dataSize = s;
        r.roundTripMs = static_cast<uint32_t>(arrivalUs / 1000);
        r.preparedToArrivalNs = arrivalUs * 1000;
        return IpStatus::Success;
      }
      void Cancel() override {}
      std::string Kind(IpFamily) const override { return "stand-in"; }
    };
    return std::make_unique<Socket>(arrivalUs_);
  }

 private:
  uint64_t arrivalUs_;
};

TEST(EchoLoopTest, TheTimedSectionEndsAtTheReplysArrivalWhenTheSystemStampsIt) {
  // 8 KB: speed = 8 * 2,000,000 / t with t in microseconds.
  const struct {
    uint64_t arrivalUs;
    double lowest, highest;  // Kbps
  } cases[] = {
      // The arrival and the preparation: well below the 30 ms wake-up, even
      // with a preparation slowed down by a sanitizer.
      {2000, 16e6 / 15000, 16e6 / 2000},
      {0, 16e6 / 1000000, 16e6 / 30000},      // no stamp: the wake-up
      {50000, 16e6 / 1000000, 16e6 / 30000},  // a stamp after the wake-up is not believed
  };
  for (const auto& c : cases) {
    Fixture f;
    LateWakingEcho late(c.arrivalUs);
    f.services.echo = &late;
    const int row = f.host.AddRow("127.0.0.1", ResourceKind::Echo, 10, false, 8192, 2000);
    std::vector<double> speeds;
    f.host.onRepaint = [&](int col, int r) {
      const double s = CellSpeed(f.host.table.Cell(col, r));
      if (col == Col::PingSpeed && s > 0) speeds.push_back(s);
    };
    TPingThread* t = f.host.Start(row, f.services);
    EXPECT_TRUE(f.host.PumpUntil([&] { return speeds.size() >= 3; }));
    f.host.onRepaint = nullptr;
    TPingThread::Destroy(t);
    for (double speed : speeds) {
      EXPECT_GE(speed, c.lowest) << c.arrivalUs;
      EXPECT_LE(speed, c.highest) << c.arrivalUs;
    }
  }
}

// A resolver that answers from a table and counts the names it was asked.
struct CountingResolver {
  std::mutex mutex;
  std::vector<std::string> asked;
  Resolver resolver = [this](const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex);
    asked.push_back(name);
    return LookupOutcome{WsaCode::HostNotFound, {}};
  };
  size_t Count() {
    std::lock_guard<std::mutex> lock(mutex);
    return asked.size();
  }
};

TEST(EchoLoopTest, LookupFailuresShowTheWinSockTextAndAreRetriedEachPeriod) {
  if (!EchoUsable()) GTEST_SKIP() << "this user may not open ICMP sockets";
  // The all-ones address is not taken as dotted: it goes to the lookup.
  for (const char* address : {"no-such-host.example", "255.255.255.255"}) {
    Fixture f;
    CountingResolver lookup;
    f.services.resolver = &lookup.resolver;
    const int row = f.host.AddRow(address, ResourceKind::Echo, 100, true, 1024, 2000);
    TPingThread* t = f.host.Start(row, f.services);
    EXPECT_TRUE(f.host.PumpUntil([&] { return f.host.table.Cell(4, row) == "Host not found"; }));
    EXPECT_TRUE(f.host.PumpUntil([&] { return lookup.Count() >= 3; }, 3000));
    TPingThread::Destroy(t);
    EXPECT_EQ(lookup.asked.front(), address);
  }
}

TEST(EchoLoopTest, DestroyCutsAHangingLookupShort) {
  if (!EchoUsable()) GTEST_SKIP() << "this user may not open ICMP sockets";
  Fixture f;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> asked{false};
  Resolver hangs = [&asked, released](const std::string&) {
    asked = true;
    released.wait();
    return LookupOutcome{0, ParseNumericAddress("127.0.0.1")};
  };
  f.services.resolver = &hangs;
  const int row = f.host.AddRow("slow.example", ResourceKind::Echo, 100, true, 1024, 2000);
  TPingThread* t = f.host.Start(row, f.services);
  ASSERT_TRUE(f.host.PumpUntil([&] { return asked.load(); }));
  const auto start = Steady::now();
  TPingThread::Destroy(t);
  EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(2000));
  release.set_value();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

class EchoNamespaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!NetNamespace::Available()) GTEST_SKIP() << NetNamespace::SkipReason();
    ASSERT_TRUE(ns_.Ok());
  }
  // Starts the row's thread inside the namespace (its sockets stay there).
  TPingThread* StartInside(Fixture& f, int row) {
    NetNamespace::Enter inside(ns_);
    EXPECT_TRUE(inside.Ok());
    return f.host.Start(row, f.services);
  }
  NetNamespace ns_;
};

TEST_F(EchoNamespaceTest, AHostThatDoesNotAnswerShowsTimeoutAndCloseIsNotHeldUp) {
  ASSERT_TRUE(ns_.Sysctl("net.ipv4.icmp_echo_ignore_all=1"));
  Fixture f;
  const int row = f.host.AddRow("127.0.0.1", ResourceKind::Echo, 100, true, 1024, 300);
  TPingThread* t = StartInside(f, row);
  EXPECT_TRUE(f.host.PumpUntil([&] { return f.host.table.Cell(4, row) == "Timeout"; }));
  EXPECT_EQ(t->Snapshot().pingSpeed, 0);
  TPingThread::Destroy(t);

  // An echo that would wait 240 s is cut short by closing.
  Fixture g;
  const int row2 = g.host.AddRow("127.0.0.1", ResourceKind::Echo, 100, true, 1024, 240000);
  TPingThread* waiting = StartInside(g, row2);
  ASSERT_TRUE(g.host.PumpUntil([&] { return g.host.table.Cell(4, row2) == "Get address..."; }));
  g.host.PumpUntil([] { return false; }, 200);  // the echo is out
  const auto start = Steady::now();
  TPingThread::Destroy(waiting);
  EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(2000));
}

TEST_F(EchoNamespaceTest, SpeedOnALinkOfKnownBandwidthAgreesWithItsRate) {
  // 16 Mbit/s = 1953 KB/s through a token bucket on the namespace's loopback;
  // each echo crosses it twice, which the formula's factor 2 accounts for.
  // Echoes go out in Ethernet-sized fragments and the bucket holds two of
  // them: a bucket that could hold a whole echo would let it through at
  // once after the thread sat idle for a moment, as no real link does.
  if (!ns_.Run("ip link set lo mtu 1500") ||
      !ns_.Run("tc qdisc add dev lo root tbf rate 16mbit burst 3000 limit 1mb")) {
    GTEST_SKIP() << "the kernel offers no token-bucket qdisc (tbf)";
  }
  Fixture f;
  const int row = f.host.AddRow("127.0.0.1", ResourceKind::Echo, 10, false, 32768, 5000);
  std::vector<double> speeds;
  f.host.onRepaint = [&](int col, int r) {
    const double s = CellSpeed(f.host.table.Cell(col, r));
    if (col == Col::PingSpeed && s > 0) speeds.push_back(s);
  };
  TPingThread* t = StartInside(f, row);
  EXPECT_TRUE(f.host.PumpUntil([&] { return speeds.size() >= 30; }, 20000));
  f.host.onRepaint = nullptr;
  TPingThread::Destroy(t);
  ASSERT_GE(speeds.size(), 30u);
  // The first echoes ride on the bucket's burst; the rest run at the rate.
  std::vector<double> steady(speeds.begin() + 10, speeds.end());
  std::sort(steady.begin(), steady.end());
  const double median = steady[steady.size() / 2];
  const double rateKbps = 16e6 / 8 / 1024;
  RecordProperty("median_kbps", std::to_string(median));
  EXPECT_NEAR(median, rateKbps, rateKbps * 0.05) << "median of " << steady.size() << " echoes";
}

}  // namespace
}  // namespace tw
