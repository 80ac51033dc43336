#include "platform/StateFolder.h"

#include <cstdlib>
#include <filesystem>

#include "platform/SafeFile.h"

namespace tw {

std::string StateFolder() {
  std::filesystem::path folder;
  if (const char* dir = std::getenv("TARNWICK_STATE_DIR"); dir != nullptr && *dir != '\0') {
    folder = dir;
  } else if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && *xdg == '/') {
    folder = std::filesystem::path(xdg) / "tarnwick";
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    folder = std::filesystem::path(home) / ".local" / "state" / "tarnwick";
  } else {
    return "";
  }
  CreatePrivateFolders(folder.string());
  return folder.string();
}

}  // namespace tw
