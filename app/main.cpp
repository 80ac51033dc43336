// Tarnwick: a desktop network-speed monitor, or with --headless the same
// measurements as a service without a window.
#include <QApplication>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "actions/Player.h"
#include "app/EventServices.h"
#include "app/HeadlessRun.h"
#include "app/MetricsServer.h"
#include "app/PingObject.h"
#include "app/SingleWindow.h"
#include "dialogs/AboutBox.h"
#include "platform/AccessibleButtons.h"
#include "platform/ProgramLauncher.h"
#include "util/ProgramOptions.h"

namespace {

// Why `folder` cannot hold the program's files; empty when it can.
std::string ConfigDirProblem(const std::string& folder) {
  const QFileInfo info(QString::fromLocal8Bit(folder.c_str()));
  if (!info.exists()) return "the folder \"" + folder + "\" does not exist";
  if (!info.isDir()) return "\"" + folder + "\" is not a folder";
  if (!info.isWritable()) return "the folder \"" + folder + "\" is not writable";
  return {};
}

// The program launcher for the program's run; it is gone before the
// program ends, so nothing of it outlives the program.
struct LauncherScope {
  LauncherScope() { tw::StartProgramLauncher(); }
  ~LauncherScope() { tw::StopProgramLauncher(); }
  LauncherScope(const LauncherScope&) = delete;
  LauncherScope& operator=(const LauncherScope&) = delete;
};

int Fail(const std::string& why) {
  std::fprintf(stderr, "tarnwick: %s\n", why.c_str());
  return 2;
}

// The program with its window, until the window has closed; `threads` is
// then what tells whether its measurement threads are all gone.
int RunWindow(int argc, char** argv, const tw::ProgramOptions& options,
              std::weak_ptr<void>& threads) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarnwick");
  QApplication::setApplicationVersion(tw::ProgramVersion());
  QGuiApplication::setDesktopFileName("org.tarnwick.Tarnwick");
  // A second start for the same folder only raises the running window; it
  // must not fail on the metrics port the running program holds.
  const auto guard = tw::ClaimProgramFolderForWindow();
  if (!guard->First()) return guard->ExitCode();
  // The endpoint is opened before the window and its threads, so that a port
  // that cannot be had ends the program with nothing started.
  tw::TMetricsServer metricsServer;
  if (!options.metricsAddress.empty()) {
    const std::string problem = metricsServer.Listen(options.metricsAddress, options.metricsPort);
    if (!problem.empty()) {
      std::fprintf(stderr, "tarnwick: %s\n", problem.c_str());
      return tw::kMetricsListenFailed;
    }
  }
  tw::TPingObject mainWindow;
  threads = mainWindow.ThreadsAlive();
  metricsServer.Publish(mainWindow.Metrics());
  // The long-lived windows, in their order: main window, message dialog, sound player.
  mainWindow.MsgDialog();
  mainWindow.EventServices().Player();
  mainWindow.show();
  guard->Attach(&mainWindow);
  return QApplication::exec();
}

// A close does not wait for a measurement thread stuck in a call to a hung
// network share: it leaves the thread behind. The process ends only once
// that call has returned and the thread has ended, deleting its test file on
// the share, so that no thread is cut off midway or runs while the process
// tears down what it still uses. The window, the program folder's lock and
// the metrics port are already gone meanwhile.
void WaitForThreadsLeftBehind(const std::weak_ptr<void>& threads) {
  while (!threads.expired()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

}  // namespace

int main(int argc, char** argv) {
  const tw::ProgramOptions options = tw::ParseProgramOptions({argv + 1, argv + argc});
  switch (options.action) {
    case tw::ProgramOptions::Action::Help:
      std::fputs(tw::ProgramUsage().c_str(), stdout);
      return 0;
    case tw::ProgramOptions::Action::Version:
      std::printf("tarnwick %s\n", qPrintable(tw::ProgramVersion()));
      return 0;
    case tw::ProgramOptions::Action::Error:
      return Fail(options.error);
    case tw::ProgramOptions::Action::Run:
      break;
  }
  if (!options.configDir.empty()) {
    const std::string problem = ConfigDirProblem(options.configDir);
    if (!problem.empty()) return Fail(problem);
    qputenv("TARNWICK_HOME", QByteArray::fromStdString(options.configDir));
  }
  tw::KeepSessionBusFromAutolaunching();
  // Before Qt, any thread or any file of a share exists: programs started
  // for speed events must not wait for a share that no longer answers.
  const LauncherScope launcher;
  if (options.headless) return tw::RunHeadless(argc, argv, options);
  std::weak_ptr<void> threads;
  const int code = RunWindow(argc, argv, options, threads);
  WaitForThreadsLeftBehind(threads);
  return code;
}
