#include "trend/TrendFormat.h"

#include <cmath>
#include <cstring>

namespace tw {

Real48 EncodeReal48(double value) {
  Real48 out{};
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  const int exponent = static_cast<int>((bits >> 52) & 0x7ff);
  const uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  if (std::isnan(value)) return out;
  int e = exponent - 1023 + 129;
  uint64_t fraction = (mantissa + (uint64_t{1} << 12)) >> 13;  // 52 -> 39 bits, half up
  if (fraction == uint64_t{1} << 39) {
    fraction = 0;
    ++e;
  }
  // Subnormal doubles and anything below 2^-128 have no 6-byte form.
  if (exponent == 0 || e <= 0) return out;
  if (e > 255) {
    e = 255;
    fraction = (uint64_t{1} << 39) - 1;
  }
  out[0] = static_cast<uint8_t>(e);
  for (int i = 0; i < 4; ++i) out[1 + i] = static_cast<uint8_t>(fraction >> (8 * i));
  out[5] = static_cast<uint8_t>((fraction >> 32) & 0x7f) | (negative ? 0x80 : 0);
  return out;
}

double DecodeReal48(const uint8_t* bytes) {
  if (bytes[0] == 0) return 0.0;
  uint64_t fraction = 0;
  for (int i = 0; i < 4; ++i) fraction |= static_cast<uint64_t>(bytes[1 + i]) << (8 * i);
  fraction |= static_cast<uint64_t>(bytes[5] & 0x7f) << 32;
  const double magnitude =
      std::ldexp(static_cast<double>((uint64_t{1} << 39) | fraction), bytes[0] - 129 - 39);
  return (bytes[5] & 0x80) != 0 ? -magnitude : magnitude;
}

uint32_t TrendCheckSum(const uint8_t* bytes, size_t count) {
  // Unsigned wrap-around keeps the sum right modulo 65,536.
  uint32_t sum = 0;
  uint32_t x = 0;
  for (size_t i = 0; i < count; ++i) {
    sum += static_cast<uint32_t>(bytes[i]) * static_cast<uint32_t>((i + 1) & 0xff);
    x ^= bytes[i];
  }
  return (x << 16) | (sum & 0xffff);
}

namespace {

// An unsigned 128-bit magnitude for the exact minute-stamp product.
struct Wide {
  uint64_t hi = 0, lo = 0;
};

Wide Multiply(uint64_t a, uint64_t b) {
  const uint64_t a0 = a & 0xffffffff, a1 = a >> 32, b0 = b & 0xffffffff, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t middle = (p00 >> 32) + (p01 & 0xffffffff) + (p10 & 0xffffffff);
  Wide w;
  w.lo = (middle << 32) | (p00 & 0xffffffff);
  w.hi = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
  return w;
}

int BitLength(uint64_t v) {
  int n = 0;
  for (int step = 32; step > 0; step /= 2) {
    if ((v >> step) != 0) {
      v >>= step;
      n += step;
    }
  }
  return n + static_cast<int>(v);
}

int BitLength(const Wide& w) {
  return w.hi != 0 ? 64 + BitLength(w.hi) : BitLength(w.lo);
}

// True when any of the bits 0..count-1 of w is set.
bool AnyLowBits(const Wide& w, int count) {
  if (count <= 0) return false;
  if (count < 64) return (w.lo & ((uint64_t{1} << count) - 1)) != 0;
  if (w.lo != 0) return true;
  return count > 64 && (w.hi & ((uint64_t{1} << (count - 64)) - 1)) != 0;
}

// w >> shift (shift 1..127), with the bits shifted out rounded half to even.
uint64_t ShiftRoundEven(const Wide& w, int shift) {
  const uint64_t kept =
      shift >= 64 ? w.hi >> (shift - 64) : (w.lo >> shift) | (w.hi << (64 - shift));
  const int halfBit = shift - 1;
  const bool half = ((halfBit >= 64 ? w.hi >> (halfBit - 64) : w.lo >> halfBit) & 1) != 0;
  const bool up = half && (AnyLowBits(w, halfBit) || (kept & 1) != 0);
  return kept + (up ? 1 : 0);
}

// Rounds the minute count of |dateTime| half to even; false when out of range.
bool RoundedMinutes(double magnitude, uint64_t& minutes) {
  int exponent = 0;
  const double fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
  const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
  const uint64_t product = mantissa * 1440;  // exact: below 2^64
  const int shift = 53 - exponent;           // minutes = product / 2^shift
  if (shift <= 11) return false;             // beyond any date: 2^42 days and more
  if (shift > 64) {
    minutes = 0;
    return true;
  }
  const uint64_t whole = shift == 64 ? 0 : product >> shift;
  const uint64_t rest = shift == 64 ? product : product & ((uint64_t{1} << shift) - 1);
  const uint64_t half = uint64_t{1} << (shift - 1);
  minutes = whole + ((rest > half || (rest == half && (whole & 1) != 0)) ? 1 : 0);
  return true;
}

}  // namespace

double MinuteStamp(double dateTime) {
  if (!std::isfinite(dateTime) || dateTime == 0.0) return dateTime == 0.0 ? 0.0 : dateTime;
  uint64_t minutes = 0;
  if (!RoundedMinutes(std::fabs(dateTime), minutes)) return dateTime;
  if (minutes == 0) return 0.0;
  // 1/1440 with a 64-bit mantissa: round(2^74 / 1440) * 2^-74.
  constexpr uint64_t kOneMinute = 0xB60B60B60B60B60BULL;
  Wide product = Multiply(minutes, kOneMinute);
  int scale = -74;
  // Round to the 64 bits of the extended format first, then to the 53 of a double.
  int length = BitLength(product);
  if (length > 64) {
    const int shift = length - 64;
    product = Wide{0, ShiftRoundEven(product, shift)};
    scale += shift;
    if (product.lo == 0) {  // carried out of 64 bits: the value is 2^64
      product = Wide{0, uint64_t{1} << 63};
      scale += 1;
    }
  }
  length = BitLength(product);
  if (length > 53) {
    const int shift = length - 53;
    product.lo = ShiftRoundEven(product, shift);
    scale += shift;
  }
  const double magnitude = std::ldexp(static_cast<double>(product.lo), scale);
  return dateTime < 0 ? -magnitude : magnitude;
}

void PutUint32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetUint32(const uint8_t* at) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
  return value;
}

