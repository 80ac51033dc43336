// The minimum- and maximum-speed events of every resource: checked on each
// sampling tick with the row's current speed; all their settings and all
// their state live in the row's cells of the settings table.
#pragma once

#include <cstdint>
#include <string>

#include "monitor/ResourceTable.h"
#include "platform/Clock.h"

namespace tw {

// What an event can do; the windows side implements it (sound player,
// program start, program closing). Texts arrive cut to 255 characters.
class EventActions {
 public:
  virtual ~EventActions() = default;
  // Plays a sound file in the hidden sound player.
  virtual void PlaySoundFile(const std::string& file) = 0;
  // Starts a program; a non-empty folder becomes (and stays) the current folder.
  virtual void RunProgram(const std::string& commandLine, const std::string& folder) = 0;
  // Asks the windows of the last process running from `file` to close.
  virtual void CloseProgramByFile(const std::string& file) = 0;
  // Asks every top-level window whose title contains `title` to close.
  virtual void CloseProgramByTitle(const std::string& title) = 0;
  // Shows a desktop notification with `text`.
  virtual void ShowNotification(const std::string& text) = 0;
};

// The cells of one event of a row.
struct EventColumns {
  bool isMinimum;
  int enabled, threshold, once, timeout, action, sound, command, folder;
  int closeFile, closeTitle, enablesOther, since, performed, notifyText;
};

constexpr EventColumns kMinSpeedEvent{true,
                                      Col::PerformMinSpeed,
                                      Col::MinSpeed,
                                      Col::MinOnce,
                                      Col::MinTimeout,
                                      Col::MinAction,
                                      Col::MinSound,
                                      Col::MinCommand,
                                      Col::MinFolder,
                                      Col::MinCloseFile,
                                      Col::MinCloseTitle,
                                      Col::MinEnablesMax,
                                      Col::MinSince,
                                      Col::MinPerformed,
                                      Col::MinNotifyText};
constexpr EventColumns kMaxSpeedEvent{
    false,           Col::PerformMaxSpeed, Col::MaxSpeed,      Col::MaxOnce,
    Col::MaxTimeout, Col::MaxAction,       Col::MaxSound,      Col::MaxCommand,
    Col::MaxFolder,  Col::MaxCloseFile,    Col::MaxCloseTitle, Col::MaxEnablesMin,
    Col::MaxSince,   Col::MaxPerformed,    Col::MaxNotifyText};

// The timeout of an event in seconds: the cell as a whole number, at least 2.
int64_t EventTimeoutSeconds(const std::string& cell);

class SpeedEvents {
 public:
  SpeedEvents(ResourceTable& table, Clock& clock, EventActions& actions)
      : table_(table), clock_(clock), actions_(actions) {}

  // Checks the minimum-speed event and then the maximum-speed event of `row`
  // with the row's current speed (Kbps); performs an action that is due.
  void Check(int row, double currentSpeed);

  // Whole seconds of the monotonic tick counter: the unit of the stamps.
  int64_t NowSeconds() const;

 private:
  void CheckEvent(const EventColumns& event, const EventColumns& other, int row, double speed);
  void Perform(const EventColumns& event, int row);

  ResourceTable& table_;
  Clock& clock_;
  EventActions& actions_;
};

}  // namespace tw
