// The program started where no session bus runs (no address, no user bus)
// must not leave a bus of its own behind: the bus library would start
// "dbus-launch --autolaunch" and a "dbus-daemon" that outlive it.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/TopWindows.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

// Processes whose environment carries `marker` (a variable only the started
// program and whatever it starts in turn inherit).
std::vector<pid_t> ProcessesCarrying(const std::string& marker) {
  std::vector<pid_t> found;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return found;
  while (const dirent* entry = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) continue;
    std::ifstream in(std::string("/proc/") + entry->d_name + "/environ", std::ios::binary);
    const std::string environment((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    if (environment.find(marker) != std::string::npos) found.push_back(pid);
  }
  closedir(proc);
  return found;
}

TEST(SessionBus, ProgramWithoutABusLeavesNoneBehind) {
  test::EnsureQtApp();
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X server (DISPLAY is not set)";
  const char* bin = std::getenv("TARNWICK_BIN_DIR");
  if (bin == nullptr) GTEST_SKIP() << "TARNWICK_BIN_DIR is not set";
  test::TempDir home;
  const std::string marker = "TARNWICK_BUS_PROBE=" + std::to_string(getpid());

  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DBUS_SESSION_BUS_ADDRESS");
  environment.remove("XDG_RUNTIME_DIR");
  environment.insert("TARNWICK_HOME", QString::fromStdString(home.Path()));
  environment.insert("TARNWICK_BUS_PROBE", QString::number(getpid()));
  QProcess program;
  program.setProcessEnvironment(environment);
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.start(QString(bin) + "/tarnwick", {});
  ASSERT_TRUE(program.waitForStarted(5000));

  // Running with its window on the screen: the toolkit has looked for the bus.
  std::unique_ptr<TopWindows> windows = OpenTopWindows();
  const auto windowShown = [&] {
    for (const TopWindow& w : windows->List()) {
      if (w.pid == program.processId()) return true;
    }
    return false;
  };
  EXPECT_TRUE(QTest::qWaitFor(windowShown, 10000));
  QTest::qWait(1000);
  program.terminate();
  if (!program.waitForFinished(5000)) {
    program.kill();
    program.waitForFinished(5000);
  }

  // The program's own launcher process ends with it, a moment later; a bus
  // it had started would stay.
  std::vector<pid_t> left = ProcessesCarrying(marker);
  QElapsedTimer waited;
  waited.start();
  while (!left.empty() && waited.elapsed() < 3000) {
    QTest::qWait(20);
    left = ProcessesCarrying(marker);
  }
  for (pid_t pid : left) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline");
    std::string command;
    std::getline(in, command, '\0');
    ADD_FAILURE() << "left behind: " << pid << " " << command;
    kill(pid, SIGTERM);
  }
}

}  // namespace
}  // namespace tw