void PutDouble(uint8_t* at, double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 8; ++i) at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

double GetDouble(const uint8_t* at) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(at[i]) << (8 * i);
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::array<uint8_t, kTrendHeaderSize> MakeTrendHeader(double stamp) {
  std::array<uint8_t, kTrendHeaderSize> header{};
  PutDouble(header.data(), stamp);
  PutUint32(header.data() + 8, TrendCheckSum(header.data(), 8));
  return header;
}

std::array<uint8_t, kTrendIndexEntrySize> MakeIndexEntry(double stamp, int32_t position) {
  std::array<uint8_t, kTrendIndexEntrySize> entry{};
  PutDouble(entry.data(), stamp);
  PutUint32(entry.data() + 8, static_cast<uint32_t>(position));
  return entry;
}

TrendRecord MakeTrendRecord(const std::string& name, double read, double write, double ping) {
  TrendRecord record{};
  const size_t length = name.size() < kTrendNameMax ? name.size() : kTrendNameMax;
  record[TrendOffset::NameLength] = static_cast<uint8_t>(length);
  std::memcpy(record.data() + TrendOffset::Name, name.data(), length);
  const Real48 speeds[] = {EncodeReal48(read), EncodeReal48(write), EncodeReal48(ping)};
  const size_t offsets[] = {TrendOffset::Read, TrendOffset::Write, TrendOffset::Ping};
  for (int i = 0; i < 3; ++i) std::memcpy(record.data() + offsets[i], speeds[i].data(), 6);
  return record;
}

void UpperCaseRecordName(TrendRecord& record) {
  const size_t length = record[TrendOffset::NameLength];
  for (size_t i = 0; i < length; ++i) {
    uint8_t& b = record[TrendOffset::Name + i];
    if ((b >= 'a' && b <= 'z') || b >= 224) b = static_cast<uint8_t>(b - 32);
  }
}

}  // namespace tw
