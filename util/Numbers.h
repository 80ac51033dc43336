// Lenient number parsing of settings cells, rounding rules and the text
// forms of numbers. Every conversion here uses "." as the decimal point
// whatever the process locale: the desktop locale (which the window toolkit
// switches to at start-up) must not change the files or the texts shown.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

// Reads a whole number: leading blanks skipped, optional sign, "$" for
// hexadecimal digits; digits up to the first foreign character count. An
// empty text or one that starts with a foreign character reads as 0.
// Decimal values beyond 32 bits saturate. Hexadecimal texts keep their 32-bit
// pattern and a "-" before them negates it modulo 2^32: "-$1" reads as -1 and
// "-$80000000" as INT32_MIN (the one pattern that is its own negation).
int32_t ParseWholeNumber(const std::string& text);

// Reads a decimal number with an optional fraction after "." (and an optional
// exponent); leading blanks skipped; unreadable text reads as 0. A ","
// ends the number like any other foreign character.
double ParseDecimal(const std::string& text);

// Rounds to the nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4);
// values beyond the 64-bit range give its ends, non-finite ones 0.
int64_t RoundHalfEven(double value);

// `value` with `decimals` digits after ".", right-aligned in `width`
// characters: the text of "%*.*f" in the "C" locale.
std::string FixedText(double value, int decimals, int width = 0);

// `value` as d.ddd with `decimals` digits after ".", then "E", the exponent's
// sign and at least `exponentDigits` digits: "%.*E" in the "C" locale with a
// wider exponent. Infinities and NaNs give "inf", "-inf" or "nan".
std::string ScientificText(double value, int decimals, int exponentDigits = 2);

// A speed right-aligned in 9 characters with 2 decimals (no unit).
std::string SpeedField(double kilobytesPerSecond);

// A speed as cell text: 2 decimals right-aligned in 9 characters, then " Kbps".
std::string SpeedText(double kilobytesPerSecond);

}  // namespace tw
