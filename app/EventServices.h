// What the main window needs for the speed events and the dial-up keeper:
// the sound player, the actions, the window and accessibility connections,
// the keeper with its table, and its timer. Created with the main window and
// freed with it.
#pragma once

#include <QObject>
#include <memory>

#include "actions/EventActions.h"
#include "actions/Player.h"
#include "app/DialUpTimer.h"
#include "monitor/DialUpKeeper.h"
#include "monitor/SpeedEvents.h"
#include "platform/AccessibleButtons.h"
#include "platform/TopWindows.h"

namespace tw {

class TEventServices final : public QObject {
  Q_OBJECT

 public:
  // `mainWindow` owns this object and the sound player's error boxes.
  TEventServices(ResourceTable& table, Clock& clock, QWidget* mainWindow);
  ~TEventServices() override;

  // The sound player window "Phonograph" (hidden until a Test shows it);
  // created on first use, as opening the media system takes a moment.
  TPlayer& Player();
  // The actions, also for the event dialog's Test buttons.
  EventActions& Actions() { return actions_; }
  SpeedEvents& Events() { return events_; }
  // `ConnectWindowsTable`: rows 1.. are (dialog box title, button to push).
  ConnectWindowsTable& ConnectWindows() { return keeper_.Table(); }
  DialUpKeeper& Keeper() { return keeper_; }
  TDialUpTimer& DialUpTimer() { return *dialUpTimer_; }
  TopWindows& Windows() { return *windows_; }
  AccessibleButtons& Buttons() { return *buttons_; }

 protected:
  // Watches the main window close: the player's error boxes close with it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReportNotificationTrouble(const std::string& why);

  bool notificationTroubleShown_ = false;
  std::unique_ptr<TopWindows> windows_;
  std::unique_ptr<AccessibleButtons> buttons_;
  std::unique_ptr<TPlayer> player_;
  TEventActions actions_;
  SpeedEvents events_;
  DialUpKeeper keeper_;
  TDialUpTimer* dialUpTimer_ = nullptr;
  QWidget* mainWindow_;
};

}  // namespace tw
