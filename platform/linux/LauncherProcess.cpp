// Each program is started through a double fork: the middle process exits
// at once and the system reaps it (the launcher does not wait for its
// children), so the program is nobody's child here (no zombie) and outlives
// this program. A close-on-exec socket between the
// program's process and the launcher tells whether the exec happened: it
// closes without a word on success and carries errno on failure.
//
// A working folder on a share that does not answer blocks only the
// program's own process in chdir(); the launcher gives up waiting after
// kExecWait and the program starts later, when the share answers.
#include "platform/linux/LauncherProcess.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/linux/LauncherMessages.h"

extern char** environ;

namespace tw::launcher {

namespace {

// The launcher ignores a terminal's Ctrl+C and Ctrl+\ (they reach the whole
// process group; this program decides itself how to end) and lets the
// system reap its children; the programs get the dispositions back.
using SignalAction = struct sigaction;

struct KeptSignals {
  SignalAction interrupt{};
  SignalAction quit{};
  SignalAction child{};
};

KeptSignals SetLauncherSignals() {
  KeptSignals kept;
  SignalAction ignore{};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGINT, &ignore, &kept.interrupt);
  sigaction(SIGQUIT, &ignore, &kept.quit);
  SignalAction noZombies{};
  noZombies.sa_handler = SIG_DFL;
  noZombies.sa_flags = SA_NOCLDWAIT;
  sigemptyset(&noZombies.sa_mask);
  sigaction(SIGCHLD, &noZombies, &kept.child);
  return kept;
}

std::vector<char*> Pointers(const std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (const std::string& text : texts) pointers.push_back(const_cast<char*>(text.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

void Report(int status, int error) {
  send(status, &error, sizeof error, MSG_NOSIGNAL);
}

// The program's own process: only system calls from here on.
[[noreturn]] void BecomeProgram(const ProgramStart& start, char** argv, char** envp,
                                const KeptSignals& kept, int status) {
  sigaction(SIGINT, &kept.interrupt, nullptr);
  sigaction(SIGQUIT, &kept.quit, nullptr);
  sigaction(SIGCHLD, &kept.child, nullptr);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  bool entered = start.folders.empty();
  for (const std::string& folder : start.folders) {
    if (chdir(folder.c_str()) == 0) {
      entered = true;
      break;
    }
  }
  if (entered) {
    environ = envp;  // execvp looks the program up in the program's own PATH
    execvp(argv[0], argv);
  }
  Report(status, errno);
  _exit(127);
}

// Started, Failed, or NoAnswer when the exec has not happened by `wait`.
LaunchOutcome AwaitExec(int status, std::chrono::milliseconds wait) {
  const auto deadline = Clock::now() + wait;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd entry{status, POLLIN, 0};
    const int ready = poll(&entry, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return LaunchOutcome::NoAnswer;
    int error = 0;
    const ssize_t got = recv(status, &error, sizeof error, 0);
    if (got < 0 && errno == EINTR) continue;
    return got == 0 ? LaunchOutcome::Started : LaunchOutcome::Failed;
  }
}

LaunchOutcome StartDetached(const ProgramStart& start, const KeptSignals& kept) {
  if (start.program.empty()) return LaunchOutcome::Failed;
  std::vector<std::string> words{start.program};
  words.insert(words.end(), start.arguments.begin(), start.arguments.end());
  std::vector<char*> argv = Pointers(words);
  std::vector<char*> envp = Pointers(start.environment);
  int status[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, status) != 0) {
    return LaunchOutcome::Failed;
  }
  const pid_t middle = fork();
  if (middle == 0) {
    close(status[0]);
    const pid_t program = fork();
    if (program == 0) BecomeProgram(start, argv.data(), envp.data(), kept, status[1]);
    if (program < 0) Report(status[1], errno);
    _exit(0);
  }
  close(status[1]);
  const LaunchOutcome outcome =
      middle > 0 ? AwaitExec(status[0], kExecWait) : LaunchOutcome::Failed;
  close(status[0]);
  return outcome;
}

}  // namespace

void RunLauncher(int socket, pid_t parent) {
  // Ends with this program even when the socket's other end was handed on
  // to another process by mistake.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(0);
  const KeptSignals kept = SetLauncherSignals();
  std::string request;
  while (ReceiveMessage(socket, request, kNoDeadline)) {
    ProgramStart start;
    const LaunchOutcome outcome =
        DecodeRequest(request, start) ? StartDetached(start, kept) : LaunchOutcome::Failed;
    const char answer = static_cast<char>(outcome);
    if (!SendAll(socket, &answer, 1, kNoDeadline)) break;
  }
  // _exit: the copy of this program's state (its static objects, buffered
  // output) belongs to this program, not to the launcher.
  _exit(0);
}

}  // namespace tw::launcher
