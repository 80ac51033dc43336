// The charts' latest values in words, as screen readers read them.
#include <gtest/gtest.h>

#include "charts/LiveChart.h"
#include "charts/TrendChart.h"

namespace tw {
namespace {

TEST(ChartDescription, LiveChartTellsEachRowsNewestSpeeds) {
  MeasurementSnapshot drive, host;
  drive.writeHistory.back() = 12.5;
  drive.readHistory.back() = 1000;
  drive.readHistory.front() = 7;  // older samples are not told
  host.pingHistory.back() = 3.25;
  const std::vector<LiveHoverRow> rows{
      {{ResourceKind::Drive, clBlack, clBlack, "/mnt/share"}, &drive},
      {{ResourceKind::Echo, clBlack, clBlack, "host.example"}, &host}};
  EXPECT_EQ(TLiveChart::Description(rows),
            "/mnt/share: Write 12.50 Kbps, Read 1000.00 Kbps; host.example: Ping 3.25 Kbps");
  EXPECT_EQ(TLiveChart::Description({}), "No resources");
}

TEST(ChartDescription, TrendChartTellsTheDayAndEachRowsLatestQuarterHour) {
  TTrendChart chart;
  chart.trendDate = 46000;  // December 8, 2025
  TrendDay withData{}, empty{};
  withData[1][40] = 20;  // read, quarter hour ending 10:15
  withData[1][41] = 0;
  withData[0][39] = 5;  // an earlier write is not the latest point
  const std::vector<TrendHoverRow> rows{
      {{ResourceKind::File, clBlack, clBlack, "/cdrom/big"}, &withData},
      {{ResourceKind::Echo, clBlack, clBlack, "10.0.0.1"}, &empty}};
  EXPECT_EQ(
      chart.Description(rows),
      TTrendChart::DateText(46000) + "; /cdrom/big: Read 20.00 Kbps at 10:15; 10.0.0.1: no data");
}

}  // namespace
}  // namespace tw
