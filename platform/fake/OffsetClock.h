// A clock for tests: runs like the real one, and the test can move it forward
// (to jump over a timeout) or set the local time of day.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>

#include "platform/Clock.h"

namespace tw {

class OffsetClock final : public Clock {
 public:
  uint64_t TickMs() override { return static_cast<uint64_t>(CounterUs() / 1000); }
  int64_t CounterUs() override {
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::steady_clock::now().time_since_epoch())
                         .count();
    return now + offsetUs_.load();
  }
  CivilTime LocalNow() override {
    std::lock_guard<std::mutex> lock(mutex_);
    return local_ ? *local_ : SystemClock().LocalNow();
  }

  void AdvanceMs(int64_t ms) { offsetUs_ += ms * 1000; }
  void SetLocalNow(const CivilTime& t) {
    std::lock_guard<std::mutex> lock(mutex_);
    local_ = t;
  }

 private:
  std::atomic<int64_t> offsetUs_{0};
  std::mutex mutex_;
  std::optional<CivilTime> local_;
};

}  // namespace tw
