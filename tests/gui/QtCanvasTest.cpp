// The painter canvas: direct one-pixel lines against the line they stand
// for, at pixel ratios 1 and 2, and colours of the desktop's elements.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPalette>
#include <cmath>
#include <set>

#include "ChartsGuiApp.h"
#include "charts/qt/QtCanvas.h"

namespace tw {
namespace {

using Pixel = std::pair<int, int>;

// Logical pixels of `image` (ratio r) in pure red; checks every r x r block is whole.
std::set<Pixel> RedPixels(const QImage& image, int r) {
  std::set<Pixel> pixels;
  for (int y = 0; y < image.height() / r; ++y) {
    for (int x = 0; x < image.width() / r; ++x) {
      int red = 0;
      for (int d = 0; d < r * r; ++d)
        red += image.pixel(x * r + d % r, y * r + d / r) == qRgb(255, 0, 0);
      EXPECT_TRUE(red == 0 || red == r * r) << x << "," << y;
      if (red != 0) pixels.insert({x, y});
    }
  }
  return pixels;
}

double DistanceToSegment(Pixel p, CanvasPoint a, CanvasPoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 == 0 ? 0 : ((p.first - a.x) * dx + (p.second - a.y) * dy) / len2;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.first - (a.x + t * dx), p.second - (a.y + t * dy));
}

TEST(QtCanvas, DirectPolylineFollowsItsSegmentsAtEachPixelRatio) {
  test::ChartsGuiApp();
  const std::vector<CanvasPoint> line = {{0, 40},  {3, 5},    {40, 5},  {41, 60},
                                         {90, 86}, {120, 86}, {150, 0}, {267, 43}};
  for (int ratio : {1, 2}) {
    QImage image(QSize(267, 87) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    {
      QPainter painter(&image);
      QtCanvas canvas(painter, &image);
      canvas.SetPen(clRed, 1, PenStyle::Solid);
      canvas.Polyline(line.data(), static_cast<int>(line.size()));
    }
    const std::set<Pixel> pixels = RedPixels(image, ratio);
    // Each segment's pixels lie within half a pixel of the segment (plus the
    // diagonal slack of a stepped line) and the path is unbroken.
    for (const Pixel& p : pixels) {
      double nearest = 1e9;
      for (size_t i = 1; i < line.size(); ++i) {
        nearest = std::min(nearest, DistanceToSegment(p, line[i - 1], line[i]));
      }
      EXPECT_LE(nearest, 0.71) << p.first << "," << p.second;
    }
    for (size_t i = 0; i + 1 < line.size(); ++i) {
      EXPECT_TRUE(pixels.count({line[i].x, line[i].y})) << i;
    }
    // The last point (267, 43) is outside the picture and simply not drawn.
    EXPECT_TRUE(pixels.count({266, 43}) || pixels.count({266, 42}) || pixels.count({266, 44}));
  }
}

TEST(QtCanvas, WiderPensAndFillsGoThroughThePainter) {
  test::ChartsGuiApp();
  QImage image(20, 20, QImage::Format_RGB32);
  image.fill(Qt::black);
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, &image);
    canvas.FillRect({2, 2, 5, 5}, clGreen);
    canvas.SetPen(clRed, 2, PenStyle::Solid);
    const CanvasPoint points[] = {{10, 10}, {18, 10}};
    canvas.Polyline(points, 2);
  }
  EXPECT_EQ(image.pixel(2, 2), qRgb(0, 128, 0));
  EXPECT_EQ(image.pixel(4, 4), qRgb(0, 128, 0));
  EXPECT_EQ(image.pixel(5, 5), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(14, 9), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(14, 10), qRgb(255, 0, 0));
}

TEST(QtCanvas, ColourValuesAndDesktopColours) {
  test::ChartsGuiApp();
  EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0x00804020), QColor(0x20, 0x40, 0x80));
  EXPECT_EQ(ToQColor(SystemColorValue(SystemColor::BtnFace)),
            QApplication::palette().color(QPalette::Button));
}

}  // namespace
}  // namespace tw
