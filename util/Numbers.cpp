#include "util/Numbers.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tw {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int32_t ParseWholeNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  }
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit =
        base == 16 ? HexDigit(text[i])
                   : (std::isdigit(static_cast<unsigned char>(text[i])) ? text[i] - '0' : -1);
    if (digit < 0) break;
    value = value * base + digit;
    if (value > 0xFFFFFFFFLL) break;
  }
  if (base == 16 && value <= 0xFFFFFFFFLL) {
    // Hexadecimal texts carry the colour and flag bit patterns: keep the bits.
    const auto bits = static_cast<uint32_t>(value);
    const auto signedBits = static_cast<int32_t>(bits);
    return negative ? -signedBits : signedBits;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

double ParseDecimal(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  const char* begin = text.c_str() + i;
  // strtod also accepts "inf", "nan" and hexadecimal floats: refuse them.
  const char* digits = *begin == '+' || *begin == '-' ? begin + 1 : begin;
  if (!(std::isdigit(static_cast<unsigned char>(*digits)) || *digits == '.')) return 0.0;
  if (digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) return 0.0;
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(value)) return 0.0;
  return value;
}

int64_t RoundHalfEven(double value) {
  if (!std::isfinite(value)) return 0;
  const double floor = std::floor(value);
  const double diff = value - floor;
  auto result = static_cast<int64_t>(floor);
  if (diff > 0.5 || (diff == 0.5 && (result % 2) != 0)) ++result;
  return result;
}

std::string SpeedField(double kilobytesPerSecond) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%9.2f", kilobytesPerSecond);
  return buffer;
}

std::string SpeedText(double kilobytesPerSecond) {
  return SpeedField(kilobytesPerSecond) + " Kbps";
}

}  // namespace tw
