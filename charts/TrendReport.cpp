#include "charts/TrendReport.h"

#include <array>

#include "charts/ChartRules.h"
#include "engine/ResourceKinds.h"
#include "util/DateTime.h"
#include "util/Numbers.h"

namespace tw {

namespace {

constexpr double kQuarterHour = 0.01041666666667;  // days
constexpr double kMmPerPoint = 25.4 / 72;

int Round(double v) {
  return RoundToPixel(v);
}

// How each series is printed: its pen and the words of its statistics line.
struct SeriesLook {
  PenStyle pen;
  const char* words;
};
constexpr SeriesLook kLooks[] = {{PenStyle::Dash, "write speed"},
                                 {PenStyle::Dot, "read speed"},
                                 {PenStyle::DashDot, "Ping speed"}};

const SeriesLook& LookOf(Series series) {
  return kLooks[static_cast<size_t>(series)];
}

// The day of one row: printer points and statistics of the three series.
struct RowDay {
  std::array<std::array<CanvasPoint, kTrendPoints>, 3> points{};
  std::array<double, 3> minimum{1000000, 1000000, 1000000};
  std::array<double, 3> maximum{};
  std::array<double, 3> sum{};
};

// "mmmm d, yyyy": the date panel's form without the weekday.
std::string ReportDateText(double date) {
  const std::string text = TTrendChart::DateText(date);
  return text.substr(0, text.rfind(", "));
}

class ReportPrinter {
 public:
  ReportPrinter(Canvas& canvas, const ReportPage& page, const ReportSettings& settings,
                const std::function<bool()>& newPage)
      : canvas_(canvas), page_(page), settings_(settings), newPage_(newPage) {
    m_ = MeasureReport(page, canvas.TextWidth("100000.0"));
    t_ = m_.margin;
  }

  void Print(const std::vector<ReportRow>& rows, TrendLookup& lookup);

 private:
  void SetFont(int points);
  void PrintHeading();
  void PrintScale();
  void PrintFrame();
  void PrintDate();
  RowDay ReadDay(const ReportRow& row, TrendLookup& lookup) const;
  void PrintSeries(const ReportRow& row, const RowDay& day);
  bool PrintLegendLine(const ReportRow& row, const RowDay& day, const ChartLine& line);
  void PrintGrid();
  int Mm(double mm) const { return Round(mm * m_.pixelsPerMm); }
  // A one-pixel pen is a hair line on a fine printer whose dashes and dots
  // cannot be told apart; the series and their samples take a quarter
  // millimetre, at least one pixel.
  int SeriesPenWidth() const { return std::max(1, Mm(0.25)); }
  int Right() const { return page_.widthPx - m_.margin; }
  int Bottom() const { return T() + m_.baseHeight; }
  int T() const { return t_; }

