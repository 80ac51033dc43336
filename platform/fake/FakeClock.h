// A clock for tests: time moves only when the test says so.
#pragma once

#include <atomic>
#include <mutex>

#include "platform/Clock.h"

namespace tw {

class FakeClock final : public Clock {
 public:
  uint64_t TickMs() override { return ms_.load(); }
  int64_t CounterUs() override { return static_cast<int64_t>(ms_.load()) * 1000; }
  CivilTime LocalNow() override {
    std::lock_guard<std::mutex> lock(mutex_);
    return local_;
  }

  void AdvanceMs(uint64_t ms) { ms_ += ms; }
  void SetLocalNow(const CivilTime& t) {
    std::lock_guard<std::mutex> lock(mutex_);
    local_ = t;
  }

 private:
  std::atomic<uint64_t> ms_{1000000};
  std::mutex mutex_;
  CivilTime local_;
};

}  // namespace tw
