#include "charts/SpeedIcon.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "util/Numbers.h"

namespace tw {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCentre = 16;  // of the 32-pixel design

CanvasPoint Polar(double cx, double cy, double radius, double degrees) {
  const double a = degrees * kPi / 180;
  return {static_cast<int>(RoundHalfEven(cx + radius * std::cos(a))),
          static_cast<int>(RoundHalfEven(cy - radius * std::sin(a)))};
}

// The 32-pixel design drawn at `scale`: coordinates are scaled before they
// are rounded, so a large icon is round instead of a magnified 32-pixel one.
class Dial {
 public:
  Dial(Canvas& canvas, double scale) : canvas_(canvas), scale_(scale) {}

  CanvasPoint At(double radius, double degrees) const {
    return Polar(kCentre * scale_, kCentre * scale_, radius * scale_, degrees);
  }
  // A design pen width at this scale, at least one pixel.
  int Pen(int width) const { return std::max(1, static_cast<int>(RoundHalfEven(width * scale_))); }

  // A ring sector between two radii, from angle `from` down to `to` (degrees).
  void Band(double from, double to, ColorValue color) const {
    std::vector<CanvasPoint> points;
    const int steps = 12 * std::max(1, static_cast<int>(scale_));
    for (int i = 0; i <= steps; ++i) points.push_back(At(14, from + (to - from) * i / steps));
    for (int i = steps; i >= 0; --i) points.push_back(At(10, from + (to - from) * i / steps));
    canvas_.SetPen(color, Pen(1), PenStyle::Solid);
    canvas_.Polygon(points.data(), static_cast<int>(points.size()), color);
  }

  void Disc(double radius, ColorValue fill, ColorValue outline) const {
    std::vector<CanvasPoint> points;
    for (int i = 0; i < 48; ++i) points.push_back(At(radius, i * 7.5));
    canvas_.SetPen(outline, Pen(1), PenStyle::Solid);
    canvas_.Polygon(points.data(), static_cast<int>(points.size()), fill);
  }

  void Needle(int index) const {
    canvas_.SetPen(clBlack, Pen(2), PenStyle::Solid);
    canvas_.Line(At(0, 0), At(13, NeedleAngleDegrees(index)));
  }

 private:
  Canvas& canvas_;
  double scale_;
};

}  // namespace

double NeedleAngleDegrees(int index) {
  return 225.0 - std::clamp(index, 0, 12) * 22.5;
}

CanvasPoint NeedleTip(int index, int cx, int cy, int length) {
  return Polar(cx, cy, length, NeedleAngleDegrees(index));
}

void DrawSpeedIcon(Canvas& canvas, int index, int size) {
  const Dial dial(canvas, static_cast<double>(size) / kSpeedIconSize);
  dial.Disc(15, clWhite, clBlack);
  dial.Band(225, 160, clRed);
  dial.Band(160, 20, clYellow);
  dial.Band(20, -45, clLime);
  dial.Needle(index);
  dial.Disc(2.5, clBlack, clBlack);
}

}  // namespace tw
