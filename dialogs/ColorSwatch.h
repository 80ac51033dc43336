// A colour swatch: a small sunken box painted in one colour value (the
// resource wizard's `ReadColor` and `WriteColor`).
#pragma once

#include <QFrame>
#include <QPainter>

#include "controls/SystemColors.h"
#include "util/Colour.h"

namespace tw {

class TColorSwatch final : public QFrame {
 public:
  explicit TColorSwatch(QWidget* parent = nullptr) : QFrame(parent) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setFixedSize(48, 22);
  }

  ColorValue Color() const { return color_; }
  void SetColor(ColorValue color) {
    color_ = color;
    update();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.fillRect(contentsRect(), ToQColor(color_));
    painter.end();
    QFrame::paintEvent(event);
  }

 private:
  ColorValue color_ = clLime;
};

}  // namespace tw
