// The real program's window closed by the window manager while a transfer to
// a network share hangs (its sshfs server stopped): the window goes within
// 2.5 s, the process stays until the stuck call returns and then ends with
// exit code 0, and the measurement thread that was left behind deletes its
// test file on its way out.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "engine/ResourceKinds.h"
#include "monitor/Parameters.h"
#include "support/LoopbackHttp.h"
#include "support/QtTestApp.h"
#include "support/SshfsShare.h"
#include "support/linux/TopLevelWindows.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

constexpr int kShareTimeoutMs = 3000;

// The drive row on the share and a host row for 127.0.0.1, sampling on.
void WriteParameters(const std::string& folder, const std::string& share) {
  ResourceTable table;
  table.SetRowCount(3);
  const std::pair<std::string, ResourceKind> rows[] = {{share, ResourceKind::Drive},
                                                       {"127.0.0.1", ResourceKind::Echo}};
  for (int row = 1; row <= 2; ++row) {
    table.SetNewRowDefaults(row);
    table.SetCell(Col::Resource, row, rows[row - 1].first);
    table.SetCell(Col::Kind, row, KindText(rows[row - 1].second));
    table.SetCell(Col::ProcessDelay, row, "300");
    table.SetCell(Col::Timeout, row, std::to_string(kShareTimeoutMs));
  }
  WindowParameters params;
  params.pingObjects = true;
  std::string error;
  ASSERT_TRUE(SaveParameters(folder + "/" + kParametersFileName, table, params, &error)) << error;
}

// The value of the exposition's sample line `series`, or -1 without one.
double SampleValue(const std::string& exposition, const std::string& series) {
  const size_t at = exposition.find("\n" + series + " ");
  if (at == std::string::npos) return -1;
  return std::strtod(exposition.c_str() + at + series.size() + 2, nullptr);
}

// Whether something listens on the loopback `port`: the kernel takes the
// connection even while the program's event loop is busy.
bool Listening(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

class HungShareCloseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    const std::string reason = test::SshfsShare::SkipReason();
    if (!reason.empty()) GTEST_SKIP() << reason;
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X server (DISPLAY is not set)";
    share_ = std::make_unique<test::SshfsShare>("16mbit");
    ASSERT_TRUE(share_->Ok()) << share_->Error();
  }
  void TearDown() override {
    if (share_ != nullptr) share_->Answer();
    if (program_.state() != QProcess::NotRunning) {
      program_.kill();
      program_.waitForFinished(10000);
    }
  }

  // The program on `folder_`, serving its metrics on a loopback port.
  void StartProgram() {
    WriteParameters(folder_.Path(), share_->MountPoint());
    port_ = test::FreeLoopbackPort();
    program_.setProgram(QCoreApplication::applicationDirPath() + "/tarnwick");
    program_.setArguments({"--config-dir", QString::fromStdString(folder_.Path()),
                           "--metrics-listen", QString("127.0.0.1:%1").arg(port_)});
    program_.start();
    ASSERT_TRUE(program_.waitForStarted(10000));
    started_ = Clock::now();
  }

  // Waits up to `ms` until the drive row's `series` (with labels after
  // resource and kind) is above `floor`.
  bool WaitForDrive(const std::string& series, const std::string& labels, double floor, int ms) {
    const std::string name =
        series + "{resource=\"" + share_->MountPoint() + "\",kind=\"drive\"" + labels + "}";
    const auto end = Clock::now() + Ms(ms);
    while (Clock::now() < end && program_.state() != QProcess::NotRunning) {
      const test::HttpReply reply = test::LoopbackHttp("127.0.0.1", port_, "GET", "/metrics");
      if (SampleValue(reply.body, name) > floor) return true;
      std::this_thread::sleep_for(Ms(100));
    }
    return false;
  }

  std::unique_ptr<test::SshfsShare> share_;
  test::TempDir folder_;
  QProcess program_;
  int port_ = 0;
  Clock::time_point started_;
};

TEST_F(HungShareCloseTest, WindowGoesWithin2500MsAndTheProcessEndsCleanlyWhenTheShareAnswers) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(WaitForDrive("tarnwick_speed_kbps", ",direction=\"read\"", 0, 30000))
      << "no speed from the share";
  share_->Hang();
  ASSERT_TRUE(WaitForDrive("tarnwick_status", ",status=\"timeout\"", 0.5, kShareTimeoutMs + 10000))
      << "the hung share never showed \"No response\"";
  // A close in the first 5 s would wait behind "Please wait" on purpose.
  std::this_thread::sleep_until(started_ + Ms(5500));

  test::TopLevelWindows screen;
  ASSERT_TRUE(screen.Ok());
  const long pid = static_cast<long>(program_.processId());
  const auto windows = screen.Of(pid);
  ASSERT_FALSE(windows.empty()) << "the program shows no window";
  const auto closing = Clock::now();
  for (auto window : windows) screen.Close(window);
  const auto anyShown = [&] {
    for (auto window : windows)
      if (screen.Viewable(window)) return true;
    return false;
  };
  while (anyShown() && Clock::now() - closing < Ms(10000)) std::this_thread::sleep_for(Ms(2));
  const auto took = std::chrono::duration_cast<Ms>(Clock::now() - closing);
  std::printf("window gone %lld ms after the close message\n",
              static_cast<long long>(took.count()));
  RecordProperty("window_close_ms", static_cast<int>(took.count()));
  EXPECT_LE(took, Ms(2500));

  // The close goes on unseen; once it is over, the metrics port is closed.
  // Only then does the share answer, so that the thread is left behind.
  // Each probe waits in the listen backlog while the close keeps the event
  // loop busy; a full backlog would hold connect() up, so probe sparingly.
  while (Listening(port_) && Clock::now() - closing < Ms(15000))
    std::this_thread::sleep_for(Ms(100));
  ASSERT_FALSE(Listening(port_)) << "the close did not end while the share hung";
  std::printf(
      "close over %lld ms after the close message\n",
      static_cast<long long>(std::chrono::duration_cast<Ms>(Clock::now() - closing).count()));
  // While the share hangs, the process may wait for its stuck call, or
  // have ended cleanly; it never crashes.
  const bool endedWhileHung = program_.waitForFinished(500);
  if (endedWhileHung) {
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program_.exitCode(), 0);
  }
  share_->Answer();
  const auto answered = Clock::now();
  ASSERT_TRUE(program_.waitForFinished(10000)) << "the process outlived the share's answer";
  std::printf(
      "process %s; ended %lld ms after the share answered\n",
      endedWhileHung ? "ended while the share hung" : "waited for the stuck call",
      static_cast<long long>(std::chrono::duration_cast<Ms>(Clock::now() - answered).count()));
  EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program_.exitCode(), 0);
  EXPECT_FALSE(fs::exists(share_->ServedFolder() + "/MRL.TST"));
  EXPECT_TRUE(fs::exists(folder_.File(kParametersFileName)));
}

}  // namespace
}  // namespace tw
