#include "app/TrayIcon.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMenu>
#include <QSystemTrayIcon>

#include "app/PingObject.h"

namespace tw {

TTrayIcon::TTrayIcon(TPingObject& window) : QObject(&window), window_(window) {
  setObjectName("TrayIcon");
  // The menu is a top-level window of its own: it is no child of the window it hides.
  menu_ = new QMenu;
  menu_->setObjectName("TrayMenu");
  showHide_ = menu_->addAction("Hide", this, &TTrayIcon::ShowHideClick);
  menu_->addSeparator();
  menu_->addAction("Start", &window_, [this] { window_.StartBtn()->click(); });
  menu_->addAction("Stop", &window_, [this] { window_.StopBtn()->click(); });
  menu_->addSeparator();
  menu_->addAction("Close", &window_, &TPingObject::CloseBtnMouseUp);
  icon_ = new QSystemTrayIcon(this);
  icon_->setContextMenu(menu_);
  icon_->setToolTip("Tarnwick");
  connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::Trigger) ShowHideClick();
  });
  window_.installEventFilter(this);
  UpdateShowHide();
}

TTrayIcon::~TTrayIcon() {
  delete menu_;
}

bool TTrayIcon::Available() {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void TTrayIcon::SetSpeedIcon(const QIcon& icon) {
  icon_->setIcon(icon);
  if (!icon_->isVisible() && Available()) icon_->show();
}

void TTrayIcon::SetToolTip(const QString& text) {
  if (icon_->toolTip() != text) icon_->setToolTip(text);
}

void TTrayIcon::ShowHideClick() {
  if (window_.isVisible()) {
    window_.hide();
  } else {
    window_.show();
    window_.raise();
    window_.activateWindow();
  }
  UpdateShowHide();
}

void TTrayIcon::UpdateShowHide() {
  showHide_->setText(window_.isVisible() ? "Hide" : "Show");
}

bool TTrayIcon::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
    UpdateShowHide();
  return QObject::eventFilter(watched, event);
}

}  // namespace tw
