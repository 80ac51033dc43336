// The export table of the trend day and its tab-separated text.
#include <gtest/gtest.h>

#include "charts/TrendExport.h"
#include "engine/ResourceKinds.h"
#include "support/CommaLocale.h"
#include "util/Text.h"

namespace tw {
namespace {

const std::string kCaption = "December 8, 2026, Tuesday";

// The lines of a text without their CR LF (which every line must end with).
std::vector<std::vector<std::string>> Parse(const std::string& text) {
  std::vector<std::vector<std::string>> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "last line without CR LF";
    if (end == std::string::npos) break;
    const std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    std::vector<std::string> cells;
    size_t from = 0;
    for (size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
      cells.push_back(line.substr(from, tab - from));
    cells.push_back(line.substr(from));
    lines.push_back(cells);
    start = end + 2;
  }
  return lines;
}

// A day whose averages tell their series and slot: write 1000 + s, read
// 2000 + s, ping 3000 + s (s = 1..96), plus a quarter.
TrendDay NumberedDay() {
  TrendDay day{};
  for (size_t block = 0; block < 3; ++block) {
    for (size_t i = 0; i < 96; ++i) day[block][i] = 1000.0 * (block + 1) + i + 1 + 0.25;
  }
  return day;
}

TEST(TrendExport, WithoutResourcesTheDateAndTheTimeLabels) {
  EXPECT_EQ(ExportText(BuildExportTable(kCaption, {}, 32, 34)),
            kCaption + "\t\t\r\n\t8:15\t8:30\r\n");
}

TEST(TrendExport, WholeDayHas97CellsPerLine) {
  const TrendDay day = NumberedDay();
  const auto lines = Parse(ExportText(BuildExportTable(
      kCaption, {{"/mnt/share", ResourceKind::Drive, &day}}, TimeSlot(0, 0), TimeSlot(24, 0))));
  ASSERT_EQ(lines.size(), 5u);
  for (const auto& cells : lines) EXPECT_EQ(cells.size(), 97u);
  EXPECT_EQ(lines[1][1], "0:15");
  EXPECT_EQ(lines[1][4], "1:00");
  EXPECT_EQ(lines[1][96], "24:00");
  EXPECT_EQ(lines[2][0], "/mnt/share Read (Kbps)");
  EXPECT_EQ(lines[2][1], "2001.25");
  EXPECT_EQ(lines[2][96], "2096.25");
}

// 8:00 to 9:00: the slots 33..36; per kind only its own series has values.
TEST(TrendExport, EachKindFillsOnlyItsOwnRows) {
  const TrendDay day = NumberedDay();
  const std::vector<ExportRow> rows = {{"/mnt/share", ResourceKind::Drive, &day},
                                       {"/media/cd/big.iso", ResourceKind::File, &day},
                                       {"192.0.2.7", ResourceKind::Echo, &day},
                                       {"http://192.0.2.8/f", ResourceKind::Web, &day},
                                       {"no record yet", ResourceKind::Echo, nullptr}};
  const auto lines =
      Parse(ExportText(BuildExportTable(kCaption, rows, TimeSlot(8, 0), TimeSlot(9, 0))));
  const std::vector<std::vector<std::string>> expected = {
      {kCaption, "", "", "", ""},
      {"", "8:15", "8:30", "8:45", "9:00"},
      {"/mnt/share Read (Kbps)", "2033.25", "2034.25", "2035.25", "2036.25"},
      {"/mnt/share Write (Kbps)", "1033.25", "1034.25", "1035.25", "1036.25"},
      {"/mnt/share Ping (Kbps)", "0.00", "0.00", "0.00", "0.00"},
      {"/media/cd/big.iso Read (Kbps)", "2033.25", "2034.25", "2035.25", "2036.25"},
      {"/media/cd/big.iso Write (Kbps)", "0.00", "0.00", "0.00", "0.00"},
      {"/media/cd/big.iso Ping (Kbps)", "0.00", "0.00", "0.00", "0.00"},
      {"192.0.2.7 Read (Kbps)", "0.00", "0.00", "0.00", "0.00"},
      {"192.0.2.7 Write (Kbps)", "0.00", "0.00", "0.00", "0.00"},
      {"192.0.2.7 Ping (Kbps)", "3033.25", "3034.25", "3035.25", "3036.25"},
      {"http://192.0.2.8/f Read (Kbps)", "2033.25", "2034.25", "2035.25", "2036.25"},
      {"http://192.0.2.8/f Write (Kbps)", "0.00", "0.00", "0.00", "0.00"},
      {"http://192.0.2.8/f Ping (Kbps)", "0.00", "0.00", "0.00", "0.00"},
      {"no record yet Read (Kbps)", "0.00", "0.00", "0.00", "0.00"},
      {"no record yet Write (Kbps)", "0.00", "0.00", "0.00", "0.00"},
      {"no record yet Ping (Kbps)", "0.00", "0.00", "0.00", "0.00"},
  };
  EXPECT_EQ(lines, expected);
}

TEST(TrendExport, PeriodEdges) {
  const TrendDay day = NumberedDay();
  const std::vector<ExportRow> rows = {{"192.0.2.7", ResourceKind::Echo, &day}};
  // 23:45 till 24:45: the last slot of the day, then three without averages.
  auto lines =
      Parse(ExportText(BuildExportTable(kCaption, rows, TimeSlot(23, 45), TimeSlot(24, 45))));
  EXPECT_EQ(lines[1], (std::vector<std::string>{"", "24:00", "24:15", "24:30", "24:45"}));
  EXPECT_EQ(lines[4],
            (std::vector<std::string>{"192.0.2.7 Ping (Kbps)", "3096.25", "0.00", "0.00", "0.00"}));
  // An end not after the start: the names alone.
  for (int end : {TimeSlot(8, 0), TimeSlot(7, 0)}) {
    lines = Parse(ExportText(BuildExportTable(kCaption, rows, TimeSlot(8, 0), end)));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], (std::vector<std::string>{""}));
    EXPECT_EQ(lines[4], (std::vector<std::string>{"192.0.2.7 Ping (Kbps)"}));
  }
  EXPECT_EQ(TimeSlot(0, 0), 0);
  EXPECT_EQ(TimeSlot(24, 0), 96);
  EXPECT_EQ(TimeSlot(23, 45), 95);
  EXPECT_EQ(TimeSlot(24, 45), 99);
}

