// The sound player window "Phonograph": plays the sound file of a speed
// event while hidden, or shown modally by the event dialog's Test button. It
// is created once and lives until the program ends; closing only hides it.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <string>

#include "actions/SoundDevice.h"

class QLabel;
class QMessageBox;
class QProgressBar;
class QPushButton;

namespace tw {

class TPlayer final : public QDialog {
  Q_OBJECT

 public:
  explicit TPlayer(std::unique_ptr<SoundDevice> device = CreateSoundDevice(),
                   QWidget* parent = nullptr);
  ~TPlayer() override;

  // Plays the file in the hidden window; a new sound replaces the one
  // playing. An empty name only asks the window to close.
  void PlaySoundFile(const std::string& fileName);
  // Only stores the file name; showing the window then plays it.
  void SetSoundFile(const std::string& fileName);
  const std::string& FileName() const { return fileName_; }

  // The window that owns the error boxes (the main window): they stay above
  // it, and they go with it, so a box never keeps the program running.
  void SetErrorBoxOwner(QWidget* owner) { errorBoxOwner_ = owner; }
  // Closes every error box still shown (the program is closing).
  void CloseErrorBoxes();
  // The error boxes shown now, at most one per sound file.
  int ErrorBoxCount() const;

  SoundDevice& Device() { return *device_; }
  QTimer* Timer1() { return &timer1_; }
  QTimer* Timer2() { return &timer2_; }
  QLabel* LabelFileName() const { return labelFileName_; }
  QProgressBar* Progress() const { return progress_; }
  QPushButton* PlayBtn() const { return playBtn_; }
  QPushButton* StopBtn() const { return stopBtn_; }
  QPushButton* PrevBtn() const { return prevBtn_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void Timer1Timer();
  void Timer2Timer();
  void MediaPlayer1PlayClick();
  void MediaPlayer1StopClick();
  void MediaPlayer1PrevClick();

 private:
  void BuildControls();
  void PostClose();
  void ShowDeviceError(const std::string& text);
  void SetGaugeMax();

  std::unique_ptr<SoundDevice> device_;
  std::string fileName_;
  QPointer<QWidget> errorBoxOwner_;
  std::map<std::string, QPointer<QMessageBox>> errorBoxes_;  // by sound file
  QLabel* labelFileName_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* playBtn_ = nullptr;
  QPushButton* stopBtn_ = nullptr;
  QPushButton* prevBtn_ = nullptr;
  QTimer timer1_;            // follows the playback and closes the window at the end
  QTimer timer2_;            // starts the playback again while the device reports stopped
  bool errorShown_ = false;  // the device failed since the last open
};

}  // namespace tw
