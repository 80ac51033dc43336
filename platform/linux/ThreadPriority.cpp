#include "platform/ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tw {

void SetCurrentThreadPriorityClass(int priorityClass) {
  // Linux threads have their own nice value. Raising it above normal needs
  // CAP_SYS_NICE; without it the call fails and the thread keeps its value.
  static constexpr int kNice[] = {19, 10, 0, -5, -10};
  if (priorityClass < 1 || priorityClass > 5) return;
  const auto tid = static_cast<id_t>(syscall(SYS_gettid));
  (void)setpriority(PRIO_PROCESS, tid, kNice[priorityClass - 1]);
}

}  // namespace tw
