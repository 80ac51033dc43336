#include "util/Numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tw {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Fixed or scientific digits of `value` as std::to_chars writes them (always
// "." and never a thousands separator, whatever the locale).
std::string CharsOf(double value, std::chars_format format, int decimals) {
  // The longest fixed text: 309 whole digits, the point and the decimals.
  char buffer[360];
  decimals = std::clamp(decimals, 0, 40);
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, decimals);
  if (result.ec != std::errc()) return {};
  return std::string(buffer, result.ptr);
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
    // Negating in unsigned arithmetic wraps; "-$80000000" stays INT32_MIN.
    const auto bits = static_cast<uint32_t>(value);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

double ParseDecimal(const std::string& text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  while (begin < end && *begin == ' ') ++begin;
  const bool negative = begin < end && *begin == '-';
  if (begin < end && (*begin == '+' || *begin == '-')) ++begin;
  // Only digits or a point may start the number: "inf" and "nan" are refused.
  if (begin == end || !(std::isdigit(static_cast<unsigned char>(*begin)) || *begin == '.'))
    return 0.0;
  double value = 0.0;
  // The general format has no hexadecimal floats: "0x10" reads as 0.
  const auto result = std::from_chars(begin, end, value, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
  return negative ? -value : value;
}

int64_t RoundHalfEven(double value) {
  // Below 2^51 in magnitude, adding and taking away 1.5 x 2^52 leaves no
  // fraction bits, and the addition rounds half to even by itself: one
  // rounded addition instead of a floor call (the charts round every point).
  constexpr double kShift = 6755399441055744.0;  // 1.5 x 2^52
  if (std::fabs(value) < 2251799813685248.0) {   // 2^51
    return static_cast<int64_t>((value + kShift) - kShift);
  }
  if (!std::isfinite(value)) return 0;
  // Beyond the range the conversion below would be undefined.
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (value >= kLimit) return std::numeric_limits<int64_t>::max();
  if (value < -kLimit) return std::numeric_limits<int64_t>::min();
  const double floor = std::floor(value);
  const double diff = value - floor;
  auto result = static_cast<int64_t>(floor);
  if (diff > 0.5 || (diff == 0.5 && (result % 2) != 0)) ++result;
  return result;
}

std::string FixedText(double value, int decimals, int width) {
  std::string text = CharsOf(value, std::chars_format::fixed, decimals);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string ScientificText(double value, int decimals, int exponentDigits) {
  std::string text = CharsOf(value, std::chars_format::scientific, decimals);
  const size_t e = text.find('e');
  if (e == std::string::npos) return text;  // inf, nan
  const char sign = text[e + 1];
  std::string digits = text.substr(e + 2);
  if (static_cast<int>(digits.size()) < exponentDigits)
    digits.insert(0, exponentDigits - digits.size(), '0');
  return text.substr(0, e) + 'E' + sign + digits;
}

std::string SpeedField(double kilobytesPerSecond) {
  return FixedText(kilobytesPerSecond, 2, 9);
}

std::string SpeedText(double kilobytesPerSecond) {
  return SpeedField(kilobytesPerSecond) + " Kbps";
}

}  // namespace tw
