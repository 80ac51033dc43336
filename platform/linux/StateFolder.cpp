#include <cstdlib>
#include <filesystem>

#include "platform/StateFolder.h"

namespace tw {

std::string SystemStateFolder() {
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && *xdg == '/') {
    return (std::filesystem::path(xdg) / "tarnwick").string();
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return (std::filesystem::path(home) / ".local" / "state" / "tarnwick").string();
  }
  return "";
}

}  // namespace tw
