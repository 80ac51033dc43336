#include "actions/CloseProgram.h"

#include <vector>

#include "platform/ProcessList.h"
#include "util/Text.h"

namespace tw {

bool CloseByFileOffered() {
  return ProcessListAvailable();
}

void CloseProgramByFile(const std::string& file, TopWindows& windows) {
  std::vector<ProcessEntry> processes;
  if (file.empty() || !ReadProcessList(processes)) return;
  // Letters are compared without case, ASCII only, so that file names in
  // UTF-8 are never altered byte by byte.
  const std::string wanted = AsciiUpper(file);
  int64_t pid = 0;
  for (const ProcessEntry& process : processes) {
    if (AsciiUpper(process.exeFile) == wanted) pid = process.pid;  // the last one wins
  }
  if (pid == 0) return;
  for (const TopWindow& window : windows.List()) {
    if (window.pid == pid) windows.RequestClose(window.id);
  }
}

void CloseProgramByTitle(const std::string& title, TopWindows& windows) {
  if (title.empty()) return;
  const std::string text = title.substr(0, 255);
  for (const TopWindow& window : windows.List()) {
    if (!window.title.empty() && window.title.substr(0, 255).find(text) != std::string::npos) {
      windows.RequestClose(window.id);
    }
  }
}

}  // namespace tw
