// The printed trend report: a heading with today's date, the day's chart of
// every resource with its scale and 24-hour axis, the trend date in words,
// and per measured speed a statistics line (minimum, maximum and average of
// the day's 96 quarter-hour averages) beside a sample of its line style.
//
// It reads the records itself through a TrendLookup with the trend chart's
// settings and draws through a Canvas in printer pixels; the screen chart is
// not redrawn.
//
// When the legend does not fit on the page, it goes on at the top of further
// pages (slot spacing unchanged), so that every statistics line stays
// readable; a report that fits is one page.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "charts/Canvas.h"
#include "charts/LiveChart.h"
#include "charts/TrendChart.h"

namespace tw {

// The printer's page: the printable width and height in pixels and the
// physical width in millimetres of the same area.
struct ReportPage {
  int widthPx = 0;
  int heightPx = 0;  // 0: unknown (the legend is never continued)
  double widthMm = 0;
};

// Measures of one report in printer pixels.
struct ReportMeasures {
  double pixelsPerMm = 0;  // f
  int margin = 0;
  int stripWidth = 0;   // the scale labels' column left of the chart
  int chartWidth = 0;   // CW
  int chartHeight = 0;  // CH = CW div 2
  int baseHeight = 0;   // BH = CH - 15
  int chartLeft = 0;    // L
};

// `stripTextWidth`: the width of "100000.0" in the printer's own font (the
// report measures it before it sets a font of its own).
ReportMeasures MeasureReport(const ReportPage& page, int stripTextWidth);

// One resource row that has a measurement record; `resource.address` is the
// row's resource name (column 1), by which its records are looked up.
struct ReportRow {
  int row = 0;  // 1..N
  ChartResource resource;
};

struct ReportSettings {
  double trendDate = 0;  // days since 30 December 1899; only the date counts
  double scale = 2;      // the trend scale, Kbps at the chart's full height
  bool horizontalGrid = true;
  bool verticalGrid = true;
  std::string dateCaption;  // what the trend date panel shows
  double today = 0;         // for "Report Date : "
  CanvasFont font;          // family and style of the main window's font
};

// The legend slot of a series of resource row r: 3(r - 1) + 0 write, 1 read, 2 ping.
int LegendSlot(int row, Series series);

// `"name"  read speed. Min. = ..., Max. = ..., Average = ...` (numbers in 9
// characters with 2 decimals).
std::string StatisticsLine(const std::string& name, Series series, double minimum, double maximum,
                           double average);

// Draws the report. `newPage` starts the next page (false: it could not, and
// the rest of the legend is left out). Returns false and draws nothing when
// the page has no physical width.
bool PrintTrendReport(Canvas& canvas, const ReportPage& page, const ReportSettings& settings,
                      const std::vector<ReportRow>& rows, TrendLookup& lookup,
                      const std::function<bool()>& newPage);

}  // namespace tw
