// The printed trend report through the recording canvas on a page 200 mm
// wide at 24 pixels per millimetre.
#include <gtest/gtest.h>

#include <algorithm>

#include "charts/TrendReport.h"
#include "support/MapTrendLookup.h"
#include "support/RecordingCanvas.h"
#include "util/DateTime.h"

namespace tw {
namespace {

using test::DrawOp;
using test::MapTrendLookup;
using test::RecordingCanvas;

const double kDay = EncodeDateTime({2026, 12, 8, 0, 0, 0, 0});
constexpr ReportPage kPage{4800, 6600, 200};
// The example page's measures: a 200-pixel strip ("100000.0" 176 wide + 1 mm).
constexpr int kMargin = 480, kLeft = 680, kTop = 644, kBase = 644 + 1805;

ReportRow Row(int row, ResourceKind kind, const std::string& name) {
  return {row, {kind, clRed, clBlue, name}};
}

struct Report {
  RecordingCanvas canvas;
  int pages = 1;

  Report(const std::vector<ReportRow>& rows, TrendLookup& lookup, bool grids = true,
         ReportPage page = kPage, bool pagesPossible = true) {
    canvas.SetCharWidth(22);
    ReportSettings settings;
    settings.trendDate = kDay + 0.4;
    settings.today = kDay + 1.2;
    settings.dateCaption = TTrendChart::DateText(kDay);
    settings.horizontalGrid = settings.verticalGrid = grids;
    PrintTrendReport(canvas, page, settings, rows, lookup, [&] {
      canvas.Clear();
      ++pages;
      return pagesPossible;
    });
  }
  std::vector<DrawOp> TextsStarting(const std::string& prefix) const {
    std::vector<DrawOp> found;
    for (const DrawOp& op : canvas.OpsOf(DrawOp::Text))
      if (op.text.rfind(prefix, 0) == 0) found.push_back(op);
    return found;
  }
  // Thin black lines inside the chart's frame: the grid.
  int GridLines() const {
    return static_cast<int>(std::count_if(canvas.Ops().begin(), canvas.Ops().end(), [](auto& op) {
      return op.kind == DrawOp::Line && op.color == clBlack && op.penWidth == 1;
    }));
  }
};

TEST(TrendReport, ExamplePageMeasures) {
  const ReportMeasures m = MeasureReport(kPage, 176);
  EXPECT_DOUBLE_EQ(m.pixelsPerMm, 24);
  EXPECT_EQ(m.margin, kMargin);
  EXPECT_EQ(m.stripWidth, 200);
  EXPECT_EQ(m.chartWidth, 3640);
  EXPECT_EQ(m.chartHeight, 1820);
  EXPECT_EQ(m.baseHeight, 1805);
  EXPECT_EQ(m.chartLeft, kLeft);
}

TEST(TrendReport, HeadingFrameTicksLabelsAndDateOnTheExamplePage) {
  NoTrendRecords none;
  Report report({}, none);
  const auto& texts = report.canvas.OpsOf(DrawOp::Text);
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "Network speed");
  EXPECT_EQ(texts[0].points[0], (CanvasPoint{kLeft, kMargin}));
  EXPECT_EQ(texts[0].font.pixelHeight, 152);  // 18 points at 24 px/mm
  EXPECT_EQ(texts[1].text, "Report Date : December 9, 2026");
  EXPECT_EQ(texts[1].points[0], (CanvasPoint{kLeft, kMargin + 10}));

