// The live strip chart: the last 100 samples of every resource, redrawn by
// every sampling tick. Drawing goes through a Canvas into the off-screen
// picture; the widget copies the finished picture once per pass.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "charts/Canvas.h"
#include "engine/MeasurementTypes.h"
#include "engine/ResourceKinds.h"

namespace tw {

// What the charts need of one resource row.
struct ChartResource {
  ResourceKind kind = ResourceKind::None;
  ColorValue writeColor = clBlack;  // column 6
  ColorValue readColor = clBlack;   // column 7 (read or ping line)
  std::string address;              // the measurement record's address

  // The colour column a line of the row's kind takes.
  ColorValue Colour(const ChartLine& line) const {
    return line.colourSlot == 0 ? writeColor : readColor;
  }
};

// One row as the hover test of the live chart sees it.
struct LiveHoverRow {
  ChartResource resource;
  const MeasurementSnapshot* results = nullptr;
};

class TLiveChart {
 public:
  static constexpr int kDesignWidth = 267;  // `display2`
  static constexpr int kDesignHeight = 87;
  static constexpr int kLegendWidth = 33;             // `Legend`
  static constexpr ColorValue kBackground = clGreen;  // `Display`'s colour

  explicit TLiveChart(int width = kDesignWidth, int height = kDesignHeight);

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Full scale in Kbps (the speed at the top edge); saved as "Scale".
  double Scale() const { return scale_; }
  void SetScale(double kbps) { scale_ = UsableScaleValue(kbps); }
  void ScaleUPClick();
  void ScaleDownClick();
  // Whether `HGrdBtn` / `VGrdBtn` are down; saved as "HGrdBtn", "VGrdBtn".
  bool horizontalGrid = true;
  bool verticalGrid = true;

  // X of sample k (1..100): Round(W x k x 0.01).
  int PointX(int k) const { return pointX_[static_cast<size_t>(k - 1)]; }
  // Row of a speed when drawing: 0 on the bottom pixel row, the scale and
  // above on the top row.
  int SpeedToRow(double kbps) const;
  // The same mapping without the limits (hover test).
  int SpeedToRowUnclamped(double kbps) const;

  // The drawing pass: clear, each row's lines in row order, grid.
  void Clear(Canvas& canvas) const;
  void DrawRow(Canvas& canvas, const ChartResource& resource, const MeasurementSnapshot& results);
  void DrawGrid(Canvas& canvas) const;

  // `LegendPaint`: the scale strip of the given size.
  void PaintLegend(Canvas& canvas, int stripWidth, int stripHeight, const CanvasFont& font) const;

  // The value window's text for the mouse at (x, y) in `display2`; empty
  // when no line lies within one pixel (then the window hides).
  std::string HoverText(int x, int y, const std::vector<LiveHoverRow>& rows) const;
  // The latest speeds of every row in words, for screen readers:
  // "<address>: write 1.00 Kbps, read 2.00 Kbps; <address>: ping ...".
  static std::string Description(const std::vector<LiveHoverRow>& rows);

 private:
  static double UsableScaleValue(double kbps);
  void DrawLine(Canvas& canvas, const SpeedHistory& history, ColorValue color);

  int width_, height_;
  double scale_ = 2;
  std::array<int, kHistoryLength> pointX_{};
  std::array<CanvasPoint, kHistoryLength> points_{};
};

}  // namespace tw