TEST(TrendExport, CellsAreTrimmedAndCutTo255Characters) {
  const std::string longName(300, 'x');
  // "é" is two bytes: 255 of them are 255 characters, never half of one.
  std::string accents;
  for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";
  const std::vector<ExportRow> rows = {{"  padded\t", ResourceKind::Echo, nullptr},
                                       {longName, ResourceKind::Echo, nullptr},
                                       {accents, ResourceKind::Echo, nullptr}};
  const auto lines = Parse(ExportText(BuildExportTable(" " + kCaption + " ", rows, 0, 1)));
  EXPECT_EQ(lines[0][0], kCaption);
  // The inner tab is written unchanged (no quoting): it splits the name's cell.
  EXPECT_EQ(lines[2][0], "padded");
  EXPECT_EQ(lines[2][1], " Read (Kbps)");
  EXPECT_EQ(lines[5][0], std::string(255, 'x'));
  EXPECT_EQ(lines[8][0], accents.substr(0, 510));
}

TEST(TrendExport, DecimalPointInACommaLocale) {
  test::CommaLocaleScope comma;
  if (!comma.Active()) GTEST_SKIP() << comma.Problem();
  ASSERT_TRUE(test::DecimalCommaInEffect());
  TrendDay day{};
  day[static_cast<size_t>(Series::Read)][0] = 1234.5;
  const std::string text = ExportText(
      BuildExportTable(kCaption, {{"/media/cd/big.iso", ResourceKind::File, &day}}, 0, 1));
  EXPECT_NE(text.find("\t1234.50\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find(',', text.find("\r\n")), std::string::npos) << text;  // past the date
}

}  // namespace
}  // namespace tw
