// Timing priority of the calling thread, in the five classes of the
// measurement threads: 1 lowest, 2 below normal, 3 normal, 4 above normal,
// 5 highest. Where the system refuses a class, the thread carries on at a
// level it may leave again.
#pragma once

namespace tw {

// Sets the class; true when the thread now runs at it.
bool SetCurrentThreadPriorityClass(int priorityClass);

}  // namespace tw
