// The Canvas over a QPainter. Pens of odd width are drawn on pixel centres,
// so one-pixel lines stay one (logical) pixel wide and crisp at any
// device-pixel ratio.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QVarLengthArray>

#include "charts/Canvas.h"

namespace tw {

// A colour value as a Qt colour; the desktop's element colours come from
// the application palette.
QColor ToQColor(ColorValue value);
// A canvas font as a Qt font (pixel height kept).
QFont ToQFont(const CanvasFont& font);
// A Qt font as a canvas font.
CanvasFont FromQFont(const QFont& font);

class QtCanvas final : public Canvas {
 public:
  explicit QtCanvas(QPainter& painter);

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

  QPainter& painter_;
  QColor textColor_ = Qt::black;
  double offset_ = 0.5;
  QVarLengthArray<QPointF, 128> scratch_;
};

}  // namespace tw
