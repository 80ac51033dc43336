// Numbers are read and written with "." whatever the process locale, in the
// exact text forms of the C library's "C" locale; signed hexadecimal texts
// wrap instead of overflowing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "support/CommaLocale.h"
#include "util/Colour.h"
#include "util/Numbers.h"

namespace tw {
namespace {

TEST(NumbersInCommaLocale, ReadAndWrittenWithAPoint) {
  test::CommaLocaleScope comma;
  if (!comma.Active()) GTEST_SKIP() << comma.Problem();
  const std::pair<const char*, double> read[] = {
      {"2.5", 2.5}, {" 0.25", 0.25}, {"5.00000000000000E+0002", 500}, {"2,5", 2}, {"-1.5x", -1.5}};
  for (const auto& [text, value] : read) EXPECT_DOUBLE_EQ(ParseDecimal(text), value) << text;
  EXPECT_EQ(SpeedText(1.5), "     1.50 Kbps");
  EXPECT_EQ(SpeedField(1234.567), "  1234.57");
  EXPECT_EQ(FixedText(0.4, 1, 6), "   0.4");
  EXPECT_EQ(ScientificText(500, 14, 4), "5.00000000000000E+0002");
}

// The helpers give the same bytes as printf in the "C" locale (the test
// program runs in it), so the files and texts keep their exact forms.
TEST(NumbersTest, TextFormsMatchTheCLibrary) {
  const double inf = std::numeric_limits<double>::infinity();
  const double values[] = {0,     -0.0, 1.5,    0.125, 2.675,  -3.14159, 1234567.891, 1e-7, 0.005,
                           0.015, 1e20, -1e300, 123.4, 99.995, 1e308,    inf,         -inf, 5e-324};
  for (const double v : values) {
    char expected[512];
    std::snprintf(expected, sizeof expected, "%9.2f", v);
    EXPECT_EQ(FixedText(v, 2, 9), expected) << v;
    std::snprintf(expected, sizeof expected, "%.1f", v);
    EXPECT_EQ(FixedText(v, 1), expected) << v;
    if (!std::isfinite(v)) continue;
    std::snprintf(expected, sizeof expected, "%.14E", v);
    EXPECT_EQ(ScientificText(v, 14), expected) << v;
  }
  EXPECT_EQ(ScientificText(1e-300, 3, 4), "1.000E-0300");
  EXPECT_EQ(ScientificText(inf, 14, 4), "inf");
}

TEST(NumbersTest, NegatedHexadecimalWrapsWithoutOverflow) {
  const std::pair<const char*, int32_t> whole[] = {
      {"-$80000000", INT32_MIN},  {"-$1", -1},
      {"-$FFFFFFFF", 1},          {"-$7FFFFFFF", -INT32_MAX},
      {"-2147483648", INT32_MIN}, {"-2147483649", INT32_MIN}};
  for (const auto& [text, value] : whole) EXPECT_EQ(ParseWholeNumber(text), value) << text;

  const std::pair<const char*, std::optional<ColorValue>> colours[] = {
      {"-$80000000", kSystemColorBase}, {"-$00000001", static_cast<ColorValue>(0xFFFFFFFFu)},
      {"-2147483648", INT32_MIN},       {"-2147483649", std::nullopt},
      {"2147483648", std::nullopt},     {"-$100000000", std::nullopt}};
  for (const auto& [text, value] : colours) EXPECT_EQ(StringToColor(text), value) << text;
}

}  // namespace
}  // namespace tw
