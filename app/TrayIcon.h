// The program in the system tray: the window's speed icon, the selected
// resource and its speed as the tooltip, and a menu to show or hide the
// window, start and stop sampling, and close the program. With "Keep running
// in the system tray" chosen in the preferences, closing the window only
// hides it while a tray is there to bring it back.
#pragma once

#include <QIcon>
#include <QObject>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace tw {

class TPingObject;

class TTrayIcon final : public QObject {
  Q_OBJECT

 public:
  explicit TTrayIcon(TPingObject& window);
  ~TTrayIcon() override;

  QSystemTrayIcon* Icon() const { return icon_; }
  QMenu* Menu() const { return menu_; }
  // The menu's "Show"/"Hide" item follows the window.
  QAction* ShowHideAction() const { return showHide_; }

  void SetSpeedIcon(const QIcon& icon);
  void SetToolTip(const QString& text);
  // Whether the desktop has a tray the icon can sit in.
  static bool Available();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowHideClick();
  void UpdateShowHide();

  TPingObject& window_;
  QMenu* menu_ = nullptr;
  QSystemTrayIcon* icon_ = nullptr;
  QAction* showHide_ = nullptr;
};

}  // namespace tw
