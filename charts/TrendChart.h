// The trend chart: one calendar day of quarter-hour averages per resource,
// read back through a TrendLookup, on a 24-hour axis.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "charts/Canvas.h"
#include "charts/LiveChart.h"

namespace tw {

enum TrendBlock { kTrendWrite = 0, kTrendRead = 1, kTrendEcho = 2 };

// Where the trend chart reads its records. Implemented over the trend files
// (an adapter over TTrendFile::FindRecord) and by in-memory tables in tests.
class TrendLookup {
 public:
  virtual ~TrendLookup() = default;
  // Looks up the record of resource `name` (letter case ignored) at the
  // date-time `stamp` (days since 30 December 1899, rounded to the whole
  // minute by the lookup). Returns true and the record's mean speeds in Kbps
  // when found; false otherwise (the outputs are then not used).
  virtual bool Find(const std::string& name, double stamp, double& read, double& write,
                    double& ping) = 0;
};

// Answers "not found" for every record: a day without trend files.
class NoTrendRecords final : public TrendLookup {
 public:
  bool Find(const std::string&, double, double&, double&, double&) override { return false; }
};

// One row as the trend chart sees it; `day` receives the averages drawn.
struct TrendRow {
  ChartResource resource;
  TrendDay* day = nullptr;
};

// One row as the trend hover test sees it.
struct TrendHoverRow {
  ChartResource resource;
  const TrendDay* day = nullptr;
};

class TTrendChart {
 public:
  static constexpr int kDesignWidth = 265;  // `TrendDisplay2`
  static constexpr int kDesignHeight = 94;
  static constexpr int kLegendWidth = 33;             // `TrendLegend`
  static constexpr int kAxisHeight = 15;              // rows below the base line
  static constexpr ColorValue kBackground = clGreen;  // `TrendDisplay`'s colour

  explicit TTrendChart(int width = kDesignWidth, int height = kDesignHeight);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Base line B = H - 15.
  int BaseLine() const { return height_ - kAxisHeight; }

  // Full scale in Kbps at the base line's full height; saved as "TrendScale".
  double Scale() const { return scale_; }
  void SetScale(double kbps);
  void TrendScaleUpClick();
  void TrendScaleDownClick();
  // Whether `HTrendGrdBtn` / `VTrendGrdBtn` are down; saved as
  // "HTrendGrdBtn", "VTrendGrdBtn".
  bool horizontalGrid = true;
  bool verticalGrid = true;

  // The trend date (days since 30 December 1899); only its whole-day part
  // matters. Not saved.
  double trendDate = 0;
  // Moves the trend date by whole days.
  void PreviousDay() { trendDate -= 1; }
  void NextDay() { trendDate += 1; }
  // Whether "Next day" is enabled at the date-time `now`.
  bool NextDayAllowed(double now) const;

  // X of point p (1..96): Round(W x p / 96).
  int PointX(int p) const;
  // Row of an average on the chart: B - 1 - Round(B / scale x v), never above 0.
  int AverageToRow(double kbps) const;

  // The whole redraw into `canvas`; fills every row's `day`. Returns false
  // when a redraw is already running.
  bool Redraw(Canvas& canvas, const std::vector<TrendRow>& rows, TrendLookup& lookup,
              const CanvasFont& labelFont);

  // `TrendLegendPaint`.
  void PaintLegend(Canvas& canvas, int stripWidth, int stripHeight, const CanvasFont& font) const;

  // The value window's text for the mouse at (x, y) in `TrendDisplay2`.
  std::string HoverText(int x, int y, const std::vector<TrendHoverRow>& rows) const;
  // The day shown and every row's latest quarter hour of it in words, for
  // screen readers: "<date>; <address>: write 1.00 Kbps, read 2.00 Kbps at
  // 10:15; <address>: no data".
  std::string Description(const std::vector<TrendHoverRow>& rows) const;

  // The date panel's text "mmmm d, yyyy, dddd" (English names).
  static std::string DateText(double date);

 private:
  void DrawAxis(Canvas& canvas, const CanvasFont& labelFont) const;
  void DrawGrid(Canvas& canvas) const;
  void FillRow(const TrendRow& row, TrendLookup& lookup, double dayEnd);
  void DrawPolyline(Canvas& canvas, const std::array<CanvasPoint, kTrendPoints>& points,
                    ColorValue color) const;

  int width_, height_;
  double scale_ = 2;
  bool busy_ = false;
  // Point tables of write, read and echo.
  std::array<std::array<CanvasPoint, kTrendPoints>, 3> points_{};
};

}  // namespace tw
