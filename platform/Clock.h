// Clocks: the monotonic tick counts that replace the system tick counter and
// the performance counter, and the local wall-clock time.
#pragma once

#include <cstdint>

#include "platform/CivilTime.h"

namespace tw {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds of a monotonic clock; never wraps (64 bits).
  virtual uint64_t TickMs() = 0;
  // Microseconds of a monotonic clock, for timing transfers.
  virtual int64_t CounterUs() = 0;
  // The local date and time now.
  virtual CivilTime LocalNow() = 0;
};

// The real clocks of this machine.
Clock& SystemClock();

}  // namespace tw
