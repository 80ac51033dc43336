#include "actions/RunProgram.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

#include "actions/LaunchDetached.h"
#include "platform/AccessibleButtons.h"
#include "util/CommandLine.h"

namespace tw {

namespace {

// The address that only keeps this program from starting a bus is not the
// started program's to inherit.
QProcessEnvironment ProgramEnvironment() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  if (environment.value("DBUS_SESSION_BUS_ADDRESS") == kNoSessionBusAddress) {
    environment.remove("DBUS_SESSION_BUS_ADDRESS");
  }
  return environment;
}

QStringList Arguments(const std::vector<std::string>& words) {
  QStringList arguments;
  for (size_t i = 1; i < words.size(); ++i) arguments << QString::fromStdString(words[i]);
  return arguments;
}

// Without a launcher: this program forks itself, which waits for every
// share one of its threads has a file open on.
bool StartHere(const std::vector<std::string>& words, const std::string& folder) {
  if (!folder.empty()) QDir::setCurrent(QString::fromStdString(folder));
  if (words.empty() || words.front().empty()) return false;
  QProcess process;
  process.setProgram(QString::fromStdString(words.front()));
  process.setArguments(Arguments(words));
  process.setWorkingDirectory(QDir::currentPath());
  process.setProcessEnvironment(ProgramEnvironment());
  // Detached: the program outlives this one and leaves no zombie behind.
  return process.startDetached();
}

}  // namespace

bool RunProgram(const std::string& commandLine, const std::string& folder) {
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  // The program's process enters the folder first; this program follows
  // only once the folder has answered there, so that a folder on a share
  // that does not answer cannot freeze the caller. When the folder cannot
  // be entered, the program starts in this program's current folder.
  const QString current = QDir::currentPath();
  QStringList folders{current};
  if (!folder.empty()) {
    folders.prepend(
        QDir::cleanPath(QDir(current).absoluteFilePath(QString::fromStdString(folder))));
  }
  LaunchOutcome outcome = LaunchOutcome::Failed;
  if (!words.empty() && !words.front().empty()) {
    outcome = LaunchDetached(QString::fromStdString(words.front()), Arguments(words), folders,
                             ProgramEnvironment());
  }
  if (outcome == LaunchOutcome::Unavailable) return StartHere(words, folder);
  if (!folder.empty() && outcome != LaunchOutcome::NoAnswer) {
    QDir::setCurrent(QString::fromStdString(folder));
  }
  return outcome == LaunchOutcome::Started;
}

}  // namespace tw
