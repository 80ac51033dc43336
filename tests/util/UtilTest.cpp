#include <gtest/gtest.h>

#include <limits>

#include "util/Colour.h"
#include "util/DateTime.h"
#include "util/Numbers.h"
#include "util/Text.h"

namespace tw {
namespace {

TEST(TextTest, UpperCaseNameLowersLettersAndHighBytes) {
  EXPECT_EQ(UpperCaseName("c:\\net\\share"), "C:\\NET\\SHARE");
  // 224..255 move down by 32; 192..223 and other bytes stay.
  EXPECT_EQ(UpperCaseName("\xE0\xFF\xC0\xDF{"), "\xC0\xDF\xC0\xDF{");
}

TEST(TextTest, TrimAndSplit) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(SplitAtFirst("key=value=x", "="),
            std::make_pair(std::string("key"), std::string("value=x")));
  EXPECT_EQ(SplitAtFirst("novalue", "="), std::make_pair(std::string("novalue"), std::string()));
  EXPECT_TRUE(EqualsIgnoreCase("Network speed", "NETWORK SPEED"));
  EXPECT_FALSE(EqualsIgnoreCase("Network speed", "Network speeds"));
}

TEST(NumbersTest, WholeNumbersAreReadLeniently) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {
      {"", 0},
      {"abc", 0},
      {"1000", 1000},
      {"  42", 42},
      {"-17", -17},
      {"+5", 5},
      {"12abc", 12},
      {"$FF", 255},
      {"$80000000", INT32_MIN},
      {"99999999999", INT32_MAX},
      {"1.5", 1},
      {"- 3", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseWholeNumber(c.text), c.value) << c.text;
}

TEST(NumbersTest, DecimalsAreReadLeniently) {
  EXPECT_DOUBLE_EQ(ParseDecimal(""), 0);
  EXPECT_DOUBLE_EQ(ParseDecimal("2"), 2);
  EXPECT_DOUBLE_EQ(ParseDecimal(" 0.25"), 0.25);
  EXPECT_DOUBLE_EQ(ParseDecimal("-1.5x"), -1.5);
  EXPECT_DOUBLE_EQ(ParseDecimal("inf"), 0);
  EXPECT_DOUBLE_EQ(ParseDecimal("0x10"), 0);
  EXPECT_DOUBLE_EQ(ParseDecimal("1e3"), 1000);
}

TEST(NumbersTest, RoundingHalvesGoToEven) {
  const struct {
    double in;
    int64_t out;
  } cases[] = {{0.5, 0},  {1.5, 2},   {2.5, 2},    {3.5, 4},
               {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

// The quick way for ordinary magnitudes and the exact way above them meet at
// 2^51; both must round the same near that edge and for the smallest steps.
TEST(NumbersTest, RoundingIsExactAtBothSidesOfTheQuickRange) {
  constexpr double kEdge = 2251799813685248.0;  // 2^51
  const struct {
    double in;
    int64_t out;
  } cases[] = {{kEdge - 0.5, 2251799813685248},
               {kEdge - 1.5, 2251799813685246},
               {kEdge - 0.25, 2251799813685248},
               {kEdge, 2251799813685248},
               {kEdge + 0.5, 2251799813685248},
               {kEdge + 1.5, 2251799813685250},
               {-(kEdge - 0.5), -2251799813685248},
               {-(kEdge + 1.5), -2251799813685250},
               {0.49999999999999994, 0},
               {-0.49999999999999994, 0},
               {1e-300, 0},
               {-0.0, 0},
               {86.5, 86},
               {87.5, 88}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundHalfEven(-std::numeric_limits<double>::infinity()), 0);
}

TEST(NumbersTest, RoundingBeyondThe64BitRangeGivesItsEnds) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  const struct {
    double in;
    int64_t out;
  } cases[] = {{1e300, kMax},  {9223372036854775808.0, kMax},
               {-1e300, kMin}, {-9223372036854775808.0, kMin},
               {6.7e39, kMax}, {4611686018427387904.0, 1LL << 62}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(NumbersTest, SpeedTextIsRightAlignedWithUnit) {
  EXPECT_EQ(SpeedText(123.4), "   123.40 Kbps");
  EXPECT_EQ(SpeedText(0), "     0.00 Kbps");
  EXPECT_EQ(SpeedText(1234567.891), "1234567.89 Kbps");
}

TEST(ColourTest, NamesAndHexRoundTrip) {
  EXPECT_EQ(ColorToString(clBlue), "clBlue");
  EXPECT_EQ(ColorToString(SystemColorValue(SystemColor::BtnFace)), "clBtnFace");
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(ColorToString(clNone), "clNone");
  EXPECT_EQ(StringToColor("CLRED"), clRed);
  EXPECT_EQ(StringToColor("$00FF0000"), clBlue);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_EQ(StringToColor("cl3DDkShadow"), SystemColorValue(SystemColor::DkShadow3D));
  EXPECT_FALSE(StringToColor("purple-ish").has_value());
  EXPECT_FALSE(StringToColor("").has_value());
  for (uint32_t v : {0u, 0x00FFFFFFu, 0x80000018u, 0x1FFFFFFFu, 0x00ABCDEFu}) {
    const auto value = static_cast<ColorValue>(v);
    EXPECT_EQ(StringToColor(ColorToString(value)), value);
  }
  EXPECT_TRUE(IsSystemColor(SystemColorValue(SystemColor::InfoBk)));
  EXPECT_FALSE(IsSystemColor(clWhite));
}

TEST(DateTimeTest, DaysSince30December1899) {
  EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30}), 0);
  EXPECT_DOUBLE_EQ(EncodeDateTime({1900, 1, 1}), 2);
  EXPECT_DOUBLE_EQ(EncodeDateTime({2000, 1, 1, 12, 0, 0}), 36526.5);
  const CivilTime t = DecodeDateTime(EncodeDateTime({2026, 12, 8, 10, 14, 31, 250}));
  EXPECT_EQ(t.year, 2026);
  EXPECT_EQ(t.month, 12);
  EXPECT_EQ(t.day, 8);
  EXPECT_EQ(t.hour, 10);
  EXPECT_EQ(t.minute, 14);
  EXPECT_EQ(t.second, 31);
  EXPECT_EQ(t.millisecond, 250);
  EXPECT_EQ(DayOfWeek(EncodeDateTime({2026, 12, 8})), 2);  // a Tuesday
}

}  // namespace
}  // namespace tw
