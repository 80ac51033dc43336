// The web download loop against a real web server the test starts on
// 127.0.0.1: status texts for what goes wrong, redirects, HTTPS with a
// certificate the test makes, a server that stops answering, closing during
// a hanging download, and the speed over a 16 Mbit/s link in a namespace.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/PingThread.h"
#include "support/NetNamespace.h"
#include "support/TempDir.h"
#include "support/WebServer.h"
#include "tests/engine/EngineHost.h"

namespace tw {
namespace {

using Steady = std::chrono::steady_clock;
using test::CellSpeed;
using test::EngineHost;
using test::NetNamespace;
using test::TransferOf;
using test::WebServer;

constexpr int kStatusCol = Col::ReadSpeed;

// Proxies of the machine's environment must not carry the test's loopback
// traffic away; set once, before any thread runs.
const bool kNoProxy = [] {
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  setenv("NO_PROXY", "127.0.0.1,localhost", 1);
  return true;
}();

struct Fixture {
  explicit Fixture(HttpDownload* http = nullptr) { services.http = http; }
  EngineHost host;
  EngineServices services{host.dispatcher, SystemClock(), host, true};
};

class WebLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!WebServer::Available()) GTEST_SKIP() << "needs python3 for the test's web server";
  }
  // The first text other than "Testing..." that `row`'s read cell shows.
  static std::string FirstResult(Fixture& f, int row, int waitMs = 20000) {
    std::string result;
    f.host.onRepaint = [&](int col, int r) {
      const std::string text = f.host.table.Cell(col, r);
      if (col == kStatusCol && result.empty() && text != "Testing...") result = text;
    };
    TPingThread* t = f.host.Start(row, f.services);
    f.host.PumpUntil([&] { return !result.empty(); }, waitMs);
    f.host.onRepaint = nullptr;
    TPingThread::Destroy(t);
    return result;
  }
};

TEST_F(WebLoopTest, DownloadsShowASpeedOrWhatWentWrong) {
  test::TempDir dir;
  ASSERT_TRUE(test::MakeSelfSignedCertificate(dir.Path()));
  WebServer plain({});
  WebServer secure({"", dir.File("cert.pem"), dir.File("key.pem")});
  ASSERT_TRUE(plain.Ok() && secure.Ok());
  const std::unique_ptr<HttpDownload> trusting = NewHttpDownloadTrusting(dir.File("cert.pem"));
  const struct {
    std::string url;
    bool trustTheTestsCertificate;
    const char* shows;  // nullptr: a speed
  } cases[] = {
      {plain.Url("/bytes/300000"), false, nullptr},
      {plain.Url("/missing"), false, "HTTP 404"},
      {plain.Url("/hop/5/300000"), false, nullptr},
      {plain.Url("/hop/6/300000"), false, "Too many redirects"},
      {secure.Url("/bytes/300000"), false, "TLS: certificate not trusted"},
      {secure.Url("/bytes/300000"), true, nullptr},
      {"http://127.0.0.1:1/", false, "Connection refused"},
      {"ftp://127.0.0.1/file", false, "Not an HTTP or HTTPS address"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    Fixture f(c.trustTheTestsCertificate ? trusting.get() : nullptr);
    // A fixed size that takes many reads even on loopback, so that it has a time.
    const int row = f.host.AddRow(c.url, ResourceKind::Web, 100, false, 300000, 5000);
    const std::string shown = FirstResult(f, row);
    if (c.shows == nullptr) {
      EXPECT_GT(CellSpeed(shown), 0) << shown;
    } else {
      EXPECT_EQ(shown, c.shows);
    }
    EXPECT_EQ(f.host.table.Cell(Col::PingSpeed, row), "");
    EXPECT_EQ(f.host.table.Cell(Col::WriteSpeed, row), "");
  }
}

TEST_F(WebLoopTest, AutomaticSizeGrowsWhileDownloadsAreShortAndAFixedOneIsKept) {
  WebServer server({});
  ASSERT_TRUE(server.Ok());
  for (const bool autoSize : {true, false}) {
    SCOPED_TRACE(autoSize);
    Fixture f;
    const int row =
        f.host.AddRow(server.Url("/bytes/100000000"), ResourceKind::Web, 10, autoSize, 5000, 5000);
    TPingThread* t = nullptr;
    std::vector<int32_t> sizes;
    f.host.onRepaint = [&](int col, int r) {
      if (col == kStatusCol && CellSpeed(f.host.table.Cell(col, r)) > 0)
        sizes.push_back(TransferOf(*t).readSize);
    };
    t = f.host.Start(row, f.services);
    EXPECT_TRUE(f.host.PumpUntil([&] { return sizes.size() >= 4; }, 20000));
    f.host.onRepaint = nullptr;
    TPingThread::Destroy(t);
    ASSERT_GE(sizes.size(), 4u);
    if (autoSize) {
      // Loopback downloads take far under a second: the size doubles each time.
      EXPECT_EQ(sizes[0], 2 * 64 * 1024);
      EXPECT_EQ(sizes[3], 16 * 64 * 1024);
    } else {
      EXPECT_EQ(sizes[3], 5000);
    }
  }
}

TEST_F(WebLoopTest, AServerThatStopsAnsweringShowsTimeoutWithinTheRowsTimeout) {
  WebServer server({});
  ASSERT_TRUE(server.Ok());
  Fixture f;
  const int row = f.host.AddRow(server.Url("/hang"), ResourceKind::Web, 100, true, 1024, 700);
  Steady::time_point started{}, shown{};
  f.host.onRepaint = [&](int col, int r) {
    const std::string text = f.host.table.Cell(col, r);
    if (text == "Testing..." && started == Steady::time_point{}) started = Steady::now();
    if (text == "Timeout" && shown == Steady::time_point{}) shown = Steady::now();
  };
  TPingThread* t = f.host.Start(row, f.services);
  EXPECT_TRUE(f.host.PumpUntil([&] { return shown != Steady::time_point{}; }, 10000));
  f.host.onRepaint = nullptr;
  EXPECT_EQ(t->Snapshot().readSpeed, 0);
  TPingThread::Destroy(t);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(shown - started);
  EXPECT_GE(took.count(), 700);
  // Room for a loaded machine (sanitizers, parallel tests); a timeout not
  // kept would show the thread's own 2.5 s default or none.
  EXPECT_LT(took.count(), 700 + 1000);
}

TEST_F(WebLoopTest, ClosingDuringAHangingDownloadIsNotHeldUp) {
  WebServer server({});
  ASSERT_TRUE(server.Ok());
  Fixture f;
  const int row = f.host.AddRow(server.Url("/hang"), ResourceKind::Web, 100, true, 1024, 240000);
  TPingThread* t = f.host.Start(row, f.services);
  f.host.PumpUntil([] { return false; }, 500);  // the request is out and waits
  const auto start = Steady::now();
  // A bound far above the usual one: only the cancelled download ends it early.
  TPingThread::Destroy(t, 10000);
  EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(1000));
}

