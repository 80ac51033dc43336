// One window per program folder. A second window for the same folder could
// not use the trend files the first one holds and would save its parameters
// file over the other's; so a second start asks the running program to show
// its window and ends. Programs for different folders run side by side.
//
// The running program holds a lock file in the folder (QLockFile: it is
// taken atomically, and a lock left by a program that died is taken over)
// and listens on a local socket named after the folder's canonical path.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QWidget;

namespace tw {

class SingleWindowGuard final : public QObject {
 public:
  // The lock file's name in the program folder.
  static constexpr const char* kLockFileName = "tarnwick.lock";

  // A window, or a headless service, which has no window to raise.
  enum class Role { Window, Service };

  // Takes the folder for this program. A window asks the program that has
  // the folder to raise its window; a service only reports that the folder
  // is taken. Needs the application object.
  explicit SingleWindowGuard(const QString& folder, Role role = Role::Window);

  // False when another program has the folder: this start must end with
  // ExitCode(), after printing Message().
  bool First() const { return first_; }
  int ExitCode() const { return exitCode_; }
  const QString& Message() const { return message_; }

  // The window that a later start raises (also from the tray or minimised).
  void Attach(QWidget* window);

  // The local socket's name for a folder: the same for every spelling of
  // the folder's path, different for other folders and users.
  static QString ServerName(const QString& folder);

 private:
  // The running program's answer to "raise": kRaised, kService, or empty
  // when it did not answer in time.
  QByteArray AskRunningProgram(const QString& name);
  void Listen(const QString& name);
  void RaiseWindow();

  Role role_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer server_;
  QPointer<QWidget> window_;
  bool raiseWanted_ = false;  // asked before the window was attached
  bool first_ = true;
  int exitCode_ = 0;
  QString message_;
};

// The check of the windowed program: the guard of the program folder. When
// another program has the folder, its one-line message has been printed and
// the start ends with the guard's ExitCode().
std::unique_ptr<SingleWindowGuard> ClaimProgramFolderForWindow();

// The same for a headless service: when another program has the folder, the
// guard's Message() says so and the service must not start.
std::unique_ptr<SingleWindowGuard> ClaimProgramFolderForService();

}  // namespace tw
