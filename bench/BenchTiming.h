// Median and spread of repeated runs, printed in microseconds; returns the
// median.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace tw::bench {

inline double TimeRuns(const char* what, int runs, const std::function<void()>& run) {
  std::vector<double> us;
  us.reserve(static_cast<size_t>(runs));
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(us.begin(), us.end());
  const auto at = [&](double q) { return us[static_cast<size_t>(q * (us.size() - 1))]; };
  std::printf("%s: runs %d, median %.1f us, p10 %.1f us, p90 %.1f us, max %.1f us\n", what, runs,
              at(0.5), at(0.1), at(0.9), us.back());
  return at(0.5);
}

}  // namespace tw::bench
