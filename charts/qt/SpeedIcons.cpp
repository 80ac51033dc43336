#include "charts/qt/SpeedIcons.h"

#include <QPainter>

#include "charts/SpeedIcon.h"
#include "charts/qt/QtCanvas.h"

namespace tw {

QPixmap SpeedIconPixmap(int index, qreal ratio) {
  QPixmap pixmap(QSize(kSpeedIconSize, kSpeedIconSize) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QtCanvas canvas(painter);
  // The dial is round: smooth edges read better than the chart's hard pixels.
  painter.setRenderHint(QPainter::Antialiasing, true);
  DrawSpeedIcon(canvas, index);
  return pixmap;
}

std::vector<QIcon> MakeSpeedIcons() {
  std::vector<QIcon> icons;
  for (int i = 0; i < kSpeedIconCount; ++i) {
    QIcon icon;
    icon.addPixmap(SpeedIconPixmap(i, 1.0));
    icon.addPixmap(SpeedIconPixmap(i, 2.0));
    icons.push_back(icon);
  }
  return icons;
}

}  // namespace tw
