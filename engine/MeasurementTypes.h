// The values a measurement thread hands out, without the thread itself: what
// the window's logic and the charts read, so they need not see the worker.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tw {

constexpr int kHistoryLength = 100;
constexpr int kTransferBufferSize = 64512;
constexpr int kTrendPoints = 96;  // quarter hours of a day

// What a resource row measures: a folder on a drive, a read-only file, a
// host by ICMP echo, or a web download; None for a row of no known kind,
// which idles.
enum class ResourceKind { None, Drive, File, Echo, Web };

// The last 100 speeds in Kbps; element 0 is the oldest, 99 the newest.
using SpeedHistory = std::array<double, kHistoryLength>;

// What the UI reads from a running thread, copied at once.
struct MeasurementSnapshot {
  double writeSpeed = 0, readSpeed = 0, pingSpeed = 0;  // Kbps
  double referenceSpeed = 0;                            // Kbps
  SpeedHistory writeHistory{}, readHistory{}, pingHistory{};
  // Speeds appended to the histories so far: a changed count means a
  // changed chart.
  uint64_t sampleCount = 0;
};

// The day's quarter-hour averages on show: blocks write, read, echo; entry
// p-1 of a block is the quarter hour ending p x 15 minutes after midnight.
using TrendDay = std::array<std::array<double, kTrendPoints>, 3>;

// The settings a thread copies out of its row.
struct ThreadSettings {
  std::string address;  // folder, file path, host or URL
  ResourceKind resourceKind = ResourceKind::None;
  int32_t periodMs = 0;   // cycle period, start to start
  bool autoSize = false;  // adapt block / echo size
  int32_t blockSize = 0;  // fixed size in bytes when autoSize is off (a download's limit)
  int32_t timeoutMs = 2500;
};

// What a thread shows in its row: a status text instead of the speeds, or
// the latest speeds (Kbps) when the status is empty.
struct DisplayUpdate {
  ResourceKind resourceKind = ResourceKind::None;
  std::string status;
  double writeSpeed = 0, readSpeed = 0, pingSpeed = 0;
};

}  // namespace tw
