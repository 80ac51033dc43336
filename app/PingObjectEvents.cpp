// The main window's speed events, actions and dial-up keeper.
#include <QEvent>
#include <QMessageBox>

#include "app/EventServices.h"
#include "app/PingObject.h"

namespace tw {

TEventServices::TEventServices(ResourceTable& table, Clock& clock, QWidget* mainWindow)
    : QObject(mainWindow),
      windows_(OpenTopWindows()),
      buttons_(OpenAccessibleButtons()),
      actions_([this]() -> TPlayer& { return Player(); }, *windows_),
      events_(table, clock, actions_),
      keeper_(*windows_, *buttons_),
      mainWindow_(mainWindow) {
  setObjectName("EventServices");
  dialUpTimer_ = new TDialUpTimer(keeper_, this);
  if (mainWindow_ != nullptr) mainWindow_->installEventFilter(this);
  actions_.SetNotificationTrouble(
      [this](const std::string& why) { ReportNotificationTrouble(why); });
}

// Told once a run: an event that fires every few seconds must not pile up boxes.
void TEventServices::ReportNotificationTrouble(const std::string& why) {
  if (notificationTroubleShown_ || mainWindow_ == nullptr) return;
  notificationTroubleShown_ = true;
  auto* box = new QMessageBox(QMessageBox::Warning, "Warning", QString::fromStdString(why),
                              QMessageBox::Ok, mainWindow_);
  box->setObjectName("NotificationTrouble");
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

TEventServices::~TEventServices() {
  // The timer goes first: it runs the keeper, which is a member.
  delete dialUpTimer_;
}

TPlayer& TEventServices::Player() {
  if (!player_) {
    player_ = std::make_unique<TPlayer>();
    player_->SetErrorBoxOwner(mainWindow_);
  }
  return *player_;
}

bool TEventServices::eventFilter(QObject* watched, QEvent* event) {
  // A close request may be refused ("Please wait"); once it has been carried
  // out the main window is hidden, and nothing it owns stays on the screen.
  if (watched == mainWindow_ && event->type() == QEvent::Close) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (player_ && !mainWindow_->isVisible()) player_->CloseErrorBoxes();
        },
        Qt::QueuedConnection);
  }
  return QObject::eventFilter(watched, event);
}

TEventServices& TPingObject::EventServices() {
  if (eventServices_ == nullptr) eventServices_ = new TEventServices(table_, clock_, this);
  return *eventServices_;
}

void TPingObject::CheckEvents(int row, double currentSpeed) {
  EventServices().Events().Check(row, currentSpeed);
}

}  // namespace tw
