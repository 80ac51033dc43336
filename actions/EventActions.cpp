#include "actions/EventActions.h"

#include "actions/CloseProgram.h"
#include "actions/DesktopNotifier.h"
#include "actions/RunProgram.h"

namespace tw {

void TEventActions::PlaySoundFile(const std::string& file) {
  player_().PlaySoundFile(file);
}

void TEventActions::RunProgram(const std::string& commandLine, const std::string& folder) {
  tw::RunProgram(commandLine, folder);
}

void TEventActions::CloseProgramByFile(const std::string& file) {
  tw::CloseProgramByFile(file, windows_);
}

void TEventActions::CloseProgramByTitle(const std::string& title) {
  tw::CloseProgramByTitle(title, windows_);
}

void TEventActions::ShowNotification(const std::string& text) {
  const std::string trouble = ShowDesktopNotification(text);
  if (!trouble.empty() && onNotificationTrouble_) onNotificationTrouble_(trouble);
}

}  // namespace tw
