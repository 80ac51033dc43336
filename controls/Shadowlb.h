// TLabelWithShadow: a label whose caption carries a drop shadow (the captions
// beside the chart buttons and the wizard's page headings).
#pragma once

#include <QLabel>

#include "util/Colour.h"

namespace tw {

class TLabelWithShadow final : public QLabel {
  Q_OBJECT

 public:
  explicit TLabelWithShadow(QWidget* parent = nullptr);
  TLabelWithShadow(const QString& caption, QWidget* parent);

  ColorValue ColorOfShadow() const { return colorOfShadow_; }
  void SetColorOfShadow(ColorValue value);
  // Offset of the shadow in pixels, right and down.
  int ShadowShift() const { return shadowShift_; }
  void SetShadowShift(int pixels);
  // The label's own colour, filled behind the caption unless Transparent.
  ColorValue Color() const { return color_; }
  void SetColor(ColorValue value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  // The caption's colour (the font colour); clGrayText is used when disabled.
  ColorValue FontColor() const { return fontColor_; }
  void SetFontColor(ColorValue value);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ColorValue colorOfShadow_ = SystemColorValue(SystemColor::BtnShadow);
  int shadowShift_ = 2;
  ColorValue color_ = SystemColorValue(SystemColor::BtnFace);
  bool transparent_ = false;
  ColorValue fontColor_ = SystemColorValue(SystemColor::WindowText);
};

}  // namespace tw
