#include "platform/ThreadPriority.h"

#include <windows.h>

namespace tw {

bool SetCurrentThreadPriorityClass(int priorityClass) {
  static constexpr int kPriority[] = {THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_BELOW_NORMAL,
                                      THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL,
                                      THREAD_PRIORITY_HIGHEST};
  if (priorityClass < 1 || priorityClass > 5) return false;
  return SetThreadPriority(GetCurrentThread(), kPriority[priorityClass - 1]) != 0;
}

}  // namespace tw
