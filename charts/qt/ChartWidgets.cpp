#include "charts/qt/ChartWidgets.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "charts/ChartRules.h"
#include "charts/qt/AccessibleCharts.h"
#include "charts/qt/QtCanvas.h"

namespace tw {

TChartImage::TChartImage(int width, int height, QWidget* parent) : QWidget(parent) {
  InstallChartAccessibility();
  setFixedSize(width, height);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& TChartImage::BeginPicture() {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = size() * ratio;
  if (picture_.size() != pixels || picture_.devicePixelRatio() != ratio) {
    picture_ = QImage(pixels, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(ratio);
  }
  return picture_;
}

void TChartImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (picture_.isNull()) {
    painter.fillRect(rect(), QColor(0, 128, 0));
    return;
  }
  painter.drawImage(0, 0, picture_);
}

void TChartImage::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit mouseMoved(p.x(), p.y());
}

TPaintBox::TPaintBox(int width, int height, QWidget* parent) : QWidget(parent) {
  setFixedSize(width, height);
}

void TPaintBox::paintEvent(QPaintEvent*) {
  if (!onPaint) return;
  QPainter painter(this);
  QtCanvas canvas(painter);
  onPaint(canvas);
}

TValueWindow::TValueWindow(QWidget* owner)
    : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(255, 255, 225));
  p.setColor(QPalette::WindowText, Qt::black);
  setPalette(p);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setMargin(0);
  setAlignment(Qt::AlignCenter);
}

void TValueWindow::ShowText(const QString& text, const QPoint& globalPos) {
  setText(text);
  const QFontMetrics metrics(font());
  ScreenMetrics screen;
  if (QScreen* s = QGuiApplication::screenAt(globalPos) ? QGuiApplication::screenAt(globalPos)
                                                        : QGuiApplication::primaryScreen()) {
    const QRect g = s->geometry();
    screen.screenWidth = g.right() + 1;
    screen.screenHeight = g.bottom() + 1;
  }
  const CanvasRect r = ValueWindowRect(globalPos.x(), globalPos.y(),
                                       metrics.horizontalAdvance(text), metrics.height(), screen);
  setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (!isVisible()) show();
}

}  // namespace tw
