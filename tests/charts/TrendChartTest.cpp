// The trend chart through the recording canvas and an in-memory lookup.
#include <gtest/gtest.h>

#include "charts/ChartRules.h"
#include "charts/TrendChart.h"
#include "support/MapTrendLookup.h"
#include "support/RecordingCanvas.h"
#include "util/DateTime.h"

namespace tw {
namespace {

using test::DrawOp;
using test::MapTrendLookup;
using test::RecordingCanvas;

const double kDay = EncodeDateTime({2026, 12, 8, 0, 0, 0, 0});
const CanvasFont kFont{"MS Serif", 9};

// Records the names and stamps asked for.
class LoggingLookup final : public TrendLookup {
 public:
  bool Find(const std::string& name, double stamp, double&, double&, double&) override {
    names.push_back(name);
    stamps.push_back(stamp);
    return false;
  }
  std::vector<std::string> names;
  std::vector<double> stamps;
};

TEST(TrendChart, AxisLabelsAndGridAtDesignSize) {
  TTrendChart chart;
  chart.trendDate = kDay + 0.6;
  EXPECT_EQ(chart.BaseLine(), 79);
  EXPECT_EQ(chart.PointX(1), 3);
  EXPECT_EQ(chart.PointX(96), 265);
  RecordingCanvas canvas;
  MapTrendLookup none;
  ASSERT_TRUE(chart.Redraw(canvas, {}, none, kFont));
  EXPECT_EQ(canvas.Ops()[0].rect, (CanvasRect{0, 0, 265, 94}));
  EXPECT_EQ(canvas.Ops()[0].color, clGreen);

  std::vector<int> gridRows, ticks, gridColumns;
  bool baseLine = false;
  for (const DrawOp& op : canvas.LinesIn(clBlack)) {
    const CanvasPoint a = op.points[0], b = op.points[1];
    if (a.y == b.y && a.y == 79)
      baseLine = true;
    else if (a.y == b.y)
      gridRows.push_back(a.y);
    else if (a.y == 79) {
      ticks.push_back(a.x);
      EXPECT_EQ(b.y, 83);
    } else {
      gridColumns.push_back(a.x);
      EXPECT_EQ(b.y, 79);
    }
  }
  EXPECT_TRUE(baseLine);
  EXPECT_EQ(gridRows, (std::vector<int>{63, 47, 32, 16, 0}));
  ASSERT_EQ(ticks.size(), 24u);
  EXPECT_EQ(ticks, gridColumns);
  EXPECT_EQ(ticks[1], 11);    // Round(265 / 24)
  EXPECT_EQ(ticks[12], 132);  // 132.5 rounds to even

  const auto labels = canvas.OpsOf(DrawOp::TextInRect);
  ASSERT_EQ(labels.size(), 7u);
  EXPECT_EQ(labels[0].text, "3:00");
  EXPECT_EQ(labels[0].rect, (CanvasRect{33 - 12, 83, 33 + 12, 94}));
  EXPECT_EQ(labels[0].align, TextAlign::CentreSingleLine);
  EXPECT_EQ(labels[6].text, "21:00");
  EXPECT_EQ(labels[6].rect, (CanvasRect{232 - 15, 83, 232 + 15, 94}));
}

TEST(TrendChart, DayWithoutRecordsLiesOnePixelAboveTheBaseLine) {
  TTrendChart chart;
  chart.trendDate = kDay + 0.25;
  TrendDay day;
  for (auto& block : day) block.fill(7);
  LoggingLookup lookup;
  RecordingCanvas canvas;
  chart.Redraw(canvas, {{{ResourceKind::Drive, clYellow, clRed, "\\\\srv\\data"}, &day}}, lookup,
               kFont);
  const auto polylines = canvas.OpsOf(DrawOp::Polyline);
  ASSERT_EQ(polylines.size(), 2u);
  for (const DrawOp& op : polylines) {
    ASSERT_EQ(op.points.size(), 96u);
    for (const CanvasPoint& p : op.points) EXPECT_EQ(p.y, 78);
  }
  for (const auto& block : day) {
    for (double v : block) EXPECT_EQ(v, 0);
  }
  // 96 lookups by the row's address, from 00:15 to 24:00 of the trend date.
  ASSERT_EQ(lookup.stamps.size(), 96u);
  EXPECT_EQ(lookup.names.front(), "\\\\srv\\data");
  EXPECT_NEAR(lookup.stamps.front(), kDay + 1.0 / 96, 1e-9);
  EXPECT_NEAR(lookup.stamps.back(), kDay + 1, 1e-12);
}

TEST(TrendChart, RecordsMapToRowsPerKindAndFillTheDay) {
  MapTrendLookup lookup;
  lookup.Add("drive", kDay + 1.0 / 96, {/*read*/ 1, /*write*/ 0.5, /*ping*/ 0});
  lookup.Add("DRIVE", kDay + 2.0 / 96, {2, 4, 0});  // at and above the scale: top
  lookup.Add("host", kDay + 1.0 / 96, {0, 0, 1.5});
  lookup.Add("file", kDay + 96.0 / 96, {0.25, 0, 0});
  TTrendChart chart;
  chart.trendDate = kDay;
  TrendDay drive{}, host{}, file{};
  RecordingCanvas canvas;
  chart.Redraw(canvas,
               {{{ResourceKind::Drive, clYellow, clRed, "Drive"}, &drive},
                {{ResourceKind::Echo, clBlack, clFuchsia, "host"}, &host},
                {{ResourceKind::File, clBlack, clAqua, "file"}, &file}},
               lookup, kFont);
  const auto polylines = canvas.OpsOf(DrawOp::Polyline);
  ASSERT_EQ(polylines.size(), 4u);
  const ColorValue colors[] = {clYellow, clRed, clFuchsia, clAqua};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(polylines[i].color, colors[i]);
  // B - 1 - Round(B / 2 x v) with B = 79.
  EXPECT_EQ(polylines[0].points[0].y, 78 - 20);  // write 0.5: 19.75
  EXPECT_EQ(polylines[1].points[0].y, 78 - 40);  // read 1: 39.5 rounds to even
  EXPECT_EQ(polylines[0].points[1].y, 0);
  EXPECT_EQ(polylines[1].points[1].y, 0);
  EXPECT_EQ(polylines[2].points[0].y, 78 - 59);   // ping 1.5: 59.25
  EXPECT_EQ(polylines[3].points[95].y, 78 - 10);  // read 0.25 at 24:00
  EXPECT_EQ(polylines[3].points[95].x, 265);
  EXPECT_EQ(drive[kTrendWrite][0], 0.5);
  EXPECT_EQ(drive[kTrendRead][0], 1);
  EXPECT_EQ(drive[kTrendWrite][1], 4);
  EXPECT_EQ(host[kTrendEcho][0], 1.5);
  EXPECT_EQ(file[kTrendRead][95], 0.25);
}

// A damaged trend file may hold any 6-byte real, up to 1.7e38 of either sign.
TEST(TrendChart, SpeedsAtTheFormatsLimitsGivePointsOffTheChart) {
  MapTrendLookup lookup;
  lookup.Add("drive", kDay + 1.0 / 96, {/*read*/ 1.7e38, /*write*/ 1.7e38, 0});
  lookup.Add("drive", kDay + 2.0 / 96, {-1.7e38, -1.7e38, 0});
  TTrendChart chart;
  chart.trendDate = kDay;
  TrendDay drive{};
  RecordingCanvas canvas;
  const ChartResource resource{ResourceKind::Drive, clYellow, clRed, "drive"};
  chart.Redraw(canvas, {{resource, &drive}}, lookup, kFont);
  const auto polylines = canvas.OpsOf(DrawOp::Polyline);
  ASSERT_EQ(polylines.size(), 2u);
  for (const auto& line : polylines) {
    EXPECT_EQ(line.points[0].y, 0);                // far above the scale: the top
    EXPECT_EQ(line.points[1].y, 78 + kFarPixels);  // far below zero: off the chart
    EXPECT_EQ(line.points[2].y, 78);               // no record
  }
}

TEST(TrendChart, HoverTextsWithTimeOfDay) {
  TrendDay drive{}, host{};
  drive[kTrendWrite].fill(1);   // row 78 - 40 = 38
  drive[kTrendRead].fill(0.5);  // row 78 - 20 = 58
  host[kTrendEcho].fill(0.5);
  TTrendChart chart;
  const std::vector<TrendHoverRow> rows = {{{ResourceKind::Drive, 0, 0, "d"}, &drive},
                                           {{ResourceKind::Echo, 0, 0, "h"}, &host}};
  struct Case {
    int x, y;
    std::string text;
  } cases[] = {
      {3, 38, "\"d\", Write -      1.00 Kbps, 00:15"},
      {265, 59, "\"d\", Read -      0.50 Kbps, 00:00"},
      {132, 57, "\"d\", Read -      0.50 Kbps, 12:00"},
      {0, 37, "\"d\", Write -      1.00 Kbps, 00:15"},
      {132, 70, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(chart.HoverText(c.x, c.y, rows), c.text) << c.x;
  const std::vector<TrendHoverRow> hostOnly = {{{ResourceKind::Echo, 0, 0, "h"}, &host}};
  EXPECT_EQ(chart.HoverText(100, 58, hostOnly), "\"h\", Ping -      0.50 Kbps, 09:00");
}

TEST(TrendChart, DateTextAndNextDayRule) {
  struct Case {
    CivilTime date;
    const char* text;
  } cases[] = {
      {{2026, 12, 8, 14, 30}, "December 8, 2026, Tuesday"},
      {{2000, 1, 1}, "January 1, 2000, Saturday"},
      {{2024, 2, 29, 23, 59}, "February 29, 2024, Thursday"},
  };
  for (const Case& c : cases) EXPECT_EQ(TTrendChart::DateText(EncodeDateTime(c.date)), c.text);

  TTrendChart chart;
  chart.trendDate = kDay + 0.6;  // created today at 14:24
  EXPECT_FALSE(chart.NextDayAllowed(kDay + 0.9));
  EXPECT_TRUE(chart.NextDayAllowed(kDay + 1.0001));  // after midnight
  chart.PreviousDay();
  EXPECT_TRUE(chart.NextDayAllowed(kDay + 0.9));
  chart.NextDay();
  EXPECT_FALSE(chart.NextDayAllowed(kDay + 0.9));
}

TEST(TrendChart, LegendUsesTheBaseLine) {
  TTrendChart chart;
  chart.SetScale(5);
  RecordingCanvas canvas;
  chart.PaintLegend(canvas, 33, 94, kFont);
  const auto texts = canvas.OpsOf(DrawOp::Text);
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[0].text, "   1.0");
  EXPECT_EQ(texts[0].points[0].y, 63 - 5);
  EXPECT_EQ(texts[3].text, "   4.0");
  EXPECT_EQ(texts[3].points[0].y, 16 - 5);
}

// A lookup that tries to redraw the chart while it is being drawn.
class ReentrantLookup final : public TrendLookup {
 public:
  bool Find(const std::string&, double, double&, double&, double&) override {
    RecordingCanvas canvas;
    if (chart != nullptr && !chart->Redraw(canvas, {}, *this, kFont)) ++refused;
    return false;
  }
  TTrendChart* chart = nullptr;
  int refused = 0;
};

TEST(TrendChart, RedrawRefusesReentry) {
  TTrendChart chart;
  ReentrantLookup lookup;
  lookup.chart = &chart;
  RecordingCanvas canvas;
  TrendDay day{};
  EXPECT_TRUE(chart.Redraw(canvas, {{{ResourceKind::File, 0, 0, "x"}, &day}}, lookup, kFont));
  EXPECT_EQ(lookup.refused, 96);
  lookup.chart = nullptr;
  EXPECT_TRUE(chart.Redraw(canvas, {}, lookup, kFont));
}

}  // namespace
}  // namespace tw
