// Runs a piece of a test as an unprivileged user, where permissions count:
// root reads a file of mode 000, a user does not. The piece runs in a child
// process (as "nobody" when the test runs as root) and reports by its exit
// code.
#pragma once

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace tw::test {

inline constexpr uid_t kNobody = 65534;

// The user id `RunUnprivileged` runs as: files it must reach belong to it.
inline uid_t UnprivilegedUid() {
  return geteuid() == 0 ? kNobody : geteuid();
}

// Runs `piece` in a child process without root's rights and returns its
// result (0..255), or -1 when the child could not run, died, or ran longer
// than `limitSeconds` (it is ended by SIGALRM: a hang fails the test).
// Fork only while no other thread of the test runs: a child forked while
// another thread holds a lock (the allocator's, under a sanitizer) hangs.
inline int RunUnprivileged(const std::function<int()>& piece, unsigned limitSeconds = 60) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    alarm(limitSeconds);
    if (geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
      _exit(200);
    _exit(piece() & 0xFF);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace tw::test
