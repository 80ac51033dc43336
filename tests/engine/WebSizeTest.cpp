// The size rule of web downloads: 1 to 10 s a download.
#include "engine/WebSize.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(WebSizeTest, AutomaticSizeAimsAtOneToTenSeconds) {
  const struct {
    int32_t size;
    int64_t bodyBytes, bodyMicros;
    int32_t next;
  } cases[] = {
      {65536, 65536, 20000, 131072},              // short and filled: doubles
      {65536, 30000, 20000, 65536},               // the whole file came: no use asking more
      {65536, 65536, 999999, 131072},             //
      {65536, 65536, 1000000, 65536},             // 1 s: stays
      {65536, 65536, 10000000, 65536},            // 10 s: stays
      {65536, 65536, 10000001, 32768},            // longer: halves
      {kWebMinSize, 100, 20000000, kWebMinSize},  // not below the smallest size
      {kWebMaxSize / 2, kWebMaxSize / 2, 10, kWebMaxSize},
      {kWebMaxSize, kWebMaxSize, 10, kWebMaxSize},  // not above the largest
  };
  for (const auto& c : cases) {
    HttpOutcome outcome;
    outcome.end = HttpEnd::Done;
    outcome.bodyBytes = c.bodyBytes;
    outcome.bodyMicros = c.bodyMicros;
    EXPECT_EQ(AdaptedWebSize(c.size, outcome), c.next) << c.size << " " << c.bodyMicros;
  }
}

TEST(WebSizeTest, AFixedSizeStaysInsideItsRange) {
  EXPECT_EQ(FixedWebSize(0), 1024);
  EXPECT_EQ(FixedWebSize(-5), 1024);
  EXPECT_EQ(FixedWebSize(4000000), 4000000);
  EXPECT_EQ(FixedWebSize(2147483647), kWebMaxSize);
}

}  // namespace
}  // namespace tw
