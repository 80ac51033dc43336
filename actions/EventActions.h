// The actions of the speed events as the windows side performs them: the
// sound player, program start, program closing and desktop notifications.
#pragma once

#include <functional>

#include "actions/Player.h"
#include "monitor/SpeedEvents.h"
#include "platform/TopWindows.h"

namespace tw {

class TEventActions final : public EventActions {
 public:
  // `player` gives the sound player, created when first needed.
  TEventActions(std::function<TPlayer&()> player, TopWindows& windows)
      : player_(std::move(player)), windows_(windows) {}

  void PlaySoundFile(const std::string& file) override;
  void RunProgram(const std::string& commandLine, const std::string& folder) override;
  void CloseProgramByFile(const std::string& file) override;
  void CloseProgramByTitle(const std::string& title) override;
  // A notification that cannot be shown is told to `onTrouble` (if set).
  void ShowNotification(const std::string& text) override;
  void SetNotificationTrouble(std::function<void(const std::string&)> onTrouble) {
    onNotificationTrouble_ = std::move(onTrouble);
  }

 private:
  std::function<TPlayer&()> player_;
  TopWindows& windows_;
  std::function<void(const std::string&)> onNotificationTrouble_;
};

}  // namespace tw
