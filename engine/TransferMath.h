// The arithmetic of the timed transfers, shared by the kinds' loops.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tw {

// A fixed block size from the settings, kept inside the transfer buffer:
// a negative size reads as 0, one beyond the buffer as the buffer's size.
inline int32_t FixedBlockSize(int32_t blockSize, int32_t bufferSize) {
  return std::clamp(blockSize, 0, bufferSize);
}

// Kbps of `wholeKilobytes` (size div 1024, times `factor`) moved in
// `micros` microseconds; 0 when no time was measured.
inline double BlockSpeed(int32_t size, int32_t factor, int64_t micros) {
  if (micros <= 0) return 0;
  return static_cast<double>(static_cast<int64_t>(size / 1024) * factor) /
         static_cast<double>(micros);
}

// The priority class for a mean transfer time of `meanUs` microseconds
// (drive transfers): shorter transfers are timed at a higher priority.
inline int DrivePriorityClass(int64_t meanUs) {
  const auto m = static_cast<uint32_t>(meanUs);
  if (m < 20001) return 5;
  if (m < 60001) return 4;
  if (m < 200001) return 3;
  if (m < 1000001) return 2;
  return 1;
}

}  // namespace tw
