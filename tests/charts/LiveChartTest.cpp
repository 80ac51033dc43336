// The live chart and the rules it shares with the trend chart, checked
// through the recording canvas.
#include <gtest/gtest.h>

#include <cmath>

#include "charts/ChartRules.h"
#include "charts/LiveChart.h"
#include "support/RecordingCanvas.h"

namespace tw {
namespace {

using test::DrawOp;
using test::RecordingCanvas;

TEST(ScaleSteps, MoveAlongTheSeriesWithinTheLimits) {
  struct Case {
    double from, up, down;
  } cases[] = {
      {1, 2, 1},
      {2, 5, 1},
      {5, 10, 2},
      {10, 20, 5},
      {20, 50, 10},
      {50, 100, 20},
      {50000, 100000, 20000},
      {100000, 200000, 50000},
      {200000, 500000, 100000},
      {5000000, 10000000, 2000000},
      {10000000, 10000000, 5000000},
      {30000000, 10000000, 10000000},
      {3, 6, 2},
      {7, 14, 4},
      {1000, 2000, 500},
      {0.3, 1, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleUp(c.from), c.up) << c.from;
    EXPECT_EQ(ScaleDown(c.from), c.down) << c.from;
  }
}

TEST(ScaleSteps, WalkTheWholeSeriesBothWays) {
  const double series[] = {1,      2,      5,       10,      20,      50,      100,   200,
                           500,    1000,   2000,    5000,    10000,   20000,   50000, 100000,
                           200000, 500000, 1000000, 2000000, 5000000, 10000000};
  double s = 1;
  for (size_t i = 1; i < std::size(series); ++i) EXPECT_EQ(s = ScaleUp(s), series[i]);
  for (size_t i = std::size(series) - 1; i-- > 0;) EXPECT_EQ(s = ScaleDown(s), series[i]);
}

TEST(ScaleSteps, DamagedScalesFallBackToTheDefault) {
  for (double bad : {0.0, -5.0, double(NAN), double(INFINITY)})
    EXPECT_EQ(UsableScale(bad), kDefaultScale) << bad;
  EXPECT_EQ(UsableScale(0.5), 0.5);
  TLiveChart chart;
  chart.SetScale(0);
  EXPECT_EQ(chart.SpeedToRow(1), 43);
}

TEST(LiveChart, PointTableAndSpeedRows) {
  TLiveChart chart;
  EXPECT_EQ(chart.PointX(1), 3);
  EXPECT_EQ(chart.PointX(50), 134);  // 133.5 rounds to even
  EXPECT_EQ(chart.PointX(100), 267);
  struct Case {
    double speed;
    int row, unclamped;
  } cases[] = {{0, 86, 87}, {1, 43, 43}, {2, 0, 0}, {3, 0, -43}, {0.01, 86, 87}, {-1, 86, 131}};
  for (const Case& c : cases) {
    EXPECT_EQ(chart.SpeedToRow(c.speed), c.row) << c.speed;
    EXPECT_EQ(chart.SpeedToRowUnclamped(c.speed), c.unclamped) << c.speed;
  }
}

TEST(LiveChart, EmptyPassIsBackgroundAndGridOnly) {
  TLiveChart chart;
  RecordingCanvas canvas;
  chart.Clear(canvas);
  chart.DrawGrid(canvas);
  const auto& ops = canvas.Ops();
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops[0].kind, DrawOp::Fill);
  EXPECT_EQ(ops[0].rect, (CanvasRect{0, 0, 267, 87}));
  EXPECT_EQ(ops[0].color, clGreen);
  EXPECT_TRUE(canvas.OpsOf(DrawOp::Polyline).empty());

