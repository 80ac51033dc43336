// The priority classes as an unprivileged user: a class is applied only when
// the thread can come back to its normal level, so a drop for a wait never
// leaves the next timed transfer at the lowest level.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "platform/ThreadPriority.h"

namespace tw {
namespace {

constexpr uid_t kNobody = 65534;

struct Step {
  int priorityClass;
  bool applied;
  int nice;  // of the thread afterwards, relative to where it started
};

int ThreadNice() {
  return getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
}

// On a new thread: runs the steps; 0 when each gave what it should and the
// thread could always return to where it started, else the failing step's
// number.
int RunSteps(const std::vector<Step>& steps) {
  int failed = 0;
  std::thread([&] {
    const int start = ThreadNice();
    for (size_t i = 0; i < steps.size() && failed == 0; ++i) {
      const bool applied = SetCurrentThreadPriorityClass(steps[i].priorityClass);
      const int nice = ThreadNice();
      const auto tid = static_cast<id_t>(syscall(SYS_gettid));
      const bool raisable =
          setpriority(PRIO_PROCESS, tid, start) == 0 && setpriority(PRIO_PROCESS, tid, nice) == 0;
      if (applied != steps[i].applied || nice - start != steps[i].nice || !raisable) {
        failed = static_cast<int>(i) + 1;
      }
    }
  }).join();
  return failed;
}

constexpr int kLimitRefused = 101;

// Runs the steps in a child process that has dropped to the user nobody with
// the given RLIMIT_NICE; its result, or 100 + the reason it could not.
int RunAsNobody(rlim_t niceLimit, const std::vector<Step>& steps) {
  const pid_t pid = fork();
  if (pid == 0) {
    const rlimit limit{niceLimit, niceLimit};
    if (setrlimit(RLIMIT_NICE, &limit) != 0) _exit(kLimitRefused);
    if (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
        setresuid(kNobody, kNobody, kNobody) != 0) {
      _exit(102);
    }
    if (geteuid() != kNobody) _exit(103);
    _exit(RunSteps(steps));
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return 104;
  return WEXITSTATUS(status);
}

TEST(ThreadPriorityTest, UnprivilegedThreadsNeverLoseTheWayBack) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
  const struct {
    const char* what;
    rlim_t niceLimit;
    std::vector<Step> steps;
  } cases[] = {
      // No way back up: every class leaves the thread alone.
      {"default limit",
       0,
       {{1, false, 0}, {2, false, 0}, {3, true, 0}, {5, false, 0}, {3, true, 0}}},
      // Back to the normal level is allowed, above it is not.
      {"limit back to normal",
       20,
       {{1, true, 19}, {5, false, 0}, {2, true, 10}, {4, false, 0}, {3, true, 0}}},
      {"limit a little above normal",
       25,
       {{1, true, 19}, {4, true, -5}, {5, false, -5}, {3, true, 0}}},
  };
  if (getpriority(PRIO_PROCESS, 0) != 0) GTEST_SKIP() << "the test runs at a nice value";
  for (const auto& c : cases) {
    const int result = RunAsNobody(c.niceLimit, c.steps);
    // Raising the hard limit needs CAP_SYS_RESOURCE, which a container may lack.
    if (result == kLimitRefused && c.niceLimit > 0) {
      GTEST_LOG_(INFO) << c.what << ": this system refuses the limit, case left out";
      continue;
    }
    EXPECT_EQ(result, 0) << c.what;
  }
}

}  // namespace
}  // namespace tw
