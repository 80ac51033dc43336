// Text helpers shared by the settings table, the trend files and the pickers.
#pragma once

#include <string>
#include <utility>

namespace tw {

// Upper-cases a..z and also the bytes 224..255 (lowered by 32), byte by byte.
// Trend series names are compared in this form.
std::string UpperCaseName(const std::string& text);

// Removes blanks and control characters (bytes <= 32) at both ends.
std::string Trim(const std::string& text);

// Splits at the first occurrence of `delimiter`: {before, after}. When the
// delimiter is missing, {text, ""}.
std::pair<std::string, std::string> SplitAtFirst(const std::string& text,
                                                 const std::string& delimiter);

// Upper-cases ASCII letters only (case-insensitive comparisons of keys).
std::string AsciiUpper(const std::string& text);

// True when the two texts are equal ignoring ASCII letter case.
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

}  // namespace tw
