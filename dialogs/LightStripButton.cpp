#include "dialogs/LightStripButton.h"

#include <QPainter>

namespace tw {

namespace {
constexpr int kStripWidth = 5;   // pixels
constexpr int kStripMargin = 5;  // pixels from the button's edges
}  // namespace

TLightStripButton::TLightStripButton(QWidget* parent) : QPushButton(parent) {
  setFlat(false);
}

void TLightStripButton::SetLightColor(const QColor& color) {
  light_ = color;
  update();
}

void TLightStripButton::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  QPainter painter(this);
  const QRect strip(kStripMargin, kStripMargin, kStripWidth, height() - 2 * kStripMargin);
  painter.fillRect(strip, isEnabled() ? light_ : light_.darker(200));
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(strip.adjusted(0, 0, -1, -1));
}

}  // namespace tw
