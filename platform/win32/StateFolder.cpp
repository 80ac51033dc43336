#include "platform/StateFolder.h"

#include <cstdlib>
#include <filesystem>

namespace tw {

std::string StateFolder() {
  std::filesystem::path folder;
  if (const char* dir = std::getenv("TARNWICK_STATE_DIR"); dir != nullptr && *dir != '\0') {
    folder = dir;
  } else if (const char* local = std::getenv("LOCALAPPDATA"); local != nullptr && *local != '\0') {
    folder = std::filesystem::path(local) / "Tarnwick";
  } else {
    return "";
  }
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return folder.string();
}

}  // namespace tw
