#include "monitor/ResourceWizard.h"

#include <gtest/gtest.h>

#include <random>

namespace tw {
namespace {

ResourceTable TableWithColors(const std::vector<std::pair<ColorValue, ColorValue>>& rows) {
  ResourceTable table;
  table.SetRowCount(static_cast<int>(rows.size()) + 1);
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    table.SetCell(Col::WriteColor, row, ColorToString(rows[i].first));
    table.SetCell(Col::ReadColor, row, ColorToString(rows[i].second));
  }
  return table;
}

int NeverCalled() {
  ADD_FAILURE() << "no random colour expected";
  return 0;
}

TEST(ChooseLineColorsTest, FreeCandidatesGoInOrderWhateverColumnUsesThem) {
  LineColors first = ChooseLineColors(ResourceTable(), NeverCalled);
  EXPECT_EQ(first.read, clLime);
  EXPECT_EQ(first.write, clYellow);

  LineColors next = ChooseLineColors(TableWithColors({{clYellow, clLime}}), NeverCalled);
  EXPECT_EQ(next.read, clAqua);
  EXPECT_EQ(next.write, clFuchsia);

  // A write colour counts as used as much as a read colour does.
  LineColors skip =
      ChooseLineColors(TableWithColors({{clLime, clRed}, {clAqua, clNavy}}), NeverCalled);
  EXPECT_EQ(skip.read, clYellow);
  EXPECT_EQ(skip.write, clFuchsia);
}

TEST(ChooseLineColorsTest, RandomColorsWhenTheCandidatesRunOut) {
  // Eight in use: read takes white, write is random.
  auto eight = TableWithColors(
      {{clLime, clYellow}, {clAqua, clFuchsia}, {clBlue, clPurple}, {clRed, clSilver}});
  int calls = 0;
  LineColors one = ChooseLineColors(eight, [&] { return ++calls % 127; });
  EXPECT_EQ(one.read, clWhite);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(one.write, (128 + 1) | (128 + 2) << 8 | (128 + 3) << 16);

  // All nine in use: both random, parts 128..254, never equal even when the
  // generator repeats itself at first.
  auto all = TableWithColors({{clLime, clYellow},
                              {clAqua, clFuchsia},
                              {clBlue, clPurple},
                              {clRed, clSilver},
                              {clWhite, clWhite}});
  std::vector<int> parts{5, 5, 5, 5, 5, 5, 0, 126, 7};
  size_t next = 0;
  LineColors both = ChooseLineColors(all, [&] { return parts[next++]; });
  EXPECT_EQ(next, parts.size());
  EXPECT_EQ(both.write, 133 | 133 << 8 | 133 << 16);
  EXPECT_EQ(both.read, 128 | 254 << 8 | 135 << 16);

  std::mt19937 generator(7);
  for (int i = 0; i < 200; ++i) {
    LineColors c = ChooseLineColors(all, [&] { return static_cast<int>(generator() % 127); });
    EXPECT_NE(c.read, c.write);
    for (ColorValue v : {c.read, c.write}) {
      for (int shift : {0, 8, 16}) {
        const int part = (v >> shift) & 0xff;
        EXPECT_GE(part, 128);
        EXPECT_LE(part, 254);
      }
    }
  }
}

TEST(ProposedHostTest, TheFirstNonEmptyPieceAfterTheFirst) {
  EXPECT_EQ(ProposedHost("http://www.example.com/index.html"), "www.example.com");
  EXPECT_EQ(ProposedHost("ftp://ftp.example.org/pub/file"), "ftp.example.org");
  EXPECT_EQ(ProposedHost("www.example.com/folder"), "folder");
  EXPECT_EQ(ProposedHost("www.example.com/"), "");
  EXPECT_EQ(ProposedHost("http:///"), "");
  EXPECT_EQ(ProposedHost("/host"), "host");
  EXPECT_EQ(ProposedHost("http://[2001:db8::1]:8080/x"), "2001:db8::1");
  EXPECT_EQ(ProposedHost("https://[::1]/"), "::1");
  EXPECT_EQ(ProposedHost("http://[broken/x"), "[broken");
  // Only the first 255 characters are considered.
  EXPECT_EQ(ProposedHost(std::string(255, 'a') + "/b"), std::string(255, 'a'));
  EXPECT_EQ(ProposedHost(std::string(254, 'a') + "/b"), "");
  EXPECT_EQ(ProposedHost(std::string(253, 'a') + "/b"), "b");
}

TEST(WizardRowTest, AResultFillsEveryColumnOfTheRowAndLoadsBackTheSame) {
  ResourceTable table;
  table.SetRowCount(2);
  table.SetNewRowDefaults(1);
  for (int col :
       {Col::WriteSpeed, Col::MinSince, Col::MinPerformed, Col::MaxPerformed, Col::MaxSince})
    table.SetCell(col, 1, "kept?");

  WizardResult result;
  result.resource = "/mnt/share";
  result.kind = ResourceKind::Drive;
  result.writeColor = clRed;
  result.readColor = 0x123456;
  result.processDelay = "2000";
  result.autoSize = false;
  result.packetSize = "4096";
  result.timeout = "500";
  result.minSpeed = "1.5";
  result.maxSpeed = "900";
  result.performMinSpeed = true;
  for (size_t i = 0; i < kEventTextCount; ++i) {
    result.minEvent[i] = "min" + std::to_string(i);
    result.maxEvent[i] = "max" + std::to_string(i);
  }
  FillRowFromWizard(table, 1, result);

  const std::pair<int, const char*> cells[] = {
      {1, "/mnt/share"}, {5, "1"},     {6, "clRed"}, {7, "$00123456"}, {8, "2000"},  {9, "0"},
      {10, "4096"},      {11, "500"},  {12, "1.5"},  {13, "900"},      {26, "1"},    {27, "0"},
      {22, "min0"},      {23, "min1"}, {14, "min2"}, {31, "min3"},     {15, "min4"}, {16, "min5"},
      {17, "min6"},      {34, "min7"}, {36, "min8"}, {24, "max0"},     {25, "max1"}, {18, "max2"},
      {32, "max3"},      {19, "max4"}, {20, "max5"}, {21, "max6"},     {35, "max7"}, {37, "max8"},
      {38, "min9"},      {39, "max9"}, {2, "kept?"}, {28, ""},         {29, ""},     {30, ""},
      {33, ""}};
  for (const auto& [col, text] : cells) EXPECT_EQ(table.Cell(col, 1), text) << "column " << col;

  const WizardResult back = WizardFromRow(table, 1);
  EXPECT_EQ(back.resource, result.resource);
  EXPECT_EQ(back.kind, ResourceKind::Drive);
  EXPECT_EQ(back.writeColor, clRed);
  EXPECT_EQ(back.readColor, 0x123456);
  EXPECT_FALSE(back.autoSize);
  EXPECT_TRUE(back.performMinSpeed);
  EXPECT_FALSE(back.performMaxSpeed);
  EXPECT_EQ(back.minEvent, result.minEvent);
  EXPECT_EQ(back.maxEvent, result.maxEvent);
  EXPECT_EQ(back.minSpeed, "1.5");
}

TEST(WizardRowTest, TypedControlCharactersCannotBreakALineAndAnUnknownKindKeepsTheDefault) {
  ResourceTable table;
  table.SetRowCount(2);
  WizardResult result;
  result.resource = "host\r\nObject15=1\x01";
  result.minEvent[etCommandLine] = "run\nme";
  FillRowFromWizard(table, 1, result);
  EXPECT_EQ(table.Cell(Col::Resource, 1), "host  Object15=1 ");
  EXPECT_EQ(table.Cell(Col::MinCommand, 1), "run me");

  table.SetCell(Col::Kind, 1, "");
  table.SetCell(Col::ReadColor, 1, "no colour");
  table.SetCell(Col::AutoSize, 1, "x");
  const WizardResult back = WizardFromRow(table, 1);
  EXPECT_EQ(back.kind, ResourceKind::Echo);
  EXPECT_EQ(back.readColor, clLime);
  EXPECT_FALSE(back.autoSize);
  EXPECT_EQ(WizardFromRow(table, 1, ResourceKind::Drive).kind, ResourceKind::Drive);
}

}  // namespace
}  // namespace tw
