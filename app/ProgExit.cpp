#include "app/ProgExit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QScreen>

#include "controls/Glyphs.h"
#include "controls/MyCntrl.h"

namespace tw {

TProgExit::TProgExit(QWidget* mainWindow, std::function<void()> onConfirmed)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      onConfirmed_(std::move(onConfirmed)) {
  setObjectName("ProgExit");
  setWindowTitle("Please wait");
  setAttribute(Qt::WA_DeleteOnClose);
  if (mainWindow != nullptr) setFont(mainWindow->font());
  auto* layout = new QHBoxLayout(this);
  movie_ = new TMovie(this);
  movie_->setObjectName("Movie");
  movie_->SetPicture(PleaseWaitFilm());
  movie_->SetNumFrames(kPleaseWaitFrames);
  movie_->SetFramesPerSecond(5);
  movie_->SetTransparent(true);
  movie_->setFixedSize(movie_->sizeHint());
  layout->addWidget(movie_);
  auto* text = new QLabel("Please wait while Tarnwick closes all network calls.", this);
  text->setObjectName("WaitText");
  layout->addWidget(text);
  closeTimer_.setInterval(3000);
  closeTimer_.setSingleShot(false);
  connect(&closeTimer_, &QTimer::timeout, this, &TProgExit::CloseTimerTimer);
  adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
}

TProgExit::~TProgExit() {
  if (busyCursorSet_) QApplication::restoreOverrideCursor();
}

void TProgExit::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The close goes on after the wait: the hourglass says so meanwhile. The
  // close itself shows it again while it runs and restores the cursor.
  if (!busyCursorSet_) {
    busyCursorSet_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
}

void TProgExit::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (busyCursorSet_ && !event->spontaneous()) {
    busyCursorSet_ = false;
    QApplication::restoreOverrideCursor();
  }
}

void TProgExit::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  if (!confirmed_ && !closeTimer_.isActive()) closeTimer_.start();
}

void TProgExit::CloseTimerTimer() {
  closeTimer_.stop();
  confirmed_ = true;
  if (onConfirmed_) onConfirmed_();
}

}  // namespace tw
