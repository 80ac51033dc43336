// The actions of the speed events when the program runs without a window:
// programs are started and closed and notifications shown as the window
// does, each one logged; sounds are not played (there is no one to hear
// them), which the log says once.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "monitor/SpeedEvents.h"
#include "platform/TopWindows.h"

namespace tw {

class HeadlessActions final : public EventActions {
 public:
  using Log = std::function<void(const std::string&)>;
  explicit HeadlessActions(Log log);
  ~HeadlessActions() override;

  // The resource whose events are checked now; it names the log lines.
  void SetResource(const std::string& name) { resource_ = name; }

  void PlaySoundFile(const std::string& file) override;
  void RunProgram(const std::string& commandLine, const std::string& folder) override;
  void CloseProgramByFile(const std::string& file) override;
  void CloseProgramByTitle(const std::string& title) override;
  void ShowNotification(const std::string& text) override;

 private:
  void Fired(const std::string& what);
  // Closing needs the desktop's windows; false (told once) without them.
  bool WindowsReachable();
  void Once(bool& told, const std::string& line);

  Log log_;
  std::string resource_;
  std::unique_ptr<TopWindows> windows_;  // connected on first use
  bool soundTold_ = false;
  bool windowsTold_ = false;
  bool notificationTold_ = false;
};

}  // namespace tw
