#include "app/HeadlessRun.h"

#include <QCoreApplication>
#include <cstdio>

#include "app/HeadlessMonitor.h"
#include "app/SignalWatcher.h"
#include "platform/Clock.h"

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

int RunHeadless(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("Tarnwick");
  SignalWatcher watcher;
  if (!watcher.Watching()) HeadlessLogLine("signals cannot be caught; SIGTERM ends at once");
  HeadlessMonitor monitor(SystemClock(), HeadlessLogLine);
  std::string why;
  if (!monitor.Start(why)) {
    HeadlessLogLine(why + "; nothing is measured");
    return 2;
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
