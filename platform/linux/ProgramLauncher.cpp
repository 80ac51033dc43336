// This program's side of the launcher: one socket to it, one request at a
// time. The launcher is process-wide by nature (forked once before anything
// else exists, serving every caller), so its link lives here instead of
// being handed through every window that can start a program.
#include "platform/ProgramLauncher.h"

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "platform/linux/LauncherMessages.h"
#include "platform/linux/LauncherProcess.h"

namespace tw {

namespace {

using launcher::Clock;

// The launcher's own wait for an exec plus room for a loaded machine.
constexpr auto kAnswerWait = launcher::kExecWait + std::chrono::milliseconds(1000);

struct Link {
  std::mutex mutex;
  int socket = -1;
  pid_t pid = -1;
};

Link& TheLink() {
  static Link link;
  return link;
}

void Drop(Link& link) {
  if (link.socket >= 0) close(link.socket);
  link.socket = -1;
  if (link.pid > 0) {
    kill(link.pid, SIGKILL);
    while (waitpid(link.pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  link.pid = -1;
}

// The launcher never speaks unasked: a readable socket means it has ended.
bool LauncherGone(int socket) {
  pollfd entry{socket, POLLIN, 0};
  return poll(&entry, 1, 0) != 0;
}

bool ValidAnswer(char answer) {
  return answer == static_cast<char>(LaunchOutcome::Started) ||
         answer == static_cast<char>(LaunchOutcome::Failed) ||
         answer == static_cast<char>(LaunchOutcome::NoAnswer);
}

}  // namespace

bool StartProgramLauncher() {
  Link& link = TheLink();
  const std::lock_guard<std::mutex> lock(link.mutex);
  if (link.socket >= 0) return true;
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return false;
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    close(ends[0]);
    launcher::RunLauncher(ends[1], parent);
  }
  close(ends[1]);
  if (pid < 0) {
    close(ends[0]);
    return false;
  }
  link.socket = ends[0];
  link.pid = pid;
  return true;
}

void StopProgramLauncher() {
  Link& link = TheLink();
  const std::lock_guard<std::mutex> lock(link.mutex);
  Drop(link);
}

int ProgramLauncherPid() {
  Link& link = TheLink();
  const std::lock_guard<std::mutex> lock(link.mutex);
  return link.pid;
}

LaunchOutcome LaunchProgram(const ProgramStart& start) {
  const std::string request = launcher::EncodeRequest(start);
  if (request.size() > launcher::kMaxRequest) return LaunchOutcome::Failed;
  Link& link = TheLink();
  const std::lock_guard<std::mutex> lock(link.mutex);
  if (link.socket < 0) return LaunchOutcome::Unavailable;
  // A launcher that has died is given up before the request, so that the
  // caller's own way starts the program instead.
  const auto deadline = Clock::now() + kAnswerWait;
  if (LauncherGone(link.socket) || !launcher::SendMessage(link.socket, request, deadline)) {
    Drop(link);
    return LaunchOutcome::Unavailable;
  }
  char answer = 0;
  if (!launcher::ReceiveAll(link.socket, &answer, 1, deadline) || !ValidAnswer(answer)) {
    // Whether the program started is unknown; a later answer would be
    // taken for the next request's, so the launcher is given up.
    Drop(link);
    return LaunchOutcome::NoAnswer;
  }
  return static_cast<LaunchOutcome>(answer);
}

}  // namespace tw
