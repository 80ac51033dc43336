#include "charts/qt/QtCanvas.h"

#include <cmath>

namespace tw {

QFont ToQFont(const CanvasFont& font) {
  QFont f(QString::fromStdString(font.family));
  f.setPixelSize(std::max(1, font.pixelHeight));
  f.setBold(font.bold);
  f.setItalic(font.italic);
  return f;
}

CanvasFont FromQFont(const QFont& font) {
  CanvasFont f;
  f.family = font.family().toStdString();
  f.pixelHeight =
      font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(font.pointSizeF() * 96 / 72 + 0.5);
  f.bold = font.bold();
  f.italic = font.italic();
  return f;
}

QtCanvas::QtCanvas(QPainter& painter, QImage* image) : painter_(painter) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  const qreal ratio = image != nullptr ? image->devicePixelRatio() : 0;
  const bool opaque32 =
      image != nullptr && (image->format() == QImage::Format_RGB32 ||
                           image->format() == QImage::Format_ARGB32_Premultiplied);
  if (opaque32 && ratio >= 1 && ratio <= 4 && ratio == std::floor(ratio)) {
    image_ = image;
    ratio_ = static_cast<int>(ratio);
    // constBits: the painter works on this very buffer; no detaching copy.
    bits_ = const_cast<uchar*>(image->constBits());
    bytesPerLine_ = image->bytesPerLine();
    logicalWidth_ = image->width() / ratio_;
    logicalHeight_ = image->height() / ratio_;
  }
}

bool QtCanvas::FastLinesPossible() const {
  return image_ != nullptr && penWidth_ == 1 && penStyle_ == PenStyle::Solid &&
         painter_.transform().isIdentity() && !painter_.hasClipping() &&
         painter_.compositionMode() == QPainter::CompositionMode_SourceOver;
}

void QtCanvas::Plot(int x, int y) {
  if (x < 0 || y < 0 || x >= logicalWidth_ || y >= logicalHeight_) return;
  if (ratio_ == 1) {
    reinterpret_cast<QRgb*>(bits_ + y * bytesPerLine_)[x] = penRgb_;
    return;
  }
  for (int dy = 0; dy < ratio_; ++dy) {
    auto* line = reinterpret_cast<QRgb*>(bits_ + (y * ratio_ + dy) * bytesPerLine_);
    for (int dx = 0; dx < ratio_; ++dx) line[x * ratio_ + dx] = penRgb_;
  }
}

template <typename PlotPixel>
void QtCanvas::Bresenham(CanvasPoint a, CanvasPoint b, PlotPixel plot) {
  // From a towards b; b itself is left for the next segment.
  const int dx = std::abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
  const int dy = -std::abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  int x = a.x, y = a.y;
  while (x != b.x || y != b.y) {
    plot(x, y);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

bool QtCanvas::Inside(CanvasPoint p) const {
  return p.x >= 0 && p.y >= 0 && p.x < logicalWidth_ && p.y < logicalHeight_;
}

void QtCanvas::FastSegment(CanvasPoint a, CanvasPoint b) {
  // A segment lies in the box of its ends: with both inside, and pixels of
  // one device pixel, no pixel needs its own checks. Chart lines nearly
  // always take this way.
  if (ratio_ == 1 && Inside(a) && Inside(b)) {
    Bresenham(a, b, [this](int x, int y) {
      reinterpret_cast<QRgb*>(bits_ + y * bytesPerLine_)[x] = penRgb_;
    });
    return;
  }
  Bresenham(a, b, [this](int x, int y) { Plot(x, y); });
}

void QtCanvas::FastPolyline(const CanvasPoint* points, int count) {
  for (int i = 1; i < count; ++i) FastSegment(points[i - 1], points[i]);
}

void QtCanvas::FillRect(const CanvasRect& r, ColorValue color) {
  painter_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), ToQColor(color));
}

void QtCanvas::SetPen(ColorValue color, int width, PenStyle style) {
  Qt::PenStyle qtStyle = Qt::SolidLine;
  if (style == PenStyle::Dash) qtStyle = Qt::DashLine;
  if (style == PenStyle::Dot) qtStyle = Qt::DotLine;
  if (style == PenStyle::DashDot) qtStyle = Qt::DashDotLine;
  QPen pen(ToQColor(color), std::max(1, width), qtStyle, Qt::SquareCap, Qt::MiterJoin);
  painter_.setPen(pen);
  offset_ = width % 2 == 1 ? 0.5 : 0.0;
  penWidth_ = width;
  penStyle_ = style;
  penRgb_ = pen.color().rgba() | 0xFF000000u;
}

void QtCanvas::Line(CanvasPoint from, CanvasPoint to) {
  painter_.drawLine(At(from), At(to));
}

void QtCanvas::Polyline(const CanvasPoint* points, int count) {
  if (FastLinesPossible()) {
    FastPolyline(points, count);
    return;
  }
  scratch_.resize(count);
  for (int i = 0; i < count; ++i) scratch_[i] = At(points[i]);
  painter_.drawPolyline(scratch_.data(), count);
}

void QtCanvas::Polygon(const CanvasPoint* points, int count, ColorValue fill) {
  scratch_.resize(count);
  for (int i = 0; i < count; ++i) scratch_[i] = At(points[i]);
  painter_.setBrush(ToQColor(fill));
  painter_.drawPolygon(scratch_.data(), count);
  painter_.setBrush(Qt::NoBrush);
}

void QtCanvas::SetFont(const CanvasFont& font) {
  painter_.setFont(ToQFont(font));
}

int QtCanvas::TextWidth(const std::string& text) {
  return painter_.fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

int QtCanvas::TextHeight(const std::string&) {
  return painter_.fontMetrics().height();
}

void QtCanvas::Text(int x, int y, const std::string& text) {
  painter_.save();
  painter_.setPen(textColor_);
  painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), QString::fromStdString(text));
  painter_.restore();
}

void QtCanvas::TextInRect(const CanvasRect& r, const std::string& text, TextAlign align) {
  const QRect rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (rect.isEmpty()) return;
  painter_.save();
  painter_.setClipRect(rect, Qt::IntersectClip);
  painter_.setPen(textColor_);
  const int flags = align == TextAlign::CentreSingleLine
                        ? Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine
                        : Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
  // Centred labels may be wider than their rectangle; let them overflow
  // sideways as a single line does.
  const QRect area = align == TextAlign::CentreSingleLine ? rect.adjusted(-40, 0, 40, 0) : rect;
  if (align == TextAlign::CentreSingleLine) painter_.setClipping(false);
  painter_.drawText(area, flags, QString::fromStdString(text));
  painter_.restore();
}

}  // namespace tw
