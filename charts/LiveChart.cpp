#include "charts/LiveChart.h"

#include <algorithm>

#include "charts/ChartRules.h"
#include "engine/ResourceKinds.h"
#include "util/Numbers.h"
#include "util/Text.h"

namespace tw {

TLiveChart::TLiveChart(int width, int height) : width_(width), height_(height) {
  for (int k = 1; k <= kHistoryLength; ++k) {
    const auto x = static_cast<int>(RoundHalfEven(width_ * k * 0.01));
    pointX_[static_cast<size_t>(k - 1)] = x;
    points_[static_cast<size_t>(k - 1)] = {x, height_};
  }
}

double TLiveChart::UsableScaleValue(double kbps) {
  return UsableScale(kbps);
}

void TLiveChart::ScaleUPClick() {
  scale_ = ScaleUp(scale_);
}
void TLiveChart::ScaleDownClick() {
  scale_ = ScaleDown(scale_);
}

int TLiveChart::SpeedToRowUnclamped(double kbps) const {
  return height_ - RoundToPixel(height_ / scale_ * kbps);
}

int TLiveChart::SpeedToRow(double kbps) const {
  int y = SpeedToRowUnclamped(kbps);
  if (y >= height_) y = height_ - 1;
  if (y < 0) y = 0;
  return y;
}

void TLiveChart::Clear(Canvas& canvas) const {
  canvas.FillRect({0, 0, width_, height_}, kBackground);
}

void TLiveChart::DrawLine(Canvas& canvas, const SpeedHistory& history, ColorValue color) {
  for (size_t k = 0; k < history.size(); ++k) points_[k].y = SpeedToRow(history[k]);
  canvas.SetPen(color, 1, PenStyle::Solid);
  canvas.Polyline(points_.data(), static_cast<int>(points_.size()));
}

void TLiveChart::DrawRow(Canvas& canvas, const ChartResource& resource,
                         const MeasurementSnapshot& results) {
  const KindDescriptor& kind = Describe(resource.kind);
  for (int i = 0; i < kind.lineCount; ++i) {
    const ChartLine& line = kind.lines[i];
    DrawLine(canvas, SeriesHistory(results, line.series), resource.Colour(line));
  }
}

void TLiveChart::DrawGrid(Canvas& canvas) const {
  canvas.SetPen(clBlack, 1, PenStyle::Solid);
  if (horizontalGrid) {
    const double step = height_ * 0.2;
    for (int i = 1; i <= 5; ++i) {
      const int y = height_ - static_cast<int>(RoundHalfEven(step * i));
      canvas.Line({0, y}, {width_, y});
    }
  }
  if (verticalGrid) {
    for (int x = 1; x <= width_; ++x) {
      if (x == 1 || x % 20 == 0) canvas.Line({x, 0}, {x, height_});
    }
  }
}

void TLiveChart::PaintLegend(Canvas& canvas, int stripWidth, int stripHeight,
                             const CanvasFont& font) const {
  PaintScaleStrip(canvas, stripWidth, stripHeight, height_, scale_, kBackground, font);
}

std::string TLiveChart::HoverText(int x, int y, const std::vector<LiveHoverRow>& rows) const {
  const int k = std::clamp(static_cast<int>(RoundHalfEven(x / (width_ * 0.01))), 1, kHistoryLength);
  const auto index = static_cast<size_t>(k - 1);
  for (const LiveHoverRow& row : rows) {
    if (row.results == nullptr) continue;
    std::string text;
    const auto test = [&](const SpeedHistory& history, const char* what) {
      const double v = history[index];
      const int lineY = SpeedToRowUnclamped(v);
      if (y - 1 <= lineY && lineY <= y + 1) {
        text = "\"" + row.resource.address + "\" " + what + " " + SpeedField(v) + " Kbps";
      }
    };
    const KindDescriptor& kind = Describe(row.resource.kind);
    for (int i = 0; i < kind.lineCount; ++i)
      test(SeriesHistory(*row.results, kind.lines[i].series), kind.lines[i].label);
    if (!text.empty()) return text;
  }
  return {};
}

std::string TLiveChart::Description(const std::vector<LiveHoverRow>& rows) {
  std::string text;
  for (const LiveHoverRow& row : rows) {
    if (row.results == nullptr) continue;
    text += (text.empty() ? "" : "; ") + row.resource.address + ":";
    const KindDescriptor& kind = Describe(row.resource.kind);
    for (int i = 0; i < kind.lineCount; ++i) {
      const double newest = SeriesHistory(*row.results, kind.lines[i].series).back();
      text += std::string(i == 0 ? " " : ", ") + kind.lines[i].label + " " +
              Trim(SpeedField(newest)) + " Kbps";
    }
  }
  return text.empty() ? "No resources" : text;
}

}  // namespace tw
