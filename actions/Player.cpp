#include "actions/Player.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <limits>

#include "dialogs/Help.h"

namespace tw {

TPlayer::TPlayer(std::unique_ptr<SoundDevice> device, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      device_(std::move(device)) {
  setObjectName("Player");
  setWindowTitle("Phonograph");
  BuildControls();
  timer1_.setInterval(100);
  timer2_.setInterval(100);
  connect(&timer1_, &QTimer::timeout, this, &TPlayer::Timer1Timer);
  connect(&timer2_, &QTimer::timeout, this, &TPlayer::Timer2Timer);
  device_->SetErrorHandler([this](const std::string& text) { ShowDeviceError(text); });
  EnableF1(this, [] {
    if (THelp::Current() != nullptr) THelp::Current()->ShowContents();
  });
}

TPlayer::~TPlayer() {
  timer1_.stop();
  timer2_.stop();
  device_->SetErrorHandler(nullptr);
  CloseErrorBoxes();
}

void TPlayer::BuildControls() {
  labelFileName_ = new QLabel(this);
  labelFileName_->setObjectName("LabelFileName");
  labelFileName_->setMinimumWidth(300);
  progress_ = new QProgressBar(this);
  progress_->setObjectName("Progress");
  progress_->setTextVisible(false);
  progress_->setRange(0, 1);
  progress_->setValue(0);
  progress_->setStyleSheet(
      "QProgressBar { background: green; border: 1px solid gray; }"
      " QProgressBar::chunk { background: lime; }");
  playBtn_ = new QPushButton("Play", this);
  stopBtn_ = new QPushButton("Stop", this);
  prevBtn_ = new QPushButton("Prev", this);
  playBtn_->setObjectName("MediaPlayer1Play");
  stopBtn_->setObjectName("MediaPlayer1Stop");
  prevBtn_->setObjectName("MediaPlayer1Prev");
  connect(playBtn_, &QPushButton::clicked, this, &TPlayer::MediaPlayer1PlayClick);
  connect(stopBtn_, &QPushButton::clicked, this, &TPlayer::MediaPlayer1StopClick);
  connect(prevBtn_, &QPushButton::clicked, this, &TPlayer::MediaPlayer1PrevClick);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {playBtn_, stopBtn_, prevBtn_}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(labelFileName_);
  layout->addWidget(progress_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TPlayer::PlaySoundFile(const std::string& fileName) {
  fileName_ = fileName;
  if (fileName_.empty()) {
    PostClose();
    return;
  }
  errorShown_ = false;
  device_->Open(fileName_);
  if (errorShown_) return;
  timer2_.start();
  device_->Play();
  timer1_.start();
  timer2_.start();
}

void TPlayer::SetSoundFile(const std::string& fileName) {
  fileName_ = fileName;
}

void TPlayer::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
  if (fileName_.empty()) return;
  errorShown_ = false;
  device_->Open(fileName_);
  if (errorShown_) return;
  labelFileName_->setText(QString::fromStdString(fileName_));
  timer2_.start();
  device_->Play();
  SetGaugeMax();
  timer1_.start();
  timer2_.start();
}

void TPlayer::SetGaugeMax() {
  // A length not yet known shows an empty gauge, not a busy one.
  const int64_t length = std::max<int64_t>(device_->LengthMs(), 1);
  progress_->setRange(0,
                      static_cast<int>(std::min<int64_t>(length, std::numeric_limits<int>::max())));
}

void TPlayer::Timer1Timer() {
  const int64_t length = device_->LengthMs();
  const int64_t position = device_->PositionMs();
  // The length becomes known only once the device has opened the medium.
  if (length > 0 && progress_->maximum() != length) SetGaugeMax();
  progress_->setValue(static_cast<int>(std::min<int64_t>(position, progress_->maximum())));
  if (length > 0 && position >= length) {
    timer1_.stop();
    if (!fileName_.empty()) PostClose();
  }
}

void TPlayer::Timer2Timer() {
  if (fileName_.empty()) return;
  if (device_->Mode() == SoundMode::Stopped) {
    device_->Play();
  } else {
    timer2_.stop();
  }
}

void TPlayer::MediaPlayer1PlayClick() {
  device_->Play();
  SetGaugeMax();
  timer1_.start();
}

void TPlayer::MediaPlayer1StopClick() {
  device_->Stop();
}

void TPlayer::MediaPlayer1PrevClick() {
  device_->Rewind();
  progress_->setValue(
      static_cast<int>(std::min<int64_t>(device_->PositionMs(), progress_->maximum())));
}

void TPlayer::PostClose() {
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TPlayer::ShowDeviceError(const std::string& text) {
  // The device failed: stop following it, put the window away and tell the
  // user in the program's error box. The box does not block the caller (a
  // sampling tick goes on). An event that fails again and again (performed
  // every time) must not pile up boxes: a file whose box is still open gets
  // no second one.
  timer1_.stop();
  timer2_.stop();
  PostClose();
  if (errorShown_) return;
  errorShown_ = true;
  QPointer<QMessageBox>& box = errorBoxes_[fileName_];
  if (box != nullptr && box->isVisible()) return;
  box = new QMessageBox(QMessageBox::Critical, QApplication::applicationDisplayName(),
                        QString::fromStdString(text), QMessageBox::Ok, errorBoxOwner_);
  box->setObjectName("PlayerErrorBox");
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

void TPlayer::CloseErrorBoxes() {
  for (auto& [file, box] : errorBoxes_) {
    if (box != nullptr) box->close();
  }
  errorBoxes_.clear();
}

int TPlayer::ErrorBoxCount() const {
  int count = 0;
  for (const auto& [file, box] : errorBoxes_) {
    if (box != nullptr && box->isVisible()) ++count;
  }
  return count;
}

}  // namespace tw
