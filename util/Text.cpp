#include "util/Text.h"

#include <algorithm>

namespace tw {

std::string UpperCaseName(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || b >= 224) c = static_cast<char>(b - 32);
  }
  return out;
}

std::string Trim(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

std::pair<std::string, std::string> SplitAtFirst(const std::string& text,
                                                 const std::string& delimiter) {
  const size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
  if (at == std::string::npos) return {text, ""};
  return {text.substr(0, at), text.substr(at + delimiter.size())};
}

std::string AsciiUpper(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return out;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

}  // namespace tw
