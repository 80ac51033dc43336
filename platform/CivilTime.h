// A local calendar date and time of day, as the system clock reports it.
#pragma once

namespace tw {

struct CivilTime {
  int year = 1899, month = 12, day = 30;  // month 1..12
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

}  // namespace tw
