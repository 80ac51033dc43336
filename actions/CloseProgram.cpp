#include "actions/CloseProgram.h"

#include <filesystem>
#include <vector>

#include "platform/ProcessList.h"
#include "util/Text.h"

namespace tw {

namespace fs = std::filesystem;

bool CloseByFileOffered() {
  return ProcessListAvailable();
}

ExecutableName::ExecutableName(const std::string& text) {
  if (text.empty()) return;
  const fs::path path(text);
  bareName_ = !path.has_parent_path();
  if (bareName_) {
    wanted_ = AsciiUpper(text);
    return;
  }
  // The system reports executables with every link resolved; the text is
  // resolved the same way, as far as it exists (a file named in another
  // letter case does not, and is compared in that resolved form).
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(path, error);
  if (error) resolved = fs::absolute(path, error).lexically_normal();
  wanted_ = AsciiUpper(resolved.string());
}

bool ExecutableName::Matches(const std::string& exeFile) const {
  if (wanted_.empty() || exeFile.empty()) return false;
  // Letters are compared without case, ASCII only, so that file names in
  // UTF-8 are never altered byte by byte.
  if (bareName_) return AsciiUpper(fs::path(exeFile).filename().string()) == wanted_;
  return AsciiUpper(exeFile) == wanted_;
}

void CloseProgramByFile(const std::string& file, TopWindows& windows) {
  const ExecutableName wanted(file);
  std::vector<ProcessEntry> processes;
  if (wanted.Empty() || !ReadProcessList(processes)) return;
  int64_t pid = 0;
  for (const ProcessEntry& process : processes) {
    if (wanted.Matches(process.exeFile)) pid = process.pid;  // the last one wins
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
