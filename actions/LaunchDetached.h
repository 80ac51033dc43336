// Qt's side of the program launcher: a detached start in Qt's terms.
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "platform/ProgramLauncher.h"

namespace tw {

// Starts `program` through the launcher in the first of `folders` that can be
// entered. Unavailable means the caller starts the program itself.
LaunchOutcome LaunchDetached(const QString& program, const QStringList& arguments,
                             const QStringList& folders, const QProcessEnvironment& environment);

}  // namespace tw
