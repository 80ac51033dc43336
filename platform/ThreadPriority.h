// Timing priority of the calling thread, in the five classes of the
// measurement threads: 1 lowest, 2 below normal, 3 normal, 4 above normal,
// 5 highest. Where the system refuses a class, the call changes nothing and
// the thread carries on.
#pragma once

namespace tw {

void SetCurrentThreadPriorityClass(int priorityClass);

}  // namespace tw