  const auto lines = canvas.LinesIn(clBlack);
  std::vector<int> rows, columns;
  for (const DrawOp& op : lines) {
    if (op.points[0].y == op.points[1].y) {
      rows.push_back(op.points[0].y);
      EXPECT_EQ(op.points[0].x, 0);
      EXPECT_EQ(op.points[1].x, 267);
    } else {
      columns.push_back(op.points[0].x);
      EXPECT_EQ(op.points[0].y, 0);
      EXPECT_EQ(op.points[1].y, 87);
    }
  }
  EXPECT_EQ(rows, (std::vector<int>{70, 52, 35, 17, 0}));
  std::vector<int> expected = {1};
  for (int x = 20; x <= 260; x += 20) expected.push_back(x);
  EXPECT_EQ(columns, expected);
}

TEST(LiveChart, GridSwitchesLeaveOutTheirLines) {
  TLiveChart chart;
  chart.horizontalGrid = false;
  RecordingCanvas canvas;
  chart.DrawGrid(canvas);
  EXPECT_EQ(canvas.LinesIn(clBlack).size(), 14u);
  chart.verticalGrid = false;
  canvas.Clear();
  chart.DrawGrid(canvas);
  EXPECT_TRUE(canvas.LinesIn(clBlack).empty());
}

TEST(LiveChart, LinesPerKindInOrderAndColour) {
  MeasurementSnapshot results;
  for (int k = 0; k < kHistoryLength; ++k) {
    results.writeHistory[static_cast<size_t>(k)] = 0.5;
    results.readHistory[static_cast<size_t>(k)] = 1;
    results.pingHistory[static_cast<size_t>(k)] = k == 99 ? 5 : 1.5;
  }
  struct Case {
    ResourceKind kind;
    std::vector<ColorValue> colors;
    std::vector<int> firstY;
  } cases[] = {
      {ResourceKind::Drive, {clYellow, clRed}, {65, 43}},
      {ResourceKind::File, {clRed}, {43}},
      {ResourceKind::Web, {clRed}, {43}},
      {ResourceKind::Echo, {clRed}, {22}},
      {ResourceKind::None, {}, {}},
  };
  for (const Case& c : cases) {
    TLiveChart chart;
    RecordingCanvas canvas;
    chart.DrawRow(canvas, {c.kind, clYellow, clRed, "x"}, results);
    const auto polylines = canvas.OpsOf(DrawOp::Polyline);
    ASSERT_EQ(polylines.size(), c.colors.size()) << KindText(c.kind);
    for (size_t i = 0; i < polylines.size(); ++i) {
      EXPECT_EQ(polylines[i].color, c.colors[i]);
      EXPECT_EQ(polylines[i].penWidth, 1);
      ASSERT_EQ(polylines[i].points.size(), 100u);
      EXPECT_EQ(polylines[i].points.front(), (CanvasPoint{3, c.firstY[i]}));
      EXPECT_EQ(polylines[i].points.back().x, 267);
    }
    if (c.kind == ResourceKind::Echo) {
      EXPECT_EQ(polylines[0].points.back().y, 0);  // above the scale: top row
    }
  }
}

TEST(LiveChart, LegendLabelsAtScaleTwo) {
  TLiveChart chart;
  RecordingCanvas canvas;
  chart.PaintLegend(canvas, 33, 87, CanvasFont{"MS Serif", 9});
  EXPECT_EQ(canvas.Ops()[0].rect, (CanvasRect{0, 0, 33, 87}));
  EXPECT_EQ(canvas.Ops()[0].color, clGreen);
  const auto texts = canvas.OpsOf(DrawOp::Text);
  ASSERT_EQ(texts.size(), 5u);
  const char* labels[] = {"   0.4", "   0.8", "   1.2", "   1.6"};
  const int gridRows[] = {70, 52, 35, 17};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(texts[static_cast<size_t>(i)].text, labels[i]);
    EXPECT_EQ(texts[static_cast<size_t>(i)].points[0], (CanvasPoint{33 - 36, gridRows[i] - 5}));
    EXPECT_EQ(texts[static_cast<size_t>(i)].font.family, "MS Serif");
  }
  EXPECT_EQ(texts[4].text, "KBps");
  EXPECT_EQ(texts[4].points[0], (CanvasPoint{33 - 24, 0}));
}