  Canvas& canvas_;
  const ReportPage& page_;
  const ReportSettings& settings_;
  const std::function<bool()>& newPage_;
  ReportMeasures m_;
  int t_ = 0;              // T: the line position below the heading
  int legendTop_ = 0;      // LT
  int textHeight_ = 0;     // TH: one legend line
  int pageFirstSlot_ = 0;  // the legend slot at the top of the current page
  int pageSlotTop_ = 0;    // where that slot is printed
};

void ReportPrinter::SetFont(int points) {
  CanvasFont font = settings_.font;
  font.pixelHeight = std::max(1, Round(points * kMmPerPoint * m_.pixelsPerMm));
  canvas_.SetFont(font);
  canvas_.SetTextColor(clBlack);
}

void ReportPrinter::PrintHeading() {
  SetFont(18);
  canvas_.Text(m_.chartLeft, t_, "Network speed");
  t_ += canvas_.TextHeight("Network speed");
  SetFont(14);
  const std::string date = "Report Date : " + ReportDateText(settings_.today);
  canvas_.Text(m_.chartLeft, t_, date);
  t_ += canvas_.TextHeight(date);
  canvas_.SetPen(clBlack, Mm(0.5), PenStyle::Solid);
  canvas_.Line({m_.chartLeft, t_ + Mm(3)}, {Right(), t_ + Mm(3)});
  t_ += Mm(6);
}

void ReportPrinter::PrintScale() {
  SetFont(6);
  canvas_.SetPen(clBlack, 1, PenStyle::Solid);
  const double step = m_.baseHeight * 0.2;
  const int right = m_.margin + m_.stripWidth - Mm(1);
  for (int i = 1; i <= 4; ++i) {
    const std::string text = ScaleLabel(settings_.scale * 0.2 * i, settings_.scale);
    canvas_.Text(right - canvas_.TextWidth(text),
                 Bottom() - Round(step * i) - canvas_.TextHeight(text) / 2, text);
  }
  canvas_.Text(right - canvas_.TextWidth("KBps"), t_, "KBps");
}

void ReportPrinter::PrintFrame() {
  const int l = m_.chartLeft, r = l + m_.chartWidth;
  canvas_.SetPen(clBlack, 4, PenStyle::Solid);
  const CanvasPoint frame[] = {{l, t_}, {r, t_}, {r, Bottom()}, {l, Bottom()}, {l, t_}};
  canvas_.Polyline(frame, 5);
  for (int h = 0; h <= 23; ++h) {
    const int x = (m_.chartWidth / 24) * h + l;
    canvas_.Line({x, Bottom()}, {x, Bottom() + Mm(1)});
  }
  canvas_.SetPen(clBlack, 1, PenStyle::Solid);
  for (int i = 1; i <= 7; ++i) {
    const std::string text = std::to_string(3 * i) + ":00";
    canvas_.Text((m_.chartWidth / 8) * i + l - canvas_.TextWidth(text) / 2, Bottom() + Mm(2), text);
  }
}

void ReportPrinter::PrintDate() {
  SetFont(12);
  const std::string& text = settings_.dateCaption;
  const int top = t_ + m_.chartHeight + Mm(10);
  canvas_.Text(m_.chartLeft + (page_.widthPx - 2 * m_.margin) / 2 - canvas_.TextWidth(text) / 2,
               top, text);
  legendTop_ = top + canvas_.TextHeight(text);
}

RowDay ReportPrinter::ReadDay(const ReportRow& row, TrendLookup& lookup) const {
  RowDay day;
  const double dayEnd = DatePart(settings_.trendDate) + 1;
  const double perKbps = m_.baseHeight / settings_.scale;
  for (int p = 1; p <= kTrendPoints; ++p) {
    const auto i = static_cast<size_t>(p - 1);
    std::array<double, 3> v{};  // write, read, ping
    if (!lookup.Find(row.resource.address, dayEnd - (kTrendPoints - p) * kQuarterHour, v[1], v[0],
                     v[2]))
      v = {0, 0, 0};
    const int x = Round(p * m_.chartWidth * (1.0 / 96)) + m_.chartLeft;
    for (size_t s = 0; s < 3; ++s) {
      day.points[s][i] = {x, std::max(t_, Bottom() - 1 - Round(perKbps * v[s]))};
      day.sum[s] += v[s];
      day.minimum[s] = std::min(day.minimum[s], v[s]);
      day.maximum[s] = std::max(day.maximum[s], v[s]);
    }
  }
  return day;
}

void ReportPrinter::PrintSeries(const ReportRow& row, const RowDay& day) {
  const KindDescriptor& kind = Describe(row.resource.kind);
  for (int i = 0; i < kind.lineCount; ++i) {
    const ChartLine& line = kind.lines[i];
    canvas_.SetPen(row.resource.Colour(line), SeriesPenWidth(), LookOf(line.series).pen);
    canvas_.Polyline(day.points[static_cast<size_t>(line.series)].data(), kTrendPoints);
  }
}

// One statistics line with its pen sample, in slot 3(r - 1) + k. A line
// below the page's bottom margin starts the next page, where the legend goes
// on from the top margin.
bool ReportPrinter::PrintLegendLine(const ReportRow& row, const RowDay& day,
                                    const ChartLine& line) {
  const int slot = LegendSlot(row.row, line.series);
  int y = pageSlotTop_ + textHeight_ * (slot - pageFirstSlot_);
  const int bottom = page_.heightPx - m_.margin;
  if (page_.heightPx > 0 && y + textHeight_ > bottom && slot > pageFirstSlot_) {
    if (!newPage_()) return false;
    SetFont(8);
    pageFirstSlot_ = slot;
    pageSlotTop_ = y = m_.margin;
  }
  const auto s = static_cast<size_t>(line.series);
  canvas_.SetPen(row.resource.Colour(line), SeriesPenWidth(), LookOf(line.series).pen);
  canvas_.Line({m_.chartLeft, y + textHeight_ / 2}, {m_.chartLeft + Mm(15), y + textHeight_ / 2});
  canvas_.Text(m_.chartLeft + Mm(20), y,
               StatisticsLine(row.resource.address, line.series, day.minimum[s], day.maximum[s],
                              day.sum[s] / 96));
  return true;
}

void ReportPrinter::PrintGrid() {
  canvas_.SetPen(clBlack, 1, PenStyle::Solid);
  const int l = m_.chartLeft, r = l + m_.chartWidth;
  if (settings_.horizontalGrid) {
    const double step = m_.baseHeight * 0.2;
    for (int i = 1; i <= 5; ++i) {
      const int y = Bottom() - Round(step * i);
      canvas_.Line({l, y}, {r, y});
    }
  }
  if (settings_.verticalGrid) {
    for (int h = 0; h <= 23; ++h) {
      const int x = (m_.chartWidth / 24) * h + l;
      canvas_.Line({x, t_}, {x, Bottom()});
    }
  }
}

void ReportPrinter::Print(const std::vector<ReportRow>& rows, TrendLookup& lookup) {
  PrintHeading();
  PrintScale();
  PrintFrame();
  PrintDate();
  std::vector<RowDay> days;
  days.reserve(rows.size());
  for (const ReportRow& row : rows) {
    days.push_back(ReadDay(row, lookup));
    PrintSeries(row, days.back());
  }
  PrintGrid();
  // The legend after the whole chart: only it may go on to further pages.
  SetFont(8);
  textHeight_ = canvas_.TextHeight("1");
  pageSlotTop_ = Mm(10) + legendTop_;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].row == 1) {
      canvas_.SetPen(clBlack, Mm(0.5), PenStyle::Solid);
      canvas_.Line({m_.chartLeft, legendTop_ + Mm(6)}, {Right(), legendTop_ + Mm(6)});
    }
    const KindDescriptor& kind = Describe(rows[i].resource.kind);
    for (int k = 0; k < kind.lineCount; ++k) {
      if (!PrintLegendLine(rows[i], days[i], kind.lines[k])) return;
    }
  }
}

}  // namespace

