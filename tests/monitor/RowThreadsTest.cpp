#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ResourceKinds.h"
#include "monitor/ResourceTable.h"
#include "monitor/RowThreads.h"
#include "util/Numbers.h"

namespace tw {
namespace {

TEST(ResourceKindsTest, TheParametersFileTextNamesTheKindByItsFirstCharacter) {
  const struct {
    const char* text;
    ResourceKind kind;
  } cases[] = {
      {"1", ResourceKind::Drive}, {"2", ResourceKind::File}, {"3", ResourceKind::Echo},
      {"4", ResourceKind::Web},   {"4x", ResourceKind::Web}, {"3x", ResourceKind::Echo},
      {"", ResourceKind::None},   {"9", ResourceKind::None}, {"0", ResourceKind::None},
      {" 1", ResourceKind::None},
  };
  for (const auto& c : cases) EXPECT_EQ(KindFromText(c.text), c.kind) << '"' << c.text << '"';
  for (ResourceKind kind :
       {ResourceKind::Drive, ResourceKind::File, ResourceKind::Echo, ResourceKind::Web})
    EXPECT_EQ(KindFromText(KindText(kind)), kind);
  EXPECT_EQ(KindText(ResourceKind::None), "");
}

// What a row shows: the status in its kind's column, else the speeds its
// kind measures and empty cells for the others.
TEST(RowThreadsTest, ARowShowsItsStatusAndOnlyTheSpeedsItsKindMeasures) {
  const struct {
    const char* kindText;
    int statusCol;
    std::vector<double> speeds;  // write, read, ping cells; -1 = empty
  } cases[] = {
      {"1", Col::WriteSpeed, {1, 2, -1}},  {"2", Col::ReadSpeed, {-1, 2, -1}},
      {"3", Col::PingSpeed, {-1, -1, 3}},  {"4", Col::ReadSpeed, {-1, 2, -1}},
      {"7", Col::PingSpeed, {-1, -1, -1}},
  };
  for (const auto& c : cases) {
    ResourceTable table;
    table.SetRowCount(2);
    table.SetCell(Col::Kind, 1, c.kindText);
    for (int col : {Col::WriteSpeed, Col::ReadSpeed, Col::PingSpeed}) table.SetCell(col, 1, "old");
    DisplayUpdate status{table.Kind(1), "I/O error."};
    EXPECT_EQ(ShowInRow(table, 1, status), std::vector<int>{c.statusCol}) << c.kindText;
    EXPECT_EQ(table.Cell(c.statusCol, 1), "I/O error.") << c.kindText;

    const DisplayUpdate speeds{table.Kind(1), "", 1, 2, 3};
    EXPECT_EQ(ShowInRow(table, 1, speeds).size(), 3u);
    const std::vector<std::string> shown = {table.Cell(Col::WriteSpeed, 1),
                                            table.Cell(Col::ReadSpeed, 1),
                                            table.Cell(Col::PingSpeed, 1)};
    for (size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i], c.speeds[i] < 0 ? "" : SpeedText(c.speeds[i])) << c.kindText << " " << i;
    }
  }
}

TEST(RowThreadsTest, AThreadTakesItsRowsSettings) {
  ResourceTable table;
  table.SetRowCount(3);
  table.SetNewRowDefaults(2);
  table.SetCell(Col::Resource, 2, "\\\\srv\\share");
  table.SetCell(Col::Kind, 2, "1");
  table.SetCell(Col::ProcessDelay, 2, "250");
  table.SetCell(Col::AutoSize, 2, "256");  // only the low byte counts
  table.SetCell(Col::PacketSize, 2, "4096");
  table.SetCell(Col::Timeout, 2, "900");
  const ThreadSettings s = RowSettings(table, 2);
  EXPECT_EQ(s.address, "\\\\srv\\share");
  EXPECT_EQ(s.resourceKind, ResourceKind::Drive);
  EXPECT_EQ(s.periodMs, 250);
  EXPECT_FALSE(s.autoSize);
  EXPECT_EQ(s.blockSize, 4096);
  EXPECT_EQ(s.timeoutMs, 900);
}

}  // namespace
}  // namespace tw
