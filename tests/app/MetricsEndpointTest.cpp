// The metrics endpoint of the real program, started as a user starts it with
// --metrics-listen: a real Prometheus server scrapes it, only GET /metrics
// answers, a port it cannot have ends it before anything starts, and a
// scraper that never reads holds up no measurement.
#include <gtest/gtest.h>

#include <grp.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <thread>

#include "monitor/Parameters.h"
#include "support/LoopbackHttp.h"
#include "support/PrometheusServer.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace tw {
namespace {

using test::HttpReply;
using test::LoopbackHttp;

// A parameters file with one host row for 127.0.0.1, measured every
// `periodMs`, and sampling on at start.
void WriteLoopbackParameters(const std::string& folder, int periodMs) {
  ResourceTable table;
  table.SetRowCount(2);
  table.SetNewRowDefaults(1);
  table.SetCell(Col::Resource, 1, "127.0.0.1");
  table.SetCell(Col::Kind, 1, "3");
  table.SetCell(Col::ProcessDelay, 1, std::to_string(periodMs));
  WindowParameters params;
  params.pingObjects = true;
  ASSERT_TRUE(SaveParameters(folder + "/" + kParametersFileName, table, params));
}

// The program with its arguments, ended (SIGKILL) when this goes.
class Tarnwick {
 public:
  explicit Tarnwick(const QStringList& arguments, bool unprivileged = false) {
    test::EnsureQtApp();
    process_.setProgram(QCoreApplication::applicationDirPath() + "/tarnwick");
    process_.setArguments(arguments);
    if (unprivileged && geteuid() == 0) {
      process_.setChildProcessModifier([] {
        if (setgroups(0, nullptr) != 0 || setgid(test::kNobody) != 0 || setuid(test::kNobody) != 0)
          _exit(200);
      });
    }
    process_.start();
    process_.waitForStarted(10000);
  }
  ~Tarnwick() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(10000);
  }
  QProcess& Process() { return process_; }

 private:
  QProcess process_;
};

// The value of the sample line that starts with `series` + " ", or -1.
double SampleValue(const std::string& exposition, const std::string& series) {
  const size_t at = exposition.find("\n" + series + " ");
  if (at == std::string::npos) return -1;
  return std::strtod(exposition.c_str() + at + series.size() + 2, nullptr);
}

const std::string kMeasurements =
    R"(tarnwick_measurements_total{resource="127.0.0.1",kind="host"})";
const std::string kSpeed =
    R"(tarnwick_speed_kbps{resource="127.0.0.1",kind="host",direction="ping"})";

// Waits up to `timeoutMs` until the endpoint shows `series` above `floor`.
bool WaitForSample(int port, const std::string& series, double floor, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    const HttpReply reply = LoopbackHttp("127.0.0.1", port, "GET", "/metrics");
    if (SampleValue(reply.body, series) > floor) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return false;
}

class MetricsEndpointTest : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureQtApp(); }

  // The program measuring 127.0.0.1 with its endpoint on `listen`.
  std::unique_ptr<Tarnwick> StartMeasuring(const QString& listen, int periodMs = 1000) {
    WriteLoopbackParameters(home_.Path(), periodMs);
    return std::make_unique<Tarnwick>(QStringList{
        "--config-dir", QString::fromStdString(home_.Path()), "--metrics-listen", listen});
  }

  test::TempDir home_;
};

TEST_F(MetricsEndpointTest, PrometheusScrapesTheSpeedOfLoopbackFromTheWindow) {
  const std::string missing = test::PrometheusServer::Missing();
  if (!missing.empty()) GTEST_SKIP() << missing;
  const int port = test::FreeLoopbackPort();
  auto tarnwick = StartMeasuring(QString("127.0.0.1:%1").arg(port));
  test::PrometheusServer prometheus({"127.0.0.1:" + std::to_string(port)});
  ASSERT_TRUE(prometheus.Ok()) << prometheus.Log();
  const auto start = std::chrono::steady_clock::now();
  const bool seen =
      prometheus.WaitForValueAbove(R"(tarnwick_speed_kbps{resource="127.0.0.1"})", 0, 60000);
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_TRUE(seen) << "no speed above 0 within 60 s\n"
                    << prometheus.Log() << tarnwick->Process().readAllStandardError().toStdString();
  std::cout << "Prometheus had a speed above 0 after " << seconds << " s\n";
  EXPECT_EQ(prometheus.Query(R"(tarnwick_status{resource="127.0.0.1",status="ok"})"),
            std::vector<double>{1});
  EXPECT_EQ(prometheus.Query(R"(tarnwick_build_info)").size(), 1u);
}

TEST_F(MetricsEndpointTest, OnlyGetMetricsAnswersAndOnlyWhereTold) {
  const int port = test::FreeLoopbackPort();
  auto tarnwick = StartMeasuring(QString("127.0.0.1:%1").arg(port));
  ASSERT_TRUE(WaitForSample(port, kMeasurements, 0, 30000));
  const struct {
    const char* method;
    const char* target;
    int status;
  } cases[] = {
      {"GET", "/metrics", 200},  {"GET", "/metrics?x=1", 200}, {"GET", "/", 404},
      {"GET", "/metrics/", 404}, {"GET", "/metricsx", 404},    {"GET", "/x/metrics", 404},
      {"POST", "/metrics", 404}, {"PUT", "/metrics", 404},     {"DELETE", "/metrics", 404},
      {"HEAD", "/metrics", 404}, {"GET", "/favicon.ico", 404},
  };
  for (const auto& c : cases) {
    const HttpReply reply = LoopbackHttp("127.0.0.1", port, c.method, c.target);
    EXPECT_EQ(reply.status, c.status) << c.method << " " << c.target;
  }
  const HttpReply page = LoopbackHttp("127.0.0.1", port, "GET", "/metrics");
  EXPECT_NE(page.headers.find("Content-Type: text/plain; version=0.0.4; charset=utf-8\r\n"),
            std::string::npos)
      << page.headers;
  EXPECT_NE(page.body.find("tarnwick_build_info{version=\""), std::string::npos);
  // Told 127.0.0.1: the IPv6 loopback address is not served.
  EXPECT_EQ(LoopbackHttp("::1", port, "GET", "/metrics").status, 0);
}

