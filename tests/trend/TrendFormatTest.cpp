// The byte formats of the trend files, checked against bytes worked out by
// hand, and the minute stamp against the extended-precision arithmetic it
// must reproduce bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "trend/TrendFormat.h"
#include "util/DateTime.h"

namespace tw {
namespace {

using Bytes = std::vector<uint8_t>;

template <typename Array>
Bytes ToBytes(const Array& a) {
  return Bytes(a.begin(), a.end());
}

TEST(TrendFormat, SixByteRealsMatchHandWorkedBytes) {
  struct Case {
    double value;
    Bytes bytes;
  };
  const Case cases[] = {
      {0.0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {-0.0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {1.0, {0x81, 0x00, 0x00, 0x00, 0x00, 0x00}},
      // 2.5 = 1.25 * 2^1: exponent 130, fraction 0.25 * 2^39 = bit 37.
      {2.5, {0x82, 0x00, 0x00, 0x00, 0x00, 0x20}},
      {-1.0, {0x81, 0x00, 0x00, 0x00, 0x00, 0x80}},
      // 123.4 = 1.928125 * 2^6; 0.928125 = 0.1110110 1100 1100 ... binary, rounded up.
      {123.4, {0x87, 0xCD, 0xCC, 0xCC, 0xCC, 0x76}},
      // Too small for the format.
      {1e-40, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {std::ldexp(1.0, -129), {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      // The smallest value there is.
      {std::ldexp(1.0, -128), {0x01, 0x00, 0x00, 0x00, 0x00, 0x00}},
      // Exactly half a unit of the last place: away from zero on both sides.
      {1.0 + std::ldexp(1.0, -40), {0x81, 0x01, 0x00, 0x00, 0x00, 0x00}},
      {-(1.0 + std::ldexp(1.0, -40)), {0x81, 0x01, 0x00, 0x00, 0x00, 0x80}},
      // Just below half a unit: down.
      {1.0 + std::ldexp(1.0, -41), {0x81, 0x00, 0x00, 0x00, 0x00, 0x00}},
      // Rounding up carries into the exponent: 2 - 2^-41 becomes 2.
      {2.0 - std::ldexp(1.0, -41), {0x82, 0x00, 0x00, 0x00, 0x00, 0x00}},
      // Beyond the format: the largest value of that sign.
      {1e300, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
      {-std::numeric_limits<double>::infinity(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {std::numeric_limits<double>::quiet_NaN(), {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(ToBytes(EncodeReal48(c.value)), c.bytes);
  }
  // Values the format holds exactly come back unchanged.
  for (double v : {0.0, 1.0, 2.5, -1.0, 1024.0, 0.15625, std::ldexp(3.0, 100), -7.25}) {
    EXPECT_EQ(DecodeReal48(EncodeReal48(v).data()), v);
  }
  const Real48 r = EncodeReal48(123.4);
  EXPECT_NEAR(DecodeReal48(r.data()), 123.4, 123.4 * std::ldexp(1.0, -39));
}

TEST(TrendFormat, CheckSumOfAbcAndPlacesModulo256) {
  const uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(TrendCheckSum(abc, 3), 0x0060024Eu);
  EXPECT_EQ(TrendCheckSum(abc, 0), 0u);
  // Places count modulo 256: byte 256 weighs 0, byte 257 weighs 1.
  std::vector<uint8_t> long_bytes(257, 0);
  long_bytes[255] = 7;
  long_bytes[256] = 9;
  EXPECT_EQ(TrendCheckSum(long_bytes.data(), long_bytes.size()), ((7u ^ 9u) << 16) | 9u);
}

TEST(TrendFormat, MinuteStampRoundsToTheNearestMinute) {
  auto at = [](int h, int m, int s, int ms = 0) {
    return EncodeDateTime(CivilTime{2023, 3, 15, h, m, s, ms});
  };
  struct Case {
    double when;
    double minute;
  };
  const Case cases[] = {
      {at(10, 14, 31), at(10, 15, 0)},
      {at(10, 14, 29), at(10, 14, 0)},
      {at(10, 15, 0), at(10, 15, 0)},
      {at(23, 59, 45), EncodeDateTime(CivilTime{2023, 3, 16, 0, 0, 0})},
      {at(0, 0, 10), at(0, 0, 0)},
      // Exactly half a minute ties to the even minute count: 1/64 day is 22.5 minutes.
      {1.0 / 64, MinuteStamp(22.0 / 1440)},
      {3.0 / 64, MinuteStamp(68.0 / 1440)},
      {0.0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.when);
    EXPECT_EQ(MinuteStamp(c.when), MinuteStamp(c.minute));
    EXPECT_EQ(MinuteStamp(MinuteStamp(c.when)), MinuteStamp(c.when));
  }
  const CivilTime t = DecodeDateTime(MinuteStamp(at(10, 14, 31)));
  EXPECT_EQ(t.hour * 3600 + t.minute * 60 + t.second, 10 * 3600 + 15 * 60);
  EXPECT_EQ(t.millisecond, 0);
}

// The stamps of files written elsewhere were computed with the 80-bit x87
// type; where this build has it, the integer computation must agree.
TEST(TrendFormat, MinuteStampEqualsExtendedPrecisionArithmetic) {
  if (std::numeric_limits<long double>::digits != 64) {
    GTEST_SKIP() << "no 64-bit-mantissa long double on this build to compare with";
  }
  auto extended = [](double now) {
    const long double minutes = std::nearbyint(static_cast<long double>(now) * 1440.0L);
    return static_cast<double>(minutes * (1.0L / 1440.0L));
  };
  std::mt19937_64 rng(20261208);
  std::uniform_real_distribution<double> days(-700000.0, 2958466.0);
  std::vector<double> samples = {1.0 / 64, 3.0 / 64, -1.0 / 64,     45000.5,
                                 1e-9,     36522.0,  2958465.99999, -693593.5};
  for (int i = 0; i < 200000; ++i) samples.push_back(days(rng));
  // Every minute of a few days, and the moments half a minute from them.
  for (int m = 0; m < 3 * 1440; ++m) {
    const double minute = 45000.0 + m / 1440.0;
    samples.push_back(minute);
    samples.push_back(minute + 0.5 / 1440.0);
    samples.push_back(std::nextafter(minute + 0.5 / 1440.0, 0.0));
  }
  int mismatches = 0;
  for (double now : samples) {
    const double got = MinuteStamp(now);
    const double want = extended(now);
    if (std::memcmp(&got, &want, sizeof got) != 0 && ++mismatches < 5) {
      ADD_FAILURE() << std::hexfloat << now << " gives " << got << ", want " << want;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace tw
