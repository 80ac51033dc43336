#include "actions/EventActions.h"

#include "actions/CloseProgram.h"
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

}  // namespace tw