TEST(LiveChart, LegendLabelsAboveTheClassicScalesTakeTheCompactForm) {
  const struct {
    double scale;
    std::vector<std::string> labels;
  } cases[] = {
      {100000, {"20000.0", "40000.0", "60000.0", "80000.0"}},
      {200000, {"40k", "80k", "120k", "160k"}},
      {2000000, {"400k", "800k", "1.2M", "1.6M"}},
      {10000000, {"2.0M", "4.0M", "6.0M", "8.0M"}},
      {123456, {"24.7k", "49.4k", "74.1k", "98.8k"}},
  };
  for (const auto& c : cases) {
    TLiveChart chart;
    chart.SetScale(c.scale);
    RecordingCanvas canvas;
    chart.PaintLegend(canvas, 33, 87, CanvasFont{"MS Serif", 9});
    const auto texts = canvas.OpsOf(DrawOp::Text);
    ASSERT_EQ(texts.size(), 5u);
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(texts[i].text, c.labels[i]) << c.scale;
      // Compact labels fit the strip (6 pixels a character on this canvas).
      if (c.scale > kClassicScaleCeiling) {
        EXPECT_GE(texts[i].points[0].x, 0) << c.scale;
      }
    }
  }
}

TEST(LiveChart, HoverTextFirstRowWinsAndReadBeatsWrite) {
  MeasurementSnapshot drive, host, file;
  drive.writeHistory.fill(1);  // row 43 (43.5 rounds to even)
  drive.readHistory.fill(1);
  host.pingHistory.fill(1);
  file.readHistory.fill(0.5);  // row 65
  file.readHistory[0] = 1.98;  // row 1: sample 1 near the top
  TLiveChart chart;
  const std::vector<LiveHoverRow> rows = {
      {{ResourceKind::Echo, 0, 0, "10.0.0.1"}, &host},
      {{ResourceKind::Drive, 0, 0, "\\\\srv\\share"}, &drive},
      {{ResourceKind::File, 0, 0, "/cd/file"}, &file},
  };
  struct Case {
    int x, y;
    std::string text;
  } cases[] = {
      {134, 42, "\"10.0.0.1\" Ping      1.00 Kbps"},
      {134, 44, "\"10.0.0.1\" Ping      1.00 Kbps"},
      {134, 45, ""},
      {134, 66, "\"/cd/file\" Read      0.50 Kbps"},
      {134, 68, ""},
      {0, 1, "\"/cd/file\" Read      1.98 Kbps"},  // k limited to 1
      {400, 65, "\"/cd/file\" Read      0.50 Kbps"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(chart.HoverText(c.x, c.y, rows), c.text) << c.x << "," << c.y;
  // Within a drive row a read hit replaces a write hit.
  const std::vector<LiveHoverRow> driveOnly = {{{ResourceKind::Drive, 0, 0, "d"}, &drive}};
  EXPECT_EQ(chart.HoverText(134, 44, driveOnly), "\"d\" Read      1.00 Kbps");
  drive.readHistory.fill(0);
  EXPECT_EQ(chart.HoverText(134, 44, driveOnly), "\"d\" Write      1.00 Kbps");
}

TEST(ValueWindow, PlacementStaysOnScreen) {
  const ScreenMetrics screen{1280, 1024, 32, 32};
  struct Case {
    int x, y, w, h;
    CanvasRect expected;
  } cases[] = {
      {100, 100, 50, 10, {110, 110, 166, 124}},
      {100, 1020, 50, 10, {110, 1010, 166, 1024}},
      {1250, 100, 50, 10, {1224, 110, 1280, 124}},
      {1260, 100, 2000, 10, {0, 110, 2006, 124}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ValueWindowRect(c.x, c.y, c.w, c.h, screen), c.expected) << c.x << "," << c.y;
  }
}

}  // namespace
}  // namespace tw