TEST_F(MetricsEndpointTest, LocalhostServesBothLoopbackAddresses) {
  const int port = test::FreeLoopbackPort();
  auto tarnwick = StartMeasuring(QString("localhost:%1").arg(port));
  ASSERT_TRUE(WaitForSample(port, kMeasurements, 0, 30000));
  const int v6 = socket(AF_INET6, SOCK_STREAM, 0);
  sockaddr_in6 any{};
  any.sin6_family = AF_INET6;
  any.sin6_addr = in6addr_loopback;
  const bool haveV6 = v6 >= 0 && bind(v6, reinterpret_cast<sockaddr*>(&any), sizeof any) == 0;
  if (v6 >= 0) close(v6);
  if (haveV6) {
    EXPECT_EQ(LoopbackHttp("::1", port, "GET", "/metrics").status, 200);
  }
}

TEST_F(MetricsEndpointTest, APortThatCannotBeHadEndsTheProgramBeforeAnythingStarts) {
  // A port taken by another program.
  const int taken = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(taken, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(listen(taken, 1), 0);
  getsockname(taken, reinterpret_cast<sockaddr*>(&address), &length);
  const int takenPort = ntohs(address.sin_port);
  std::filesystem::permissions(home_.Path(), std::filesystem::perms::all);
  const struct {
    QString listen;
    bool unprivileged;
    QString message;
  } cases[] = {
      {QString("127.0.0.1:%1").arg(takenPort), false,
       QString("tarnwick: cannot serve metrics on 127.0.0.1:%1: the port is in use\n")
           .arg(takenPort)},
      {"192.0.2.7:9798", false,
       "tarnwick: cannot serve metrics on 192.0.2.7:9798: the address is not one of this "
       "machine's\n"},
      // Ports below 1024 are the system's (unless the system allows them to all users).
      {"127.0.0.1:80", true,
       "tarnwick: cannot serve metrics on 127.0.0.1:80: the port is not allowed for this user\n"},
  };
  for (const auto& c : cases) {
    if (c.unprivileged && test::ReadAll("/proc/sys/net/ipv4/ip_unprivileged_port_start") == "0\n")
      continue;
    Tarnwick run({"-platform", "offscreen", "--config-dir", QString::fromStdString(home_.Path()),
                  "--metrics-listen", c.listen},
                 c.unprivileged);
    ASSERT_TRUE(run.Process().waitForFinished(20000)) << c.listen.toStdString();
    EXPECT_EQ(run.Process().exitCode(), 3) << c.listen.toStdString();
    const QString err = QString::fromLocal8Bit(run.Process().readAllStandardError());
    EXPECT_TRUE(err.endsWith(c.message)) << err.toStdString();
    EXPECT_EQ(err.count("tarnwick:"), 1) << err.toStdString();
    // No window ran: no parameters or trend file was written.
    EXPECT_TRUE(std::filesystem::is_empty(home_.Path())) << c.listen.toStdString();
  }
  close(taken);
}

// Connections that send requests (many, pipelined) and never read: the
// answers pile up in their sockets, and the program measures on.
TEST_F(MetricsEndpointTest, AScraperThatNeverReadsHoldsUpNoMeasurement) {
  const int port = test::FreeLoopbackPort();
  auto tarnwick = StartMeasuring(QString("127.0.0.1:%1").arg(port), 200);
  ASSERT_TRUE(WaitForSample(port, kMeasurements, 0, 30000));
  std::string requests;
  for (int i = 0; i < 200; ++i) requests += "GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n";
  std::vector<int> stuck;
  for (int i = 0; i < 20; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int small = 4096;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(send(fd, requests.data(), requests.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(requests.size()));
    stuck.push_back(fd);
  }
  // Answers to the stuck scrapers have piled up by now.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  int waiting = 0;
  ioctl(stuck[0], FIONREAD, &waiting);
  EXPECT_GT(waiting, 1000) << "the server answered none of the stuck scraper's requests";
  const double before =
      SampleValue(LoopbackHttp("127.0.0.1", port, "GET", "/metrics").body, kMeasurements);
  ASSERT_GT(before, 0);
  std::this_thread::sleep_for(std::chrono::seconds(3));
  const auto asked = std::chrono::steady_clock::now();
  const HttpReply later = LoopbackHttp("127.0.0.1", port, "GET", "/metrics");
  const auto answeredMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - asked)
                              .count();
  ASSERT_EQ(later.status, 200);
  const double after = SampleValue(later.body, kMeasurements);
  std::cout << "measurements in 3 s beside 20 stuck scrapers: " << after - before
            << ", a scrape answered in " << answeredMs << " ms\n";
  // Every 200 ms for 3 s: 15; a loaded machine may lose a few.
  EXPECT_GE(after - before, 5);
  EXPECT_GT(SampleValue(later.body, kSpeed), 0);
  for (int fd : stuck) close(fd);
}

}  // namespace
}  // namespace tw
