#include "controls/MyCntrl.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "controls/AccessibleControls.h"
#include "controls/SystemColors.h"
#include "controls/Transparency.h"

namespace tw {

TBlackBitButton::TBlackBitButton(QWidget* parent) : QAbstractButton(parent) {
  InstallButtonAccessibility();
  setFocusPolicy(Qt::NoFocus);
  resize(65, 35);
}

TBlackBitButton::TBlackBitButton(const QString& caption, QWidget* parent)
    : TBlackBitButton(parent) {
  setText(caption);
}

void TBlackBitButton::SetBtnColor(ColorValue value) {
  btnColor_ = value;
  update();
}

void TBlackBitButton::SetOffColor(ColorValue value) {
  offColor_ = value;
  update();
}

void TBlackBitButton::SetOnColor(ColorValue value) {
  onColor_ = value;
  update();
}

void TBlackBitButton::SetFixed(bool fixed) {
  fixed_ = fixed;
}

void TBlackBitButton::SetDown(bool down) {
  SetDrawnDown(down);
}

void TBlackBitButton::SetLightWidth(int pixels) {
  lightWidth_ = std::max(2, pixels);
  update();
}

void TBlackBitButton::SetLightHeight(int pixels) {
  lightHeight_ = std::max(2, pixels);
  update();
}

void TBlackBitButton::SetDrawnDown(bool down) {
  if (drawnDown_ == down) return;
  drawnDown_ = down;
  update();
}

void TBlackBitButton::nextCheckState() {
  // A click that did not come from the mouse (an accessibility action)
  // flips a toggle as a press would; the mouse handlers flip it themselves.
  if (fixed_) SetDrawnDown(!drawnDown_);
}

bool TBlackBitButton::event(QEvent* event) {
  // The caption's accelerator clicks the button at once, without drawing it
  // down (the base class would animate a press of its own).
  if (event->type() == QEvent::Shortcut) {
    if (isEnabled()) emit clicked(false);
    return true;
  }
  return QAbstractButton::event(event);
}

void TBlackBitButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled()) {
    event->ignore();
    return;
  }
  tracking_ = true;
  SetDrawnDown(fixed_ ? !drawnDown_ : true);
  emit pressed();
}

void TBlackBitButton::mouseMoveEvent(QMouseEvent* event) {
  if (!tracking_ || fixed_) return;
  SetDrawnDown(hitButton(event->position().toPoint()));
}

void TBlackBitButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !tracking_) {
    event->ignore();
    return;
  }
  tracking_ = false;
  const bool inside = hitButton(event->position().toPoint());
  const bool wasDown = drawnDown_;
  if (!fixed_) SetDrawnDown(false);
  emit released();
  if (inside && wasDown) emit clicked(false);
}

void TBlackBitButton::changeEvent(QEvent* event) {
  QAbstractButton::changeEvent(event);
  if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) {
    if (!isEnabled()) tracking_ = false;
    update();
  }
}

void TBlackBitButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  const QColor light = ToQColor(SystemColorValue(SystemColor::BtnHighlight), pal);
  const QColor dark = ToQColor(SystemColorValue(SystemColor::BtnShadow), pal);
  const int w = width();
  const int h = height();
  const int off = drawnDown_ ? 2 : 0;

  p.fillRect(rect(), ToQColor(btnColor_, pal));
  p.setPen(ToQColor(SystemColorValue(SystemColor::WindowFrame), pal));
  p.drawRect(0, 0, w - 1, h - 1);
  // Inner edges: raised (light top left, double dark bottom right) or
  // sunken (dark all round, single at the bottom right).
  p.fillRect(1, 1, w - 2, 1, drawnDown_ ? dark : light);
  p.fillRect(1, 1, 1, h - 2, drawnDown_ ? dark : light);
  const int rightBottom = drawnDown_ ? 1 : 2;
  p.fillRect(w - 1 - rightBottom, 1, rightBottom, h - 2, dark);
  p.fillRect(1, h - 1 - rightBottom, w - 2, rightBottom, dark);

  const QRect lamp((w - lightWidth_) / 2 + off, 6 + off, lightWidth_, lightHeight_);
  p.fillRect(lamp.left(), lamp.top(), lamp.width(), 1, dark);
  p.fillRect(lamp.left(), lamp.top(), 1, lamp.height(), dark);
  p.fillRect(lamp.left(), lamp.bottom(), lamp.width(), 1, light);
  p.fillRect(lamp.right(), lamp.top(), 1, lamp.height(), light);
  const ColorValue lampColour = !isEnabled() ? SystemColorValue(SystemColor::BtnFace)
                                : drawnDown_ ? onColor_
                                             : offColor_;
  p.fillRect(lamp.adjusted(1, 1, -1, -1), ToQColor(lampColour, pal));

  if (text().isEmpty()) return;
  const int bandTop = 6 + lightHeight_;
  const QRect band = QRect(2, bandTop, w - 4, h - 2 - bandTop).translated(off, off);
  const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
  p.setFont(font());
  if (!isEnabled()) {
    p.setPen(light);
    p.drawText(band.translated(1, 1), flags, text());
    p.setPen(dark);
  } else {
    p.setPen(pal.color(QPalette::ButtonText));
  }
  p.drawText(band, flags, text());
}

TMovie::TMovie(QWidget* parent) : QWidget(parent) {
  timer_.setInterval(frameInterval_);
  connect(&timer_, &QTimer::timeout, this, &TMovie::TimerTimer);
  timer_.start();
}

void TMovie::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  transparentPicture_ = QPixmap();
  if (!picture.isNull()) {
    const QImage image = picture.toImage();
    transparentPicture_ = QPixmap::fromImage(CutOutColour(image, image.pixel(0, 0)));
  }
  updateGeometry();
  update();
}

void TMovie::SetNumFrames(int count) {
  numFrames_ = std::max(1, count);
  frame_ = 1;
  updateGeometry();
  update();
}

void TMovie::SetFramesPerSecond(int fps) {
  frameInterval_ = fps <= 0 ? 50 : std::max(1, 1000 / fps);
  timer_.setInterval(frameInterval_);
}

void TMovie::SetMovieEnabled(bool enabled) {
  frame_ = 1;
  if (enabled) {
    timer_.start();
  } else {
    timer_.stop();
  }
  update();
}

void TMovie::SetTransparent(bool transparent) {
  transparent_ = transparent;
  update();
}

void TMovie::SetCenter(bool center) {
  center_ = center;
  update();
}

void TMovie::SetColor(ColorValue value) {
  color_ = value;
  update();
}

void TMovie::TimerTimer() {
  frame_ = frame_ >= numFrames_ ? 1 : frame_ + 1;
  update();
}

QSize TMovie::sizeHint() const {
  if (picture_.isNull()) return QSize(32, 32);
  return QSize(picture_.width() / numFrames_, picture_.height());
}

void TMovie::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (transparent_) p.fillRect(rect(), ToQColor(color_, palette()));
  if (picture_.isNull()) return;
  const int frameWidth = picture_.width() / numFrames_;
  const QRect source(frameWidth * (frame_ - 1), 0, frameWidth, picture_.height());
  QPoint at(0, 0);
  if (center_) at = QPoint((width() - frameWidth) / 2, (height() - picture_.height()) / 2);
  p.drawPixmap(at, transparent_ ? transparentPicture_ : picture_, source);
}

}  // namespace tw
