#include "app/HelpFileLocation.h"

#include <QDir>
#include <QFileInfo>

namespace tw {

namespace {

constexpr char kHelpFileName[] = "TARNWICK.HLP";

}  // namespace

QString FindHelpFile(const QString& programFolder, const QString& executableFolder) {
  const QString besideExecutable = QDir(executableFolder).filePath(kHelpFileName);
  const QString inShareFolder =
      QDir::cleanPath(executableFolder + "/../share/tarnwick/" + kHelpFileName);
  for (const QString& path :
       {QDir(programFolder).filePath(kHelpFileName), besideExecutable, inShareFolder}) {
    if (QFileInfo(path).isFile()) return path;
  }
  return besideExecutable;
}

}  // namespace tw
