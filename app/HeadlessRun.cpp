#include "app/HeadlessRun.h"

#include <QCoreApplication>
#include <cstdio>

#include "app/HeadlessMonitor.h"
#include "app/MetricsServer.h"
#include "app/SignalWatcher.h"
#include "app/SingleWindow.h"
#include "platform/Clock.h"
#include "util/ProgramOptions.h"

namespace tw {

void HeadlessLogLine(const std::string& line) {
  std::string text = "tarnwick: " + line;
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  text += '\n';
  // One write per line, so lines of a crash report or another writer never
  // run into the middle of one.
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

int RunHeadless(int argc, char** argv, const ProgramOptions& options) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("Tarnwick");
  // One program per folder: two would fight over the trend files.
  const auto guard = ClaimProgramFolderForService();
  if (!guard->First()) {
    HeadlessLogLine(guard->Message().toStdString());
    return guard->ExitCode();
  }
  SignalWatcher watcher;
  if (!watcher.Watching()) HeadlessLogLine("signals cannot be caught; SIGTERM ends at once");
  // The endpoint is opened before anything is measured, so that a port that
  // cannot be had ends the service with nothing started.
  TMetricsServer metricsServer;
  if (!options.metricsAddress.empty()) {
    const std::string problem = metricsServer.Listen(options.metricsAddress, options.metricsPort);
    if (!problem.empty()) {
      HeadlessLogLine(problem);
      return kMetricsListenFailed;
    }
  }
  HeadlessMonitor monitor(SystemClock(), HeadlessLogLine);
  std::string why;
  if (!monitor.Start(why)) {
    HeadlessLogLine(why + "; nothing is measured");
    return 2;
  }
  metricsServer.Publish(monitor.Metrics());
  if (!options.metricsAddress.empty()) {
    const std::string& host = options.metricsAddress;
    HeadlessLogLine("metrics at http://" +
                    (host.find(':') != std::string::npos ? "[" + host + "]" : host) + ":" +
                    std::to_string(options.metricsPort) + "/metrics");
  }
  QObject::connect(&watcher, &SignalWatcher::ReloadRequested, &monitor, [&monitor] {
    HeadlessLogLine("SIGHUP: reading the parameters file again");
    monitor.Reload();
  });
  QObject::connect(&watcher, &SignalWatcher::TerminationRequested, &monitor,
                   [&monitor](const QString& name) {
                     if (!monitor.Running()) return;
                     HeadlessLogLine(name.toStdString() + ": stopping");
                     monitor.Stop();
                     QCoreApplication::exit(0);
                   });
  return QCoreApplication::exec();
}

}  // namespace tw
