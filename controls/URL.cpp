#include "controls/URL.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QProcess>

#include "actions/LaunchDetached.h"
#include "platform/WebBrowser.h"

namespace tw {

TURL::TURL(QWidget* parent) : QLabel(parent) {
  browserCommand_ = QString::fromStdString(WebBrowserCommand()).trimmed();
  if (!browserCommand_.isEmpty()) setCursor(Qt::PointingHandCursor);
}

TURL::TURL(const QString& address, QWidget* parent) : TURL(parent) {
  setText(address);
}

QStringList TURL::CommandFor(const QString& address) const {
  QStringList parts = QProcess::splitCommand(browserCommand_);
  if (parts.isEmpty()) return parts;
  // The address always travels as one argument of its own, never through a
  // shell, so that no character of it can start anything else.
  bool placed = false;
  QStringList command;
  for (const QString& part : parts) {
    if (part == "%u" || part == "%U" || part == "%f" || part == "%F" || part == "%s" ||
        part == "%1") {
      if (!placed) command << address;
      placed = true;
    } else if (part.size() == 2 && part[0] == '%') {
      continue;  // the other field codes of a desktop entry (%i, %c, %k) name nothing here
    } else {
      command << part;
    }
  }
  if (!placed) command << address;
  return command;
}

void TURL::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Open();
}

void TURL::Open() {
  if (browserCommand_.isEmpty()) return;
  const QStringList command = CommandFor(text());
  if (command.isEmpty()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // Through the launcher, as event programs are: a fork of this program
  // would wait for any share a measuring thread has a file open on.
  const LaunchOutcome outcome =
      LaunchDetached(command.front(), command.mid(1), {QDir::currentPath()},
                     QProcessEnvironment::systemEnvironment());
  const bool started = outcome == LaunchOutcome::Unavailable
                           ? QProcess::startDetached(command.front(), command.mid(1))
                           : outcome == LaunchOutcome::Started;
  QApplication::restoreOverrideCursor();
  emit browserStarted(started);
}

}  // namespace tw
