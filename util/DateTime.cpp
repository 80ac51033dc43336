#include "util/DateTime.h"

#include <cmath>
#include <cstdint>

namespace tw {

namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian), after H. Hinnant.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

constexpr int64_t kEpochOffset = 25569;  // 1970-01-01 as days since 1899-12-30

}  // namespace

double EncodeDateTime(const CivilTime& t) {
  const int64_t days =
      DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) +
      kEpochOffset;
  const double ms = ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.millisecond;
  const double fraction = ms / 86400000.0;
  // Before the epoch the fraction counts forward from the date (the day's sign
  // stays on the whole part, as the stored form does it).
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

CivilTime DecodeDateTime(double days) {
  CivilTime t;
  const double whole = std::trunc(days);
  const double fraction = std::fabs(days - whole);
  CivilFromDays(static_cast<int64_t>(whole) - kEpochOffset, t.year, t.month, t.day);
  auto ms = static_cast<int64_t>(std::llround(fraction * 86400000.0));
  if (ms >= 86400000) ms = 86399999;
  t.hour = static_cast<int>(ms / 3600000);
  t.minute = static_cast<int>(ms / 60000 % 60);
  t.second = static_cast<int>(ms / 1000 % 60);
  t.millisecond = static_cast<int>(ms % 1000);
  return t;
}

double DatePart(double days) {
  return std::trunc(days);
}

int DayOfWeek(double days) {
  // 30 December 1899 was a Saturday.
  const auto d = static_cast<int64_t>(std::floor(days));
  return static_cast<int>(((d + 6) % 7 + 7) % 7);
}

}  // namespace tw
