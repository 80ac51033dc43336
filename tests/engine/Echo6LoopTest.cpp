// The echo loop with IPv6 hosts: real ICMPv6 echoes on ::1 and in network
// namespaces made here with unique local addresses (fd00::/8), names that
// resolve through the system's resolver to IPv6 only or to both families.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "engine/PingThread.h"
#include "support/CommaLocale.h"
#include "support/Ipv6Loopback.h"
#include "support/NetNamespace.h"
#include "support/PrivateHostsFile.h"
#include "tests/engine/EchoTargets.h"
#include "tests/engine/EngineHost.h"

namespace tw {
namespace {

using test::CellSpeed;
using test::EngineHost;
using test::NetNamespace;

struct Fixture {
  EngineHost host;
  EngineServices services{host.dispatcher, SystemClock(), host, true};
};

bool EchoUsable() {
  return SystemEcho().Open() != nullptr;
}

// The texts shown in a row's echo cell, in order.
std::vector<std::string>& RecordPingCell(Fixture& f, std::vector<std::string>& texts) {
  f.host.onRepaint = [&f, &texts](int col, int r) {
    if (col == Col::PingSpeed) texts.push_back(f.host.table.Cell(col, r));
  };
  return texts;
}

size_t SpeedsIn(const std::vector<std::string>& texts) {
  return static_cast<size_t>(std::count_if(texts.begin(), texts.end(),
                                           [](const std::string& t) { return CellSpeed(t) > 0; }));
}

TEST(Echo6LoopTest, TheIpv6LoopbackGivesSpeedsWrittenWithAPointInACommaLocale) {
  if (!test::HasIpv6Loopback()) GTEST_SKIP() << test::NoIpv6LoopbackReason();
  if (!EchoUsable()) GTEST_SKIP() << "this user may not open ICMP sockets";
  test::CommaLocaleScope comma;
  if (!comma.Active()) GTEST_SKIP() << comma.Problem();
  for (const char* address : {"::1", "[::1]"}) {
    Fixture f;
    const int row = f.host.AddRow(address, ResourceKind::Echo, 0, true, 1024, 2000);
    std::vector<std::string> texts;
    RecordPingCell(f, texts);
    TPingThread* t = f.host.Start(row, f.services);
    const bool measured = f.host.PumpUntil([&] { return SpeedsIn(texts) >= 10; }, 20000);
    f.host.onRepaint = nullptr;
    TPingThread::Destroy(t);
    ASSERT_TRUE(measured) << address;
    EXPECT_EQ(texts[0], "Testing...");
    EXPECT_EQ(texts[1], "Get address...");
    // Speeds, and the status texts of the start and the first restart.
    const std::regex speedText(" *[0-9]+\\.[0-9]{2} Kbps");
    for (const std::string& text : texts) {
      if (text == "Testing..." || text == "Get address...") continue;
      EXPECT_TRUE(std::regex_match(text, speedText)) << address << ": " << text;
    }
    EXPECT_EQ(f.host.table.Cell(Col::ReadSpeed, row), "");
  }
}

TEST(Echo6LoopTest, ANameWithAnIpv4AddressKeepsIpv4AndOneWithOnlyIpv6UsesIt) {
  if (!NetNamespace::Available()) GTEST_SKIP() << NetNamespace::SkipReason();
  if (!test::HasIpv6Loopback()) GTEST_SKIP() << test::NoIpv6LoopbackReason();
  test::PrivateHostsFile hosts;
  ASSERT_TRUE(
      hosts.Write("::1 both.tarnwick.test only6.tarnwick.test\n"
                  "127.0.0.1 both.tarnwick.test\n"));
  const struct {
    const char* name;
    const char* expected;
  } cases[] = {{"both.tarnwick.test", "127.0.0.1"}, {"only6.tarnwick.test", "::1"}};
  std::string problem;
  const bool ran = hosts.RunInside(
      [&] {
        for (const auto& c : cases) {
          Fixture f;
          test::EchoTargets targets;
          f.services.echo = &targets;
          const int row = f.host.AddRow(c.name, ResourceKind::Echo, 10, false, 1024, 2000);
          TPingThread* t = f.host.Start(row, f.services);
          EXPECT_TRUE(f.host.PumpUntil([&] { return CellSpeed(f.host.table.Cell(4, row)) > 0; }))
              << c.name << ": " << f.host.table.Cell(4, row);
          TPingThread::Destroy(t);
          ASSERT_GT(targets.Count(), 0u) << c.name;
          EXPECT_EQ(targets.CountTo(ParseNumericAddress(c.expected)), targets.Count()) << c.name;
        }
      },
      problem);
  if (!ran) GTEST_SKIP() << problem;
}

class Echo6NamespaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!NetNamespace::Available()) GTEST_SKIP() << NetNamespace::SkipReason();
    ASSERT_TRUE(ns_.Ok());
    if (!ns_.Run("ip -6 addr add fd00::1/128 dev lo nodad")) {
      GTEST_SKIP() << "no IPv6 in a network namespace here";
    }
  }
  TPingThread* StartInside(Fixture& f, int row) {
    NetNamespace::Enter inside(ns_);
    EXPECT_TRUE(inside.Ok());
    return f.host.Start(row, f.services);
  }
  NetNamespace ns_;
};

