// libFuzzer target for the trend files as the trend chart uses them.
//
// Input: as for fuzz_trend_index, a 4-byte little-endian length n, n bytes
// of the data file "MERLISK.D" and the rest as the index file "MERLISK.ND".
// The files are loaded; then, for the days the index names, the chart is
// redrawn for the names found in the data file, hovered over, exported and
// printed as a report, every part reading its records through the files.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "charts/TrendChart.h"
#include "charts/TrendExport.h"
#include "charts/TrendFileLookup.h"
#include "charts/TrendReport.h"
#include "fuzz/FuzzFiles.h"
#include "trend/TrendFile.h"

namespace {

using namespace tw;

class NullCanvas final : public Canvas {
 public:
  void FillRect(const CanvasRect&, ColorValue) override {}
  void SetPen(ColorValue, int, PenStyle) override {}
  void Line(CanvasPoint, CanvasPoint) override {}
  void Polyline(const CanvasPoint*, int) override {}
  void Polygon(const CanvasPoint*, int, ColorValue) override {}
  void SetFont(const CanvasFont&) override {}
  void SetTextColor(ColorValue) override {}
  int TextWidth(const std::string& text) override { return static_cast<int>(text.size()) * 6; }
  int TextHeight(const std::string&) override { return 13; }
  void Text(int, int, const std::string&) override {}
  void TextInRect(const CanvasRect&, const std::string&, TextAlign) override {}
};

constexpr size_t kMaxDays = 3;
constexpr size_t kMaxNames = 6;
// Dates a user can move the trend chart to: 1 January 1900 to 31 December 9999.
constexpr double kFirstDay = 2, kLastDay = 2958465;

// The days and resource names the files hold, as the user would pick them:
// days from the index stamps, names from the records they point at.
void PickDaysAndNames(const TTrendFile& trend, const uint8_t* data, size_t dataSize,
                      std::set<double>& days, std::set<std::string>& names) {
  for (const TIndexObject& entry : trend.TimeIndexes()) {
    if (days.size() < kMaxDays && entry.Stamp >= kFirstDay && entry.Stamp <= kLastDay)
      days.insert(std::floor(entry.Stamp));
    const auto at = static_cast<size_t>(entry.Position);
    if (names.size() < kMaxNames && entry.Position >= 0 && at + kTrendRecordSize <= dataSize) {
      const uint8_t length = data[at + TrendOffset::NameLength];
      names.insert(
          std::string(reinterpret_cast<const char*>(data + at + TrendOffset::Name), length));
    }
    if (days.size() == kMaxDays && names.size() == kMaxNames) break;
  }
}

void ShowDay(double day, const std::vector<ChartResource>& resources, TrendLookup& lookup) {
  std::vector<TrendDay> averages(resources.size());
  std::vector<TrendRow> rows;
  std::vector<TrendHoverRow> hoverRows;
  std::vector<ExportRow> exportRows;
  std::vector<ReportRow> reportRows;
  for (size_t i = 0; i < resources.size(); ++i) {
    rows.push_back({resources[i], &averages[i]});
    hoverRows.push_back({resources[i], &averages[i]});
    exportRows.push_back({resources[i].address, resources[i].kind, &averages[i]});
    reportRows.push_back({static_cast<int>(i) + 1, resources[i]});
  }
  NullCanvas canvas;
  TTrendChart chart;
  chart.trendDate = day;
  chart.Redraw(canvas, rows, lookup, CanvasFont{});
  // The mouse over every point, at the height of each line drawn there.
  for (int p = 1; p <= kTrendPoints; ++p) {
    const int x = chart.PointX(p);
    for (const TrendDay& values : averages) {
      for (const auto& series : values)
        chart.HoverText(x, chart.AverageToRow(series[static_cast<size_t>(p - 1)]), hoverRows);
    }
  }
  ExportText(BuildExportTable(TTrendChart::DateText(day), exportRows, 0, kTrendPoints));
  ReportSettings settings;
  settings.trendDate = settings.today = day;
  settings.dateCaption = TTrendChart::DateText(day);
  int pages = 0;
  PrintTrendReport(canvas, ReportPage{2400, 3300, 203}, settings, reportRows, lookup,
                   [&pages] { return ++pages < 3; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string folder = fuzz::Folder({"MERLISK.D", "MERLISK.ND"});
  const std::string data = folder + "/MERLISK.D";
  const std::string index = folder + "/MERLISK.ND";
  size_t dataSize = 0;
  if (!fuzz::WriteTrendPair(bytes, size, data, index, dataSize)) return 0;

  TTrendFile trend(data, index);
  std::set<double> days;
  std::set<std::string> names{"HOST"};
  PickDaysAndNames(trend, bytes + 4, dataSize, days, names);
  static constexpr std::array<ResourceKind, 4> kKinds{ResourceKind::Drive, ResourceKind::File,
                                                      ResourceKind::Echo, ResourceKind::Web};
  std::vector<ChartResource> resources;
  for (const std::string& name : names) {
    ChartResource resource;
    resource.kind = kKinds[resources.size() % kKinds.size()];
    resource.writeColor = clRed;
    resource.readColor = clBlue;
    resource.address = name;
    resources.push_back(resource);
  }
  TrendFileLookup lookup(trend);
  for (double day : days) ShowDay(day, resources, lookup);
  return 0;
}
