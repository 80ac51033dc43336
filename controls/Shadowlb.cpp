#include "controls/Shadowlb.h"

#include <QPainter>
#include <QStyle>

#include "controls/SystemColors.h"

namespace tw {

TLabelWithShadow::TLabelWithShadow(QWidget* parent) : QLabel(parent) {}

TLabelWithShadow::TLabelWithShadow(const QString& caption, QWidget* parent)
    : TLabelWithShadow(parent) {
  setText(caption);
}

void TLabelWithShadow::SetColorOfShadow(ColorValue value) {
  colorOfShadow_ = value;
  update();
}

void TLabelWithShadow::SetShadowShift(int pixels) {
  shadowShift_ = pixels;
  updateGeometry();
  update();
}

void TLabelWithShadow::SetColor(ColorValue value) {
  color_ = value;
  update();
}

void TLabelWithShadow::SetTransparent(bool transparent) {
  transparent_ = transparent;
  update();
}

void TLabelWithShadow::SetFontColor(ColorValue value) {
  fontColor_ = value;
  update();
}

QSize TLabelWithShadow::sizeHint() const {
  const int shift = std::abs(shadowShift_);
  return QLabel::sizeHint() + QSize(shift, shift);
}

QSize TLabelWithShadow::minimumSizeHint() const {
  const int shift = std::abs(shadowShift_);
  return QLabel::minimumSizeHint() + QSize(shift, shift);
}

void TLabelWithShadow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  if (!transparent_) p.fillRect(rect(), ToQColor(color_, pal));
  int flags = static_cast<int>(alignment()) | Qt::TextShowMnemonic;
  if (wordWrap()) flags |= Qt::TextWordWrap;
  const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  p.setFont(font());
  p.setPen(ToQColor(colorOfShadow_, pal));
  p.drawText(area.translated(shadowShift_, shadowShift_), flags, text());
  p.setPen(ToQColor(isEnabled() ? fontColor_ : SystemColorValue(SystemColor::GrayText), pal));
  p.drawText(area, flags, text());
}

}  // namespace tw
