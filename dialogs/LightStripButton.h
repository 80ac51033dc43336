// A push button with a coloured light strip along its left edge: the look
// of the message dialog's buttons until the owner-drawn light buttons of the
// custom controls replace it.
#pragma once

#include <QColor>
#include <QPushButton>

namespace tw {

class TLightStripButton final : public QPushButton {
  Q_OBJECT

 public:
  explicit TLightStripButton(QWidget* parent = nullptr);

  void SetLightColor(const QColor& color);
  QColor LightColor() const { return light_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor light_ = Qt::black;
};

}  // namespace tw