TEST_F(WebLoopTest, SpeedOnALinkOfKnownBandwidthAgreesWithItsRate) {
  if (!NetNamespace::Available()) GTEST_SKIP() << NetNamespace::SkipReason();
  NetNamespace ns;
  ASSERT_TRUE(ns.Ok());
  // 16 Mbit/s = 1953 KB/s on the namespace's loopback, Ethernet-sized packets.
  if (!ns.Run("ip link set lo mtu 1500") ||
      !ns.Run("tc qdisc add dev lo root tbf rate 16mbit burst 3000 limit 1mb")) {
    GTEST_SKIP() << "the kernel offers no token-bucket qdisc (tbf)";
  }
  WebServer server({ns.Name(), "", ""});
  ASSERT_TRUE(server.Ok());
  Fixture f;
  // 3 MB: about 1.6 s a download, within the automatic size's 1 to 10 s.
  const int row =
      f.host.AddRow(server.Url("/bytes/3000000"), ResourceKind::Web, 10, false, 4000000, 5000);
  std::vector<double> speeds;
  f.host.onRepaint = [&](int col, int r) {
    const double s = CellSpeed(f.host.table.Cell(col, r));
    if (col == kStatusCol && s > 0) speeds.push_back(s);
  };
  TPingThread* t = nullptr;
  {
    NetNamespace::Enter inside(ns);
    ASSERT_TRUE(inside.Ok());
    t = f.host.Start(row, f.services);
  }
  EXPECT_TRUE(f.host.PumpUntil([&] { return speeds.size() >= 4; }, 30000));
  f.host.onRepaint = nullptr;
  TPingThread::Destroy(t);
  ASSERT_GE(speeds.size(), 4u);
  std::sort(speeds.begin(), speeds.end());
  const double median = speeds[speeds.size() / 2];
  const double rateKbps = 16e6 / 8 / 1024;
  RecordProperty("median_kbps", std::to_string(median));
  EXPECT_NEAR(median, rateKbps, rateKbps * 0.10) << "median of " << speeds.size() << " downloads";
}

}  // namespace
}  // namespace tw
