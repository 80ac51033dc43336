#include "app/SignalWatcher.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace tw {

#ifdef Q_OS_UNIX

namespace {

// [0] is written by the handler, [1] read by the notifier.
int signalPipe[2] = {-1, -1};
constexpr int kWatched[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int number) {
  const int savedErrno = errno;
  const char byte = static_cast<char>(number);
  // A full pipe drops the byte: a signal of that kind is already waiting.
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
  errno = savedErrno;
}

bool MakePipe() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return false;
  for (int fd : signalPipe) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  return true;
}

bool InstallHandlers() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int number : kWatched) {
    if (::sigaction(number, &action, nullptr) != 0) return false;
  }
  return true;
}

void RestoreDefaults() {
  for (int number : kWatched) std::signal(number, SIG_DFL);
}

}  // namespace

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
  if (signalPipe[0] >= 0 || !MakePipe()) return;
  notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalWatcher::ReadPending);
  if (!InstallHandlers()) {
    RestoreDefaults();
    delete notifier_;
    notifier_ = nullptr;
  }
}

SignalWatcher::~SignalWatcher() {
  if (notifier_ == nullptr) return;
  RestoreDefaults();
  delete notifier_;
  for (int& fd : signalPipe) {
    ::close(fd);
    fd = -1;
  }
}

void SignalWatcher::ReadPending() {
  char bytes[16];
  ssize_t count = 0;
  while ((count = ::read(signalPipe[1], bytes, sizeof bytes)) > 0) {
    for (ssize_t i = 0; i < count; ++i) {
      if (bytes[i] == SIGHUP) {
        emit ReloadRequested();
      } else {
        emit TerminationRequested(bytes[i] == SIGTERM ? "SIGTERM" : "SIGINT");
      }
    }
  }
}

#else

// No POSIX signals here: the program ends as the system ends it.
SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {}
SignalWatcher::~SignalWatcher() = default;
void SignalWatcher::ReadPending() {}

#endif

}  // namespace tw
