#include "actions/RunProgram.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

#include "platform/AccessibleButtons.h"
#include "util/CommandLine.h"

namespace tw {

bool RunProgram(const std::string& commandLine, const std::string& folder) {
  if (!folder.empty()) QDir::setCurrent(QString::fromStdString(folder));
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty() || words.front().empty()) return false;
  QStringList arguments;
  for (size_t i = 1; i < words.size(); ++i) arguments << QString::fromStdString(words[i]);
  QProcess process;
  process.setProgram(QString::fromStdString(words.front()));
  process.setArguments(arguments);
  process.setWorkingDirectory(QDir::currentPath());
  // The address that only keeps this program from starting a bus is not the
  // started program's to inherit.
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  if (environment.value("DBUS_SESSION_BUS_ADDRESS") == kNoSessionBusAddress) {
    environment.remove("DBUS_SESSION_BUS_ADDRESS");
  }
  process.setProcessEnvironment(environment);
  // Detached: the program outlives this one and leaves no zombie behind.
  return process.startDetached();
}

}  // namespace tw
