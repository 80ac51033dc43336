#include "actions/LaunchDetached.h"

namespace tw {

namespace {

std::vector<std::string> Local8Bit(const QStringList& texts) {
  std::vector<std::string> out;
  for (const QString& text : texts) out.push_back(text.toLocal8Bit().toStdString());
  return out;
}

}  // namespace

LaunchOutcome LaunchDetached(const QString& program, const QStringList& arguments,
                             const QStringList& folders, const QProcessEnvironment& environment) {
  ProgramStart start;
  start.program = program.toLocal8Bit().toStdString();
  start.arguments = Local8Bit(arguments);
  start.folders = Local8Bit(folders);
  start.environment = Local8Bit(environment.toStringList());
  return LaunchProgram(start);
}

}  // namespace tw
