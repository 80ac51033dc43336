#include "charts/TrendChart.h"

#include <algorithm>

#include "charts/ChartRules.h"
#include "engine/ResourceKinds.h"
#include "util/DateTime.h"
#include "util/Numbers.h"
#include "util/Text.h"

namespace tw {

namespace {

constexpr double kQuarterHour = 0.01041666666667;  // days

class BusyGuard {
 public:
  explicit BusyGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyGuard() { flag_ = false; }

 private:
  bool& flag_;
};

int Round(double v) {
  return RoundToPixel(v);
}

}  // namespace

TTrendChart::TTrendChart(int width, int height) : width_(width), height_(height) {}

void TTrendChart::SetScale(double kbps) {
  scale_ = UsableScale(kbps);
}
void TTrendChart::TrendScaleUpClick() {
  scale_ = ScaleUp(scale_);
}
void TTrendChart::TrendScaleDownClick() {
  scale_ = ScaleDown(scale_);
}

bool TTrendChart::NextDayAllowed(double now) const {
  return DatePart(now) > trendDate;
}

int TTrendChart::PointX(int p) const {
  return Round(width_ * p * (1.0 / 96));
}

int TTrendChart::AverageToRow(double kbps) const {
  const int b = BaseLine();
  return std::max(0, b - 1 - Round(b / scale_ * kbps));
}

bool TTrendChart::Redraw(Canvas& canvas, const std::vector<TrendRow>& rows, TrendLookup& lookup,
                         const CanvasFont& labelFont) {
  if (busy_) return false;
  for (auto& table : points_) {
    for (int p = 1; p <= kTrendPoints; ++p)
      table[static_cast<size_t>(p - 1)] = {PointX(p), height_};
  }
  BusyGuard guard(busy_);
  canvas.FillRect({0, 0, width_, height_}, kBackground);
  const double dayEnd = DatePart(trendDate) + 1;
  DrawAxis(canvas, labelFont);
  for (const TrendRow& row : rows) {
    FillRow(row, lookup, dayEnd);
    const KindDescriptor& kind = Describe(row.resource.kind);
    for (int i = 0; i < kind.lineCount; ++i) {
      const ChartLine& line = kind.lines[i];
      DrawPolyline(canvas, points_[static_cast<size_t>(line.series)], row.resource.Colour(line));
    }
  }
  DrawGrid(canvas);
  return true;
}

void TTrendChart::FillRow(const TrendRow& row, TrendLookup& lookup, double dayEnd) {
  const int b = BaseLine();
  for (int p = 1; p <= kTrendPoints; ++p) {
    const auto i = static_cast<size_t>(p - 1);
    double w = 0, rd = 0, e = 0;
    if (!lookup.Find(row.resource.address, dayEnd - (kTrendPoints - p) * kQuarterHour, rd, w, e)) {
      w = rd = e = 0;
      for (auto& table : points_) table[i].y = b - 1;
    } else {
      points_[kTrendWrite][i].y = AverageToRow(w);
      points_[kTrendRead][i].y = AverageToRow(rd);
      points_[kTrendEcho][i].y = AverageToRow(e);
    }
    if (row.day != nullptr) {
      (*row.day)[kTrendWrite][i] = w;
      (*row.day)[kTrendRead][i] = rd;
      (*row.day)[kTrendEcho][i] = e;
    }
  }
}

void TTrendChart::DrawPolyline(Canvas& canvas, const std::array<CanvasPoint, kTrendPoints>& points,
                               ColorValue color) const {
  canvas.SetPen(color, 1, PenStyle::Solid);
  canvas.Polyline(points.data(), kTrendPoints);
}

void TTrendChart::DrawAxis(Canvas& canvas, const CanvasFont& labelFont) const {
  const int b = BaseLine();
  canvas.SetPen(clBlack, 1, PenStyle::Solid);
  canvas.Line({0, b}, {width_, b});
  for (int h = 0; h <= 23; ++h) {
    const int x = Round(h * width_ * (1.0 / 24));
    canvas.Line({x, b}, {x, b + 4});
  }
  canvas.SetFont(labelFont);
  canvas.SetTextColor(clBlack);
  for (int i = 1; i <= 7; ++i) {
    const std::string text = std::to_string(3 * i) + ":00";
    const int half = canvas.TextWidth(text) / 2;
    const int c = Round(i * width_ * 0.125);
    canvas.TextInRect({c - half, b + 4, c + half, height_}, text, TextAlign::CentreSingleLine);
  }
}

void TTrendChart::DrawGrid(Canvas& canvas) const {
  const int b = BaseLine();
  canvas.SetPen(clBlack, 1, PenStyle::Solid);
  if (horizontalGrid) {
    const double step = b * 0.2;
    for (int i = 1; i <= 5; ++i) {
      const int y = b - Round(step * i);
      canvas.Line({0, y}, {width_, y});
    }
  }
  if (verticalGrid) {
    for (int h = 0; h <= 23; ++h) {
      const int x = Round(h * width_ * (1.0 / 24));
      canvas.Line({x, 0}, {x, b});
    }
  }
}

void TTrendChart::PaintLegend(Canvas& canvas, int stripWidth, int stripHeight,
                              const CanvasFont& font) const {
  PaintScaleStrip(canvas, stripWidth, stripHeight, BaseLine(), scale_, kBackground, font);
}

std::string TTrendChart::HoverText(int x, int y, const std::vector<TrendHoverRow>& rows) const {
  const int k = std::clamp(Round(x / (width_ * (1.0 / 96))), 1, kTrendPoints);
  const auto index = static_cast<size_t>(k - 1);
  const int b = BaseLine();
  for (const TrendHoverRow& row : rows) {
    if (row.day == nullptr) continue;
    std::string text;
    const auto test = [&](TrendBlock block, const char* what) {
      const double v = (*row.day)[block][index];
      const int lineY = b - Round(b / scale_ * v) - 1;
      if (y - 1 <= lineY && lineY <= y + 1) {
        text = "\"" + row.resource.address + "\", " + what + " - " + SpeedField(v) + " Kbps, ";
      }
    };
    const KindDescriptor& kind = Describe(row.resource.kind);
    for (int i = 0; i < kind.lineCount; ++i)
      test(static_cast<TrendBlock>(kind.lines[i].series), kind.lines[i].label);
    if (!text.empty()) {
      // The quarter hour's end as a time of day; the last one is midnight.
      const int minutes = (k * 15) % (24 * 60);
      char time[8];
      std::snprintf(time, sizeof time, "%02d:%02d", minutes / 60, minutes % 60);
      return text + time;
    }
  }
  return {};
}

namespace {

// The last quarter hour of the day with a value on any of the kind's lines; -1 when none.
int LatestQuarterHour(const TrendDay& day, const KindDescriptor& kind) {
  for (int p = kTrendPoints - 1; p >= 0; --p) {
    for (int i = 0; i < kind.lineCount; ++i) {
      if (day[static_cast<size_t>(kind.lines[i].series)][static_cast<size_t>(p)] != 0) return p;
    }
  }
  return -1;
}

}  // namespace

std::string TTrendChart::Description(const std::vector<TrendHoverRow>& rows) const {
  std::string text = DateText(trendDate);
  for (const TrendHoverRow& row : rows) {
    if (row.day == nullptr) continue;
    text += "; " + row.resource.address + ":";
    const KindDescriptor& kind = Describe(row.resource.kind);
    const int p = LatestQuarterHour(*row.day, kind);
    if (p < 0) {
      text += " no data";
      continue;
    }
    for (int i = 0; i < kind.lineCount; ++i) {
      const double v =
          (*row.day)[static_cast<size_t>(kind.lines[i].series)][static_cast<size_t>(p)];
      text += std::string(i == 0 ? " " : ", ") + kind.lines[i].label + " " + Trim(SpeedField(v)) +
              " Kbps";
    }
    const int minutes = ((p + 1) * 15) % (24 * 60);
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", minutes / 60, minutes % 60);
    text += std::string(" at ") + time;
  }
  return text;
}

std::string TTrendChart::DateText(double date) {
  static const char* const kMonths[] = {"January",   "February", "March",    "April",
                                        "May",       "June",     "July",     "August",
                                        "September", "October",  "November", "December"};
  static const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
  const CivilTime t = DecodeDateTime(DatePart(date));
  char text[64];
  std::snprintf(text, sizeof text, "%s %d, %04d, %s", kMonths[(t.month - 1) % 12], t.day, t.year,
                kDays[DayOfWeek(DatePart(date))]);
  return text;
}

}  // namespace tw
