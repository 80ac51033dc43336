// Date-time values as days since 30 December 1899, local time (the stamp
// form of the trend files and the trend chart's date).
#pragma once

#include "platform/CivilTime.h"

namespace tw {

// Days since 30 December 1899 for a civil date and time.
double EncodeDateTime(const CivilTime& t);

// The civil date and time of a day count (fractions below a millisecond dropped).
CivilTime DecodeDateTime(double days);

// The whole-day part (the date) of a day count.
double DatePart(double days);

// Day of week, 0 Sunday .. 6 Saturday.
int DayOfWeek(double days);

}  // namespace tw
