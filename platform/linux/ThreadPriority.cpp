// Linux threads have their own nice value; the classes are nice values
// relative to the thread's nice when it first set a class (the program's
// normal level). Lowering is one-way for an unprivileged thread: without
// CAP_SYS_NICE a thread may raise its nice value only as far as RLIMIT_NICE
// allows (to 20 - limit), and that limit is 0 by default. A thread that
// dropped to nice 19 for its wait would then time every later transfer at
// nice 19 too. So a class is only applied when the thread could come back
// to its normal level afterwards; otherwise the thread stays where it is,
// and a raise stops at the highest level the limit allows.
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/ThreadPriority.h"

namespace tw {

namespace {

constexpr int kOffsets[] = {19, 10, 0, -5, -10};
constexpr int kHighestNice = -20, kLowestNice = 19;

bool HasNiceCapability() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  return (data[CAP_TO_INDEX(CAP_SYS_NICE)].effective & CAP_TO_MASK(CAP_SYS_NICE)) != 0;
}

// The highest level (lowest nice value) this thread may set.
int HighestAllowedNice() {
  if (HasNiceCapability()) return kHighestNice;
  rlimit limit{};
  if (getrlimit(RLIMIT_NICE, &limit) != 0) return kLowestNice + 1;
  if (limit.rlim_cur == RLIM_INFINITY) return kHighestNice;
  const auto ceiling = static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 40));
  return std::max(20 - ceiling, kHighestNice);
}

// What a thread knows about its own level. It is read from the system once
// and then remembered: nothing else sets a measuring thread's nice value, and
// a thread changes class four times a cycle, where each system call costs
// several microseconds on a virtual machine.
struct ThreadLevel {
  bool known = false;
  id_t tid = 0;
  int normal = 0;   // the nice value when the thread first set a class
  int highest = 0;  // the highest level (lowest nice value) it may set
  int current = 0;  // the nice value it runs at
};

bool LearnLevel(ThreadLevel& level) {
  level.tid = static_cast<id_t>(syscall(SYS_gettid));
  errno = 0;
  const int now = getpriority(PRIO_PROCESS, level.tid);
  if (now == -1 && errno != 0) return false;
  level.normal = level.current = now;
  level.highest = HighestAllowedNice();
  level.known = true;
  return true;
}

}  // namespace

bool SetCurrentThreadPriorityClass(int priorityClass) {
  if (priorityClass < 1 || priorityClass > 5) return false;
  static thread_local ThreadLevel level;
  if (!level.known && !LearnLevel(level)) return false;
  const int wanted =
      std::clamp(level.normal + kOffsets[priorityClass - 1], kHighestNice, kLowestNice);
  // Once lowered, the thread could not get back to its normal level.
  if (level.highest > level.normal) return level.current == wanted;
  const int nice = std::max(wanted, level.highest);
  if (nice != level.current) {
    if (setpriority(PRIO_PROCESS, level.tid, nice) != 0) {
      errno = 0;
      const int now = getpriority(PRIO_PROCESS, level.tid);
      if (now != -1 || errno == 0) level.current = now;
      return false;
    }
    level.current = nice;
  }
  return nice == wanted;
}

}  // namespace tw
