#include "util/Colour.h"

#include <cctype>
#include <cstdio>

#include "util/Text.h"

namespace tw {

namespace {

struct NamedColor {
  const char* name;
  uint32_t value;
};

constexpr NamedColor kColorNames[] = {
    {"clBlack", 0x00000000},         {"clMaroon", 0x00000080},
    {"clGreen", 0x00008000},         {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},          {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},          {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0},        {"clRed", 0x000000FF},
    {"clLime", 0x0000FF00},          {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},          {"clFuchsia", 0x00FF00FF},
    {"clAqua", 0x00FFFF00},          {"clWhite", 0x00FFFFFF},
    {"clScrollBar", 0x80000000},     {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002}, {"clInactiveCaption", 0x80000003},
    {"clMenu", 0x80000004},          {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},   {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},    {"clCaptionText", 0x80000009},
    {"clActiveBorder", 0x8000000A},  {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C},  {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E}, {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010},     {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012},       {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014},  {"cl3DDkShadow", 0x80000015},
    {"cl3DLight", 0x80000016},       {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018},        {"clNone", 0x1FFFFFFF},
};

std::optional<ColorValue> ParseColorNumber(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const bool hex = i < text.size() && text[i] == '$';
  if (hex) ++i;
  if (i >= text.size()) return std::nullopt;
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (std::isdigit(static_cast<unsigned char>(c)))
      digit = c - '0';
    else if (hex && std::isxdigit(static_cast<unsigned char>(c)))
      digit = std::toupper(c) - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  // Decimal texts cover the signed 32-bit range, -2147483648 included.
  if (!hex && value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return std::nullopt;
  // Hexadecimal texts are bit patterns; negating wraps modulo 2^32, so that
  // "-$80000000" is the pattern $80000000 again (no signed overflow).
  const auto bits = static_cast<uint32_t>(value);
  return static_cast<ColorValue>(negative ? 0u - bits : bits);
}

}  // namespace

std::string ColorToString(ColorValue value) {
  for (const auto& entry : kColorNames) {
    if (static_cast<ColorValue>(entry.value) == value) return entry.name;
  }
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<uint32_t>(value));
  return buffer;
}

std::optional<ColorValue> StringToColor(const std::string& text) {
  const std::string trimmed = Trim(text);
  for (const auto& entry : kColorNames) {
    if (EqualsIgnoreCase(trimmed, entry.name)) return static_cast<ColorValue>(entry.value);
  }
  return ParseColorNumber(trimmed);
}

bool IsSystemColor(ColorValue value) {
  const auto bits = static_cast<uint32_t>(value);
  return bits >= 0x80000000u && bits <= 0x80000018u;
}

}  // namespace tw
