// Shared pieces of the window tests: one QApplication for the program, the
// test programs started as real processes, and waiting with the event loop
// running.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "platform/TopWindows.h"

namespace tw::test {

// Runs the event loop until `done` or the time is up; returns `done()`.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
  return true;
}

// A program of the build's bin folder: TARNWICK_BIN_DIR, else the folder of
// this test program (they are built side by side).
inline std::string TestProgram(const std::string& name) {
  const char* bin = std::getenv("TARNWICK_BIN_DIR");
  if (bin != nullptr && *bin != '\0') return std::string(bin) + "/" + name;
  return QCoreApplication::applicationDirPath().toStdString() + "/" + name;
}

// A test program running for the length of a test; killed at the end.
class Child {
 public:
  Child(const std::string& program, const QStringList& arguments) {
    process_.setProgram(QString::fromStdString(program));
    process_.setArguments(arguments);
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.start();
    process_.waitForStarted(5000);
  }
  ~Child() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(5000);
    }
  }
  int64_t Pid() const { return process_.processId(); }
  bool Running() { return process_.state() == QProcess::Running; }
  bool WaitFinished(int ms) {
    return process_.state() == QProcess::NotRunning || process_.waitForFinished(ms);
  }

 private:
  QProcess process_;
};

// Lines of a record file written by a test program.
inline QList<QByteArray> RecordLines(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QList<QByteArray> lines = file.readAll().split('\n');
  lines.removeAll(QByteArray());
  return lines;
}

inline int CountLines(const std::string& path, const QByteArray& line) {
  return static_cast<int>(RecordLines(path).count(line));
}

// Waits until a top-level window with exactly this title exists.
inline bool WaitForWindow(TopWindows& windows, const std::string& title, int timeoutMs = 10000) {
  return WaitFor(
      [&] {
        for (const TopWindow& w : windows.List()) {
          if (w.title == title) return true;
        }
        return false;
      },
      timeoutMs);
}

inline bool HaveDisplay() {
  return std::getenv("DISPLAY") != nullptr;
}

}  // namespace tw::test
