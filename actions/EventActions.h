// The actions of the speed events as the windows side performs them: the
// sound player, program start and program closing.
#pragma once

#include "actions/Player.h"
#include "monitor/SpeedEvents.h"
#include "platform/TopWindows.h"

namespace tw {

class TEventActions final : public EventActions {
 public:
  TEventActions(TPlayer& player, TopWindows& windows) : player_(player), windows_(windows) {}

  void PlaySoundFile(const std::string& file) override;
  void RunProgram(const std::string& commandLine, const std::string& folder) override;
  void CloseProgramByFile(const std::string& file) override;
  void CloseProgramByTitle(const std::string& title) override;

 private:
  TPlayer& player_;
  TopWindows& windows_;
};

}  // namespace tw
