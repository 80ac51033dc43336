// Lenient number parsing of settings cells and rounding rules.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

// Reads a whole number: leading blanks skipped, optional sign, "$" for
// hexadecimal digits; digits up to the first foreign character count. An
// empty text or one that starts with a foreign character reads as 0.
// Values beyond 32 bits saturate.
int32_t ParseWholeNumber(const std::string& text);

// Reads a decimal number with an optional fraction after "." (and an optional
// exponent); leading blanks skipped; unreadable text reads as 0.
double ParseDecimal(const std::string& text);

// Rounds to the nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4).
int64_t RoundHalfEven(double value);

// A speed right-aligned in 9 characters with 2 decimals (no unit).
std::string SpeedField(double kilobytesPerSecond);

// A speed as cell text: 2 decimals right-aligned in 9 characters, then " Kbps".
std::string SpeedText(double kilobytesPerSecond);

}  // namespace tw
