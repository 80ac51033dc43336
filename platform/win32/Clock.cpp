#include "platform/Clock.h"

#include <windows.h>

namespace tw {

namespace {

class Win32Clock final : public Clock {
 public:
  uint64_t TickMs() override { return GetTickCount64(); }

  int64_t CounterUs() override {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    if (frequency.QuadPart == 0) return 0;
    return static_cast<int64_t>(count.QuadPart / frequency.QuadPart * 1000000 +
                                count.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart);
  }

  CivilTime LocalNow() override {
    SYSTEMTIME st;
    GetLocalTime(&st);
    CivilTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.millisecond = st.wMilliseconds;
    return t;
  }
};

}  // namespace

Clock& SystemClock() {
  static Win32Clock clock;
  return clock;
}

}  // namespace tw
