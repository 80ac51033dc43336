#include <cstdlib>
#include <filesystem>

#include "platform/StateFolder.h"

namespace tw {

std::string SystemStateFolder() {
  if (const char* local = std::getenv("LOCALAPPDATA"); local != nullptr && *local != '\0') {
    return (std::filesystem::path(local) / "Tarnwick").string();
  }
  return "";
}

}  // namespace tw
