// The INI reader and writer against the private-profile rules.
#include <gtest/gtest.h>

#include <random>

#include "monitor/IniFile.h"
#include "monitor/Parameters.h"

namespace tw {
namespace {

const char* const kWindowsFile =
    "[Main]\r\n"
    "Sign=Network speed\r\n"
    "\r\n"
    "[ Buttons ]\r\n"
    "  Ping objects  =  1  \r\n"
    "Trend=0\r\n"
    "trend=1\r\n"
    "Quoted=\"  two blanks  \"\r\n"
    "Single='x'\r\n"
    "Unbalanced=\"x\r\n"
    "Hex=$1F\r\n"
    "CHex=0x10\r\n"
    "Neg=-12\r\n"
    "Junk=12a\r\n"
    "Big=4294967296\r\n"
    "NoEquals\r\n"
    "[buttons]\r\n"
    "HGrdBtn=0\r\n";

TEST(IniFileTest, ReadsLikeThePrivateProfileFunctions) {
  const IniFile ini = IniFile::FromText(kWindowsFile);
  struct Case {
    const char* section;
    const char* key;
    const char* expected;  // nullptr: missing
  };
  const Case cases[] = {
      {"main", "SIGN", "Network speed"},  // names without regard to case
      {"Buttons", "Ping objects", "1"},   // blanks around names and values
      {"BUTTONS", "Trend", "0"},          // the first occurrence wins
      {"Buttons", "Quoted", "  two blanks  "},
      {"Buttons", "Single", "x"},
      {"Buttons", "Unbalanced", "\"x"},
      {"Buttons", "NoEquals", nullptr},
      {"Buttons", "HGrdBtn", nullptr},  // a later section of the same name is never read
      {"Missing", "Sign", nullptr},
  };
  for (const Case& c : cases) {
    const auto value = ini.Find(c.section, c.key);
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    if (c.expected == nullptr) {
      EXPECT_FALSE(value.has_value());
    } else {
      ASSERT_TRUE(value.has_value());
      EXPECT_EQ(*value, c.expected);
    }
  }
}

TEST(IniFileTest, IntegersInDecimalOrHexElseTheDefault) {
  const IniFile ini = IniFile::FromText(kWindowsFile);
  const std::pair<const char*, int32_t> cases[] = {
      {"Ping objects", 1}, {"Hex", 31}, {"CHex", 16},   {"Neg", -12},
      {"Junk", 77},        {"Big", 77}, {"Quoted", 77}, {"Missing", 77},
  };
  for (const auto& [key, expected] : cases)
    EXPECT_EQ(ini.ReadInteger("Buttons", key, 77), expected) << key;
  EXPECT_TRUE(ini.ReadBool("Buttons", "Hex", false));
  EXPECT_FALSE(ini.ReadBool("Buttons", "Trend", true));
  EXPECT_TRUE(ini.ReadBool("Buttons", "Junk", true));
}

TEST(IniFileTest, LfOnlyFilesReadTheSame) {
  const IniFile ini = IniFile::FromText("[A]\nk=v\nn=2");
  EXPECT_EQ(ini.ReadString("a", "k", ""), "v");
  EXPECT_EQ(ini.ReadInteger("a", "n", 0), 2);
}

TEST(IniFileTest, WritesCrLfWithoutBlanksAndKeepsOtherLines) {
  IniFile ini =
      IniFile::FromText("; kept comment\n[Main]\nSign = old\nOther=keep\n\n[Tail]\nx=1\n");
  ini.WriteString("MAIN", "sign", "Network speed");  // replaces in place, keeps its position
  ini.WriteString("Main", "Added", "a");             // after the section's last key
  ini.WriteInteger("New", "Number", 3);              // a new section at the end
  EXPECT_EQ(ini.ToText(),
            "; kept comment\r\n[Main]\r\nsign=Network "
            "speed\r\nOther=keep\r\nAdded=a\r\n\r\n[Tail]\r\nx=1\r\n"
            "\r\n[New]\r\nNumber=3\r\n");
}

TEST(IniFileTest, ValuesReadBackExactlyAfterWriting) {
  const std::string values[] = {"plain", "  1.00 Kbps", "trailing ",  "\"quoted\"", "'single'",
                                "",      "a=b",         "semi;colon", "\"half"};
  IniFile ini;
  for (size_t i = 0; i < std::size(values); ++i)
    ini.WriteString("S", "K" + std::to_string(i), values[i]);
  const IniFile back = IniFile::FromText(ini.ToText());
  for (size_t i = 0; i < std::size(values); ++i)
    EXPECT_EQ(back.ReadString("S", "K" + std::to_string(i), "?"), values[i]);
}

TEST(IniFileTest, LineBreaksInAValueCannotInjectKeys) {
  IniFile ini;
  ini.WriteString("S", "Title", "evil\r\n[Main]\r\nSign=Network speed");
  const IniFile back = IniFile::FromText(ini.ToText());
  EXPECT_FALSE(back.Find("Main", "Sign").has_value());
  EXPECT_EQ(back.ReadString("S", "Title", ""), "evil  [Main]  Sign=Network speed");
}

TEST(IniFileTest, ClearSectionDropsItsKeysOnly) {
  IniFile ini = IniFile::FromText("[Objects]\nNumber=2\nObject10=a\n[Next]\nk=v\n");
  ini.ClearSection("objects");
  ini.WriteInteger("Objects", "Number", 0);
  EXPECT_EQ(ini.ToText(), "[Objects]\r\nNumber=0\r\n[Next]\r\nk=v\r\n");
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// Random texts made of the characters that matter to the reader: whatever a
// damaged file holds, reading it is safe, and writing it back reads the same.
TEST(IniFileTest, ArbitraryTextReadsSafelyAndRoundTrips) {
  const std::string alphabet = "[]= \"';\r\n\tSsiIgGnN0x$19-Objects";
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const size_t length = random() % 200;
    for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    const IniFile ini = IniFile::FromText(text);
    const IniFile again = IniFile::FromText(ini.ToText());
    for (const char* section : {"S", "Objects", "sign", ""}) {
      for (const char* key : {"S", "Sign", "N", "0", ""}) {
        ASSERT_EQ(ini.Find(section, key), again.Find(section, key)) << text;
        ini.ReadInteger(section, key, 0);
      }
    }
    ResourceTable table;
    WindowParameters params;
    ReadParameters(ini, table, params);
  }
}

TEST(IniFileTest, AByteOrderMarkIsSkippedAndNotWrittenBack) {
  const IniFile ini = IniFile::FromText("\xEF\xBB\xBF[Main]\r\nSign=Network speed\r\n");
  EXPECT_EQ(ini.ReadString("Main", "Sign", ""), "Network speed");
  EXPECT_EQ(ini.ToText(), "[Main]\r\nSign=Network speed\r\n");
  // Only at the very start: elsewhere the bytes are text.
  const IniFile inside = IniFile::FromText("[Main]\r\n\xEF\xBB\xBFSign=x\r\n");
  EXPECT_FALSE(inside.Find("Main", "Sign").has_value());
}

// Sections are found by a hash look-up: a damaged file of very many small
// sections reads in linear time (the test runner's timeout catches a
// quadratic reader), and the first of equal names still wins.
TEST(IniFileTest, AFileOfManySectionsReadsInLinearTime) {
  std::string text;
  for (int i = 0; i < 400000; ++i)
    text += "[S" + std::to_string(i % 200000) + "]\nK=" + std::to_string(i) + "\n";
  IniFile ini = IniFile::FromText(text);
  EXPECT_EQ(ini.ReadInteger("s199999", "K", -1), 199999);
  ini.WriteString("S199999", "K", "new");
  ini.WriteString("New", "K", "added");
  EXPECT_EQ(ini.ReadString("S199999", "K", ""), "new");
  EXPECT_EQ(ini.ReadString("NEW", "K", ""), "added");
}

}  // namespace
}  // namespace tw
