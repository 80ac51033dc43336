// The termination and reload signals of a program without a window, turned
// into Qt signals on the event loop. The handler itself only writes the
// signal's number into a pipe (the one thing a signal handler may safely
// do); a socket notifier reads it on the main thread.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace tw {

class SignalWatcher final : public QObject {
  Q_OBJECT

 public:
  // Catches SIGTERM, SIGINT and SIGHUP from now on (one watcher a process).
  // Where the system has no such signals it watches nothing.
  explicit SignalWatcher(QObject* parent = nullptr);
  // Puts the system's default handling back.
  ~SignalWatcher() override;

  // False when the pipe or the handlers could not be set up.
  bool Watching() const { return notifier_ != nullptr; }

 signals:
  // SIGTERM or SIGINT: end cleanly. `name` is "SIGTERM" or "SIGINT".
  void TerminationRequested(const QString& name);
  // SIGHUP: read the settings again.
  void ReloadRequested();

 private:
  void ReadPending();

  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tw