TEST_F(Echo6NamespaceTest, ErrorsShowTheTextsOfTheirIcmpCounterparts) {
  const struct {
    const char* address;
    const char* sysctl;  // applied before the row starts, or null
    const char* expected;
  } cases[] = {
      {"fd00:77::1", nullptr, "Dst.unreachable"},  // no route in the namespace
      {"fd00::1", "net.ipv6.icmp.echo_ignore_all=1", "Timeout"},
  };
  for (const auto& c : cases) {
    if (c.sysctl != nullptr) {
      ASSERT_TRUE(ns_.Sysctl(c.sysctl));
    }
    Fixture f;
    const int row = f.host.AddRow(c.address, ResourceKind::Echo, 50, true, 1024, 300);
    TPingThread* t = StartInside(f, row);
    EXPECT_TRUE(f.host.PumpUntil([&] { return f.host.table.Cell(4, row) == c.expected; }))
        << c.address << ": " << f.host.table.Cell(4, row);
    EXPECT_EQ(t->Snapshot().pingSpeed, 0);
    TPingThread::Destroy(t);
  }
}

TEST_F(Echo6NamespaceTest, SpeedOnALinkOfKnownBandwidthAgreesWithItsRate) {
  // As for IPv4: 16 Mbit/s through a token bucket on the namespace's
  // loopback with an Ethernet-sized MTU and a bucket of two fragments. An
  // IPv6 fragment carries 1452 bytes of the echo in 1514 bytes on the link
  // (14 link, 40 IPv6, 8 fragment header), so the echo data can pass at
  // 1452/1514 of the rate.
  if (!ns_.Run("ip link set lo mtu 1500") ||
      !ns_.Run("tc qdisc add dev lo root tbf rate 16mbit burst 3000 limit 1mb")) {
    GTEST_SKIP() << "the kernel offers no token-bucket qdisc (tbf)";
  }
  Fixture f;
  const int row = f.host.AddRow("fd00::1", ResourceKind::Echo, 10, false, 32768, 5000);
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
  std::vector<double> steady(speeds.begin() + 10, speeds.end());
  std::sort(steady.begin(), steady.end());
  const double median = steady[steady.size() / 2];
  const double rateKbps = 16e6 / 8 / 1024;
  const double dataKbps = rateKbps * 1452 / 1514;
  RecordProperty("median_kbps", std::to_string(median));
  std::printf("median echo speed %.0f KB/s over %zu echoes (link data rate %.0f KB/s)\n", median,
              steady.size(), dataKbps);
  EXPECT_NEAR(median, dataKbps, dataKbps * 0.05) << "median of " << steady.size() << " echoes";
}

}  // namespace
}  // namespace tw
