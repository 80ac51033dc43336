// Small widgets the charts are built from: the chart image with its
// off-screen picture, the scale strip's paint box and the value window.
#pragma once

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <functional>

#include "charts/Canvas.h"

namespace tw {

// An image showing an off-screen picture drawn at the screen's device-pixel
// ratio; the logical size stays the design size. The picture is an opaque
// 32-bit image so that the canvas can write chart lines into it directly.
class TChartImage final : public QWidget {
  Q_OBJECT

 public:
  TChartImage(int width, int height, QWidget* parent);

  // Starts drawing: makes the picture match the size and pixel ratio.
  QImage& BeginPicture();
  // Shows the finished picture (one copy to the screen).
  void ShowPicture() { update(); }
  const QImage& Picture() const { return picture_; }
  // The chart's latest values in words (the description screen readers read).
  std::function<QString()> describe;

 signals:
  void mouseMoved(int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QImage picture_;
};

// A paint box whose painting is a function drawing through a Canvas.
class TPaintBox final : public QWidget {
  Q_OBJECT

 public:
  TPaintBox(int width, int height, QWidget* parent);
  std::function<void(Canvas&)> onPaint;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A borderless pop-up that shows one line of text and never takes focus.
class TValueWindow final : public QLabel {
  Q_OBJECT

 public:
  explicit TValueWindow(QWidget* owner);
  // Shows `text` next to the cursor at `globalPos`, kept on screen.
  void ShowText(const QString& text, const QPoint& globalPos);
};

}  // namespace tw
