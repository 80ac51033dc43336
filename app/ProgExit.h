// "Please wait": shown when the program is closed within 5 s of its start,
// so that fresh network calls get time to finish before the close goes on.
#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace tw {

class TMovie;

class TProgExit final : public QDialog {
  Q_OBJECT

 public:
  // `onConfirmed` runs when CloseTimer fires (it confirms and repeats the close).
  TProgExit(QWidget* mainWindow, std::function<void()> onConfirmed);
  ~TProgExit() override;

  QTimer* CloseTimer() { return &closeTimer_; }
  // The small animation beside the text (6 frames, 5 frames per second).
  TMovie* Movie() const { return movie_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private slots:
  void CloseTimerTimer();

 private:
  std::function<void()> onConfirmed_;
  QTimer closeTimer_;
  TMovie* movie_ = nullptr;
  bool confirmed_ = false;
  bool busyCursorSet_ = false;  // the hourglass is ours to take back
};

}  // namespace tw
