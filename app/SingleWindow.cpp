#include "app/SingleWindow.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>
#include <cstdio>

#include "platform/ProgramFolder.h"

namespace tw {

namespace {

constexpr char kRaise[] = "raise\n";
constexpr char kRaised[] = "raised\n";
// What a headless service answers: it has no window to raise.
constexpr char kService[] = "service\n";
// How long a second start keeps trying: the first may still be starting.
constexpr int kAnswerWaitMs = 8000;

QString CanonicalFolder(const QString& folder) {
  const QString canonical = QFileInfo(folder).canonicalFilePath();
  return canonical.isEmpty() ? QDir(folder).absolutePath() : canonical;
}

}  // namespace

QString SingleWindowGuard::ServerName(const QString& folder) {
  // The home folder keeps the names of different users apart.
  const QByteArray key = (CanonicalFolder(folder) + '\n' + QDir::homePath()).toUtf8();
  const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex();
  return "tarnwick-" + QString::fromLatin1(hash.left(24));
}

SingleWindowGuard::SingleWindowGuard(const QString& folder, Role role) : role_(role) {
  const QString name = ServerName(folder);
  lock_ = std::make_unique<QLockFile>(QDir(folder).filePath(kLockFileName));
  // Only a lock whose program has died is stale, however old it is.
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) {
    Listen(name);
    return;
  }
  if (lock_->error() != QLockFile::LockFailedError) {
    // A folder where no lock can be made cannot be guarded; the program
    // runs as it did without the guard.
    lock_.reset();
    return;
  }
  first_ = false;
  exitCode_ = 1;
  const QString shown = QDir::toNativeSeparators(CanonicalFolder(folder));
  if (role_ == Role::Service) {
    message_ = "another Tarnwick has " + shown + "; nothing is measured";
    return;
  }
  const QByteArray answer = AskRunningProgram(name);
  if (answer == kRaised) {
    message_ = "tarnwick: already running for " + shown + "; its window was raised";
    exitCode_ = 0;
  } else if (answer == kService) {
    message_ = "tarnwick: a headless Tarnwick measures " + shown + "; it has no window to show";
  } else {
    message_ = "tarnwick: another Tarnwick has " + shown + " but does not answer";
  }
}

void SingleWindowGuard::Listen(const QString& name) {
  // A socket left by a program that died is ours to replace: we hold the lock.
  QLocalServer::removeServer(name);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  server_.listen(name);
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
      connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
      connect(client, &QLocalSocket::readyRead, this, [this, client] {
        if (!client->canReadLine()) return;
        if (client->readLine() == QByteArray(kRaise)) {
          if (role_ == Role::Window) RaiseWindow();
          client->write(role_ == Role::Window ? kRaised : kService);
          client->flush();
        }
        client->disconnectFromServer();
      });
    }
  });
}

QByteArray SingleWindowGuard::AskRunningProgram(const QString& name) {
  const QDeadlineTimer deadline(kAnswerWaitMs);
  while (!deadline.hasExpired()) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(1000)) {
      socket.write(kRaise);
      socket.waitForBytesWritten(1000);
      while (!socket.canReadLine() && socket.waitForReadyRead(2000)) {
      }
      const QByteArray answer = socket.readLine();
      if (answer == kRaised || answer == kService) return answer;
    }
    QThread::msleep(100);
  }
  return {};
}

void SingleWindowGuard::Attach(QWidget* window) {
  window_ = window;
  if (raiseWanted_) RaiseWindow();
}

void SingleWindowGuard::RaiseWindow() {
  if (window_ == nullptr) {
    raiseWanted_ = true;
    return;
  }
  raiseWanted_ = false;
  window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
  window_->show();
  window_->raise();
  window_->activateWindow();
}

std::unique_ptr<SingleWindowGuard> ClaimProgramFolderForWindow() {
  auto guard = std::make_unique<SingleWindowGuard>(QString::fromStdString(ProgramFolder()));
  if (!guard->First()) {
    std::fprintf(guard->ExitCode() == 0 ? stdout : stderr, "%s\n", qPrintable(guard->Message()));
  }
  return guard;
}

std::unique_ptr<SingleWindowGuard> ClaimProgramFolderForService() {
  return std::make_unique<SingleWindowGuard>(QString::fromStdString(ProgramFolder()),
                                             SingleWindowGuard::Role::Service);
}

}  // namespace tw