ReportMeasures MeasureReport(const ReportPage& page, int stripTextWidth) {
  ReportMeasures m;
  m.pixelsPerMm = page.widthPx / page.widthMm;
  m.margin = Round(20 * m.pixelsPerMm);
  m.stripWidth = stripTextWidth + Round(1 * m.pixelsPerMm);
  m.chartWidth = page.widthPx - 2 * m.margin - m.stripWidth;
  m.chartHeight = m.chartWidth / 2;
  m.baseHeight = m.chartHeight - 15;
  m.chartLeft = m.margin + m.stripWidth;
  return m;
}

int LegendSlot(int row, Series series) {
  return 3 * (row - 1) + static_cast<int>(series);
}

std::string StatisticsLine(const std::string& name, Series series, double minimum, double maximum,
                           double average) {
  return "\"" + name + "\"  " + LookOf(series).words + ". Min. = " + SpeedField(minimum) +
         ", Max. = " + SpeedField(maximum) + ", Average = " + SpeedField(average);
}

bool PrintTrendReport(Canvas& canvas, const ReportPage& page, const ReportSettings& settings,
                      const std::vector<ReportRow>& rows, TrendLookup& lookup,
                      const std::function<bool()>& newPage) {
  if (!(page.widthMm > 0) || page.widthPx <= 0) return false;
  ReportPrinter printer(canvas, page, settings, newPage);
  printer.Print(rows, lookup);
  return true;
}

}  // namespace tw
