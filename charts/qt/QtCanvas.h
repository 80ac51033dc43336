// The Canvas over a QPainter. Pens of odd width are drawn on pixel centres,
// so one-pixel lines stay one (logical) pixel wide and crisp at any
// device-pixel ratio.
//
// Why a pixel path of our own: the live chart draws up to a hundred
// 100-point polylines twenty times a second, and the painter's line stroker
// costs tens of nanoseconds per segment plus a few per pixel. When the canvas
// paints on an opaque image at a whole-number pixel ratio, one-pixel solid
// polylines are written straight into the image instead (same pixels: one
// logical pixel per step, end points excluded as in the window system's line
// drawing); everything else goes through the painter.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QVarLengthArray>

#include "charts/Canvas.h"
#include "controls/SystemColors.h"

namespace tw {

// A canvas font as a Qt font (pixel height kept).
QFont ToQFont(const CanvasFont& font);
// A Qt font as a canvas font.
CanvasFont FromQFont(const QFont& font);

class QtCanvas final : public Canvas {
 public:
  // `image`, when given, is the image the painter paints on (fast lines).
  explicit QtCanvas(QPainter& painter, QImage* image = nullptr);

  void FillRect(const CanvasRect& rect, ColorValue color) override;
  void SetPen(ColorValue color, int width, PenStyle style) override;
  void Line(CanvasPoint from, CanvasPoint to) override;
  void Polyline(const CanvasPoint* points, int count) override;
  void Polygon(const CanvasPoint* points, int count, ColorValue fill) override;
  void SetFont(const CanvasFont& font) override;
  void SetTextColor(ColorValue color) override { textColor_ = ToQColor(color); }
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;
  void Text(int x, int y, const std::string& text) override;
  void TextInRect(const CanvasRect& rect, const std::string& text, TextAlign align) override;

 private:
  QPointF At(CanvasPoint p) const { return QPointF(p.x + offset_, p.y + offset_); }

  bool FastLinesPossible() const;
  void FastPolyline(const CanvasPoint* points, int count);
  void FastSegment(CanvasPoint from, CanvasPoint to);
  template <typename PlotPixel>
  void Bresenham(CanvasPoint from, CanvasPoint to, PlotPixel plot);
  bool Inside(CanvasPoint point) const;
  void Plot(int x, int y);

  QPainter& painter_;
  QImage* image_ = nullptr;
  uchar* bits_ = nullptr;
  qsizetype bytesPerLine_ = 0;
  int ratio_ = 1;
  int logicalWidth_ = 0, logicalHeight_ = 0;
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::Solid;
  QRgb penRgb_ = 0;
  QColor textColor_ = Qt::black;
  double offset_ = 0.5;
  QVarLengthArray<QPointF, 128> scratch_;
};

}  // namespace tw
