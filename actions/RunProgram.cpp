#include "actions/RunProgram.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

#include "util/CommandLine.h"

namespace tw {

bool RunProgram(const std::string& commandLine, const std::string& folder) {
  if (!folder.empty()) QDir::setCurrent(QString::fromStdString(folder));
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty() || words.front().empty()) return false;
  QStringList arguments;
  for (size_t i = 1; i < words.size(); ++i) arguments << QString::fromStdString(words[i]);
  // Detached: the program outlives this one and leaves no zombie behind.
  return QProcess::startDetached(QString::fromStdString(words.front()), arguments,
                                 QDir::currentPath());
}

}  // namespace tw
