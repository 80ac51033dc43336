// Date-time values as days since 30 December 1899, local time (the stamp
// form of the trend files and the trend chart's date).
#pragma once

namespace tw {

struct CivilTime {
  int year = 1899, month = 12, day = 30;  // month 1..12
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Days since 30 December 1899 for a civil date and time.
double EncodeDateTime(const CivilTime& t);

// The civil date and time of a day count (fractions below a millisecond dropped).
CivilTime DecodeDateTime(double days);

// The whole-day part (the date) of a day count.
double DatePart(double days);

// Day of week, 0 Sunday .. 6 Saturday.
int DayOfWeek(double days);

}  // namespace tw