  std::vector<DrawOp> frame, ticks, rules;
  for (const DrawOp& op : report.canvas.Ops()) {
    if (op.kind == DrawOp::Polyline && op.penWidth == 4) frame.push_back(op);
    if (op.kind == DrawOp::Line && op.penWidth == 4) ticks.push_back(op);
    if (op.kind == DrawOp::Line && op.penWidth == 12) rules.push_back(op);
  }
  ASSERT_EQ(frame.size(), 1u);
  EXPECT_EQ(frame[0].points,
            (std::vector<CanvasPoint>{
                {kLeft, kTop}, {4320, kTop}, {4320, kBase}, {kLeft, kBase}, {kLeft, kTop}}));
  ASSERT_EQ(ticks.size(), 24u);
  EXPECT_EQ(ticks[1].points[0], (CanvasPoint{kLeft + 151, kBase}));
  EXPECT_EQ(ticks[23].points[1], (CanvasPoint{kLeft + 151 * 23, kBase + 24}));
  ASSERT_EQ(rules.size(), 1u);  // no resource row 1: no legend rule
  EXPECT_EQ(rules[0].points[0], (CanvasPoint{kLeft, kMargin + 20 + 72}));
  EXPECT_EQ(rules[0].points[1], (CanvasPoint{4320, kMargin + 20 + 72}));

  const auto three = report.TextsStarting("3:00");
  ASSERT_EQ(three.size(), 1u);
  EXPECT_EQ(three[0].points[0], (CanvasPoint{455 + kLeft - 44, kBase + 48}));
  const auto kbps = report.TextsStarting("KBps");
  ASSERT_EQ(kbps.size(), 1u);
  EXPECT_EQ(kbps[0].points[0], (CanvasPoint{656 - 88, kTop}));
  const auto scale = report.TextsStarting("   0.4");  // 2 Kbps x 0.2, in 6 characters
  ASSERT_EQ(scale.size(), 1u);
  EXPECT_EQ(scale[0].points[0], (CanvasPoint{656 - 132, kBase - 361 - 5}));
  const auto date = report.TextsStarting(TTrendChart::DateText(kDay));
  ASSERT_EQ(date.size(), 1u);
  const int dateWidth = 22 * static_cast<int>(date[0].text.size());
  EXPECT_EQ(date[0].points[0], (CanvasPoint{kLeft + 1920 - dateWidth / 2, kTop + 1820 + 240}));
}

TEST(TrendReport, GridLinesFollowTheTrendGridButtons) {
  NoTrendRecords none;
  EXPECT_EQ(Report({}, none, true).GridLines(), 5 + 24);
  EXPECT_EQ(Report({}, none, false).GridLines(), 0);
}

// Legend slot 3(r - 1) + k; slot s lies at TH x s + 10 mm + LT.
TEST(TrendReport, LegendSlotsPerKindAndRow) {
  const int legendTop = kTop + 1820 + 240 + 10 + 240;
  struct Case {
    ReportRow row;
    std::vector<int> slots;
    std::vector<PenStyle> pens;
  } cases[] = {
      {Row(2, ResourceKind::Drive, "/mnt/share"), {3, 4}, {PenStyle::Dash, PenStyle::Dot}},
      {Row(1, ResourceKind::File, "/media/cd/big.iso"), {1}, {PenStyle::Dot}},
      {Row(1, ResourceKind::Echo, "192.0.2.7"), {2}, {PenStyle::DashDot}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row.resource.address);
    NoTrendRecords none;
    Report report({c.row}, none);
    const auto lines = report.TextsStarting("\"" + c.row.resource.address + "\"");
    ASSERT_EQ(lines.size(), c.slots.size());
    std::vector<PenStyle> polylinePens, samplePens;
    for (const DrawOp& op : report.canvas.Ops()) {
      // Series and samples are a quarter millimetre wide (6 pixels), the frame 4.
      if (op.kind == DrawOp::Polyline && op.penWidth == 6) polylinePens.push_back(op.penStyle);
      if (op.kind == DrawOp::Line && op.points[1].x == kLeft + 360 && op.penWidth == 6) {
        samplePens.push_back(op.penStyle);
        EXPECT_EQ(op.color,
                  c.row.resource.kind == ResourceKind::Drive && op.penStyle == PenStyle::Dash
                      ? clRed
                      : clBlue);
      }
    }
    EXPECT_EQ(polylinePens, c.pens);
    EXPECT_EQ(samplePens, c.pens);
    for (size_t i = 0; i < lines.size(); ++i)
      EXPECT_EQ(lines[i].points[0], (CanvasPoint{kLeft + 480, legendTop + 10 * c.slots[i]}));
  }
  EXPECT_EQ(LegendSlot(2, Series::Write), 3);
  EXPECT_EQ(LegendSlot(2, Series::Read), 4);
  EXPECT_EQ(LegendSlot(1, Series::Ping), 2);
}

TEST(TrendReport, DayWithoutRecordsPrintsZerosAndAFlatLine) {
  NoTrendRecords none;
  Report report({Row(1, ResourceKind::File, "/media/cd/big.iso")}, none);
  const auto lines = report.TextsStarting("\"/media/cd/big.iso\"");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text,
            "\"/media/cd/big.iso\"  read speed. Min. =      0.00, Max. =      0.00, "
            "Average =      0.00");
  const auto polylines = report.canvas.OpsOf(DrawOp::Polyline);
  ASSERT_EQ(polylines.size(), 2u);  // the frame, the read series
  ASSERT_EQ(polylines[1].points.size(), 96u);
  EXPECT_EQ(polylines[1].points[0], (CanvasPoint{kLeft + 38, kBase - 1}));  // 3640 / 96 = 37.9
  EXPECT_EQ(polylines[1].points[95], (CanvasPoint{kLeft + 3640, kBase - 1}));
  for (const CanvasPoint& p : polylines[1].points) EXPECT_EQ(p.y, kBase - 1);
}

