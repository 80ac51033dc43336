// The text form of colour values kept in the settings table and the
// parameters file: a standard name, or "$" and eight hexadecimal digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tw {

// A colour value: lowest byte red, then green, then blue. Values from
// 0x80000000 up stand for the desktop's colour of a screen element.
using ColorValue = int32_t;

constexpr ColorValue kSystemColorBase = static_cast<ColorValue>(0x80000000u);
constexpr ColorValue clBlack = 0x000000;
constexpr ColorValue clMaroon = 0x000080;
constexpr ColorValue clGreen = 0x008000;
constexpr ColorValue clOlive = 0x008080;
constexpr ColorValue clNavy = 0x800000;
constexpr ColorValue clPurple = 0x800080;
constexpr ColorValue clTeal = 0x808000;
constexpr ColorValue clGray = 0x808080;
constexpr ColorValue clSilver = 0xC0C0C0;
constexpr ColorValue clRed = 0x0000FF;
constexpr ColorValue clLime = 0x00FF00;
constexpr ColorValue clYellow = 0x00FFFF;
constexpr ColorValue clBlue = 0xFF0000;
constexpr ColorValue clFuchsia = 0xFF00FF;
constexpr ColorValue clAqua = 0xFFFF00;
constexpr ColorValue clWhite = 0xFFFFFF;
constexpr ColorValue clNone = 0x1FFFFFFF;

// Screen elements of the system colours (value = kSystemColorBase + element).
enum class SystemColor : int {
  ScrollBar = 0,
  Background,
  ActiveCaption,
  InactiveCaption,
  Menu,
  Window,
  WindowFrame,
  MenuText,
  WindowText,
  CaptionText,
  ActiveBorder,
  InactiveBorder,
  AppWorkSpace,
  Highlight,
  HighlightText,
  BtnFace,
  BtnShadow,
  GrayText,
  BtnText,
  InactiveCaptionText,
  BtnHighlight,
  DkShadow3D,
  Light3D,
  InfoText,
  InfoBk
};

constexpr ColorValue SystemColorValue(SystemColor element) {
  return static_cast<ColorValue>(0x80000000u + static_cast<unsigned>(element));
}

// The name when the value has one, else "$" and eight hexadecimal digits.
std::string ColorToString(ColorValue value);

// A name of the table (letter case ignored), a decimal number or "$" hex,
// each with an optional sign. A signed hexadecimal text is negated modulo
// 2^32 ("-$80000000" is $80000000). Returns nothing for an unreadable text
// or a decimal one outside the signed 32-bit range.
std::optional<ColorValue> StringToColor(const std::string& text);

// True for the values that stand for a desktop colour.
bool IsSystemColor(ColorValue value);

}  // namespace tw
