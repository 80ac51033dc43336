#include "charts/SpeedIcon.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "util/Numbers.h"

namespace tw {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kCentreX = 16, kCentreY = 16;

CanvasPoint Polar(double cx, double cy, double radius, double degrees) {
  const double a = degrees * kPi / 180;
  return {static_cast<int>(RoundHalfEven(cx + radius * std::cos(a))),
          static_cast<int>(RoundHalfEven(cy - radius * std::sin(a)))};
}

// A ring sector between two radii, from angle `from` down to `to` (degrees).
void Band(Canvas& canvas, double from, double to, ColorValue color) {
  std::vector<CanvasPoint> points;
  constexpr int kSteps = 12;
  for (int i = 0; i <= kSteps; ++i)
    points.push_back(Polar(kCentreX, kCentreY, 14, from + (to - from) * i / kSteps));
  for (int i = kSteps; i >= 0; --i)
    points.push_back(Polar(kCentreX, kCentreY, 10, from + (to - from) * i / kSteps));
  canvas.SetPen(color, 1, PenStyle::Solid);
  canvas.Polygon(points.data(), static_cast<int>(points.size()), color);
}

void Disc(Canvas& canvas, double radius, ColorValue fill, ColorValue outline) {
  std::vector<CanvasPoint> points;
  for (int i = 0; i < 48; ++i) points.push_back(Polar(kCentreX, kCentreY, radius, i * 7.5));
  canvas.SetPen(outline, 1, PenStyle::Solid);
  canvas.Polygon(points.data(), static_cast<int>(points.size()), fill);
}

}  // namespace

double NeedleAngleDegrees(int index) {
  return 225.0 - std::clamp(index, 0, 12) * 22.5;
}

CanvasPoint NeedleTip(int index, int cx, int cy, int length) {
  return Polar(cx, cy, length, NeedleAngleDegrees(index));
}

void DrawSpeedIcon(Canvas& canvas, int index) {
  Disc(canvas, 15, clWhite, clBlack);
  Band(canvas, 225, 160, clRed);
  Band(canvas, 160, 20, clYellow);
  Band(canvas, 20, -45, clLime);
  canvas.SetPen(clBlack, 2, PenStyle::Solid);
  canvas.Line({kCentreX, kCentreY}, NeedleTip(index, kCentreX, kCentreY, 13));
  Disc(canvas, 2.5, clBlack, clBlack);
}

}  // namespace tw