TEST(TrendReport, StatisticsOverTheDaysQuarterHours) {
  MapTrendLookup lookup;
  // 00:15 and 12:00 of the trend date; 12:00 of the day after is not printed.
  lookup.Add("192.0.2.7", kDay + 1.0 / 96, {0, 0, 1});
  lookup.Add("192.0.2.7", kDay + 0.5, {0, 0, 47});
  lookup.Add("192.0.2.7", kDay + 1.5, {0, 0, 500});
  Report report({Row(1, ResourceKind::Echo, "192.0.2.7")}, lookup);
  const auto lines = report.TextsStarting("\"192.0.2.7\"");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text,
            "\"192.0.2.7\"  Ping speed. Min. =      0.00, Max. =     47.00, Average =      0.50");
  const auto series = report.canvas.OpsOf(DrawOp::Polyline)[1].points;
  EXPECT_EQ(series[0].y, kBase - 1 - 902);  // 1805 / 2 x 1 = 902.5, halves to even
  EXPECT_EQ(series[47].y, kTop);            // above the scale: the frame's top
  EXPECT_EQ(series[1].y, kBase - 1);
}

// Four host rows use slots 2, 5, 8 and 11. On a page whose bottom margin
// starts at 3020, slots up to 5 fit below the date; the rest go on at the top
// of a second page, spaced as before.
TEST(TrendReport, LegendBeyondThePageGoesOnOnTheNextPage) {
  std::vector<ReportRow> rows;
  for (int r = 1; r <= 4; ++r) rows.push_back(Row(r, ResourceKind::Echo, "h" + std::to_string(r)));
  NoTrendRecords none;
  Report report(rows, none, true, {4800, 3500, 200});
  EXPECT_EQ(report.pages, 2);
  const auto h3 = report.TextsStarting("\"h3\""), h4 = report.TextsStarting("\"h4\"");
  ASSERT_EQ(h3.size(), 1u);
  ASSERT_EQ(h4.size(), 1u);
  EXPECT_EQ(h3[0].points[0].y, kMargin);
  EXPECT_EQ(h4[0].points[0].y, kMargin + 30);
  EXPECT_TRUE(report.TextsStarting("\"h2\"").empty());  // on the first page

  Report failed(rows, none, true, {4800, 3500, 200}, false);
  EXPECT_TRUE(failed.TextsStarting("\"h3\"").empty());
}

TEST(TrendReport, PageWithoutPhysicalWidthPrintsNothing) {
  RecordingCanvas canvas;
  NoTrendRecords none;
  EXPECT_FALSE(PrintTrendReport(canvas, {4800, 6600, 0}, {}, {}, none, [] { return true; }));
  EXPECT_TRUE(canvas.Ops().empty());
}

}  // namespace
}  // namespace tw
