// How many bytes a web download may take. A download should last 1 to 10
// seconds: long enough that the connection's start does not count, short
// enough that the row shows a new speed every few seconds. With automatic
// size the limit doubles after a download that filled it in under a second
// and halves after one that took over ten.
#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/HttpDownload.h"

namespace tw {

constexpr int32_t kWebStartSize = 64 * 1024;  // the first automatic size
constexpr int32_t kWebMinSize = 16 * 1024;
constexpr int32_t kWebMaxSize = 1024 * 1024 * 1024;

constexpr int64_t kWebShortUs = 1000000;
constexpr int64_t kWebLongUs = 10000000;

// The row's size as a download's limit, inside 1024 bytes .. 1 GB.
inline int32_t FixedWebSize(int32_t blockSize) {
  return std::clamp(blockSize, 1024, kWebMaxSize);
}

// The next automatic size after a download that ended well. A body shorter
// than the limit was the whole file: asking for more would not make the
// download longer.
inline int32_t AdaptedWebSize(int32_t size, const HttpOutcome& outcome) {
  const bool filled = outcome.bodyBytes >= size;
  if (outcome.bodyMicros < kWebShortUs && filled && size <= kWebMaxSize / 2) return size * 2;
  if (outcome.bodyMicros > kWebLongUs && size / 2 >= kWebMinSize) return size / 2;
  return size;
}

}  // namespace tw
