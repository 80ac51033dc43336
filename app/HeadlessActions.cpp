#include "app/HeadlessActions.h"

#include "actions/CloseProgram.h"
#include "actions/DesktopNotifier.h"
#include "actions/RunProgram.h"

namespace tw {

HeadlessActions::HeadlessActions(Log log) : log_(std::move(log)) {}

HeadlessActions::~HeadlessActions() = default;

void HeadlessActions::Fired(const std::string& what) {
  log_("event of \"" + resource_ + "\": " + what);
}

void HeadlessActions::Once(bool& told, const std::string& line) {
  if (told) return;
  told = true;
  log_(line);
}

void HeadlessActions::PlaySoundFile(const std::string& file) {
  Fired("sound \"" + file + "\" (not played)");
  Once(soundTold_, "sounds of speed events are not played in headless mode");
}

void HeadlessActions::RunProgram(const std::string& commandLine, const std::string& folder) {
  const bool started = tw::RunProgram(commandLine, folder);
  Fired((started ? "started \"" : "could not start \"") + commandLine + "\"");
}

bool HeadlessActions::WindowsReachable() {
  if (windows_ == nullptr) windows_ = OpenTopWindows();
  if (windows_->Available()) return true;
  Once(windowsTold_, "closing programs needs a desktop; none is reachable, so it is skipped");
  return false;
}

void HeadlessActions::CloseProgramByFile(const std::string& file) {
  Fired("close the program \"" + file + "\"");
  if (WindowsReachable()) tw::CloseProgramByFile(file, *windows_);
}

void HeadlessActions::CloseProgramByTitle(const std::string& title) {
  Fired("close the windows titled \"" + title + "\"");
  if (WindowsReachable()) tw::CloseProgramByTitle(title, *windows_);
}

void HeadlessActions::ShowNotification(const std::string& text) {
  Fired("notification \"" + text + "\"");
  const std::string trouble = ShowDesktopNotification(text);
  if (!trouble.empty()) Once(notificationTold_, trouble);
}

}  // namespace tw
