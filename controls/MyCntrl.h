// Two small controls of the dialogs: TBlackBitButton, a push button with a
// coloured "light" above its caption (the message dialog's buttons), and
// TMovie, a frame animation played from a strip of equal frames.
#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "util/Colour.h"

namespace tw {

class TBlackBitButton final : public QAbstractButton {
  Q_OBJECT

 public:
  explicit TBlackBitButton(QWidget* parent = nullptr);
  TBlackBitButton(const QString& caption, QWidget* parent);

  ColorValue BtnColor() const { return btnColor_; }
  void SetBtnColor(ColorValue value);
  // The light's colour while the button is up (OffColor) and down (OnColor).
  ColorValue OffColor() const { return offColor_; }
  void SetOffColor(ColorValue value);
  ColorValue OnColor() const { return onColor_; }
  void SetOnColor(ColorValue value);
  // True exactly while the button is drawn down.
  bool IsOn() const { return drawnDown_; }
  // A toggle: every press flips Down, and it stays so after the release.
  bool Fixed() const { return fixed_; }
  void SetFixed(bool fixed);
  bool Down() const { return drawnDown_; }
  void SetDown(bool down);
  // Size of the light in pixels, its sunken outline included.
  int LightWidth() const { return lightWidth_; }
  void SetLightWidth(int pixels);
  int LightHeight() const { return lightHeight_; }
  void SetLightHeight(int pixels);

  QSize sizeHint() const override { return QSize(65, 35); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void nextCheckState() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

 private:
  void SetDrawnDown(bool down);

  ColorValue btnColor_ = SystemColorValue(SystemColor::BtnFace);
  ColorValue offColor_ = clLime;
  ColorValue onColor_ = clLime;
  bool fixed_ = false;
  bool drawnDown_ = false;
  bool tracking_ = false;  // the left button went down on us and is still held
  int lightWidth_ = 15;
  int lightHeight_ = 8;
};

class TMovie final : public QWidget {
  Q_OBJECT

 public:
  explicit TMovie(QWidget* parent = nullptr);

  // A strip of NumFrames frames of equal width side by side.
  const QPixmap& Picture() const { return picture_; }
  void SetPicture(const QPixmap& picture);
  int NumFrames() const { return numFrames_; }
  // Also starts the film over at frame 1.
  void SetNumFrames(int count);
  // Kept as the timer's interval: 1000 div fps milliseconds; 0 or less gives 50 ms.
  void SetFramesPerSecond(int fps);
  int FramesPerSecond() const { return 1000 / frameInterval_; }
  // The time each frame is shown, in milliseconds.
  int FrameInterval() const { return frameInterval_; }
  bool MovieEnabled() const { return timer_.isActive(); }
  // Runs or stops the timer; either way the film starts over at frame 1.
  void SetMovieEnabled(bool enabled);
  // Draws the frame onto Color with the picture's top left colour left out.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  // Centres the frame in the control instead of placing it at the top left.
  bool Center() const { return center_; }
  void SetCenter(bool center);
  // The control's colour, the ground of a transparent frame.
  ColorValue Color() const { return color_; }
  void SetColor(ColorValue value);
  // The frame on show, 1..NumFrames.
  int Frame() const { return frame_; }
  QTimer* Timer() { return &timer_; }

  QSize sizeHint() const override;

 public slots:
  // One timer tick: the next frame, back to 1 after the last.
  void TimerTimer();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
  QPixmap transparentPicture_;  // the picture with its key colour cut out
  QTimer timer_;
  int numFrames_ = 1;
  int frameInterval_ = 50;
  int frame_ = 1;
  bool transparent_ = false;
  bool center_ = false;
  ColorValue color_ = SystemColorValue(SystemColor::BtnFace);
};

}  // namespace tw
