#include "platform/StateFolder.h"

#include <cstdlib>

#include "platform/SafeFile.h"

namespace tw {

std::string StateFolder() {
  std::string folder;
  if (const char* dir = std::getenv("TARNWICK_STATE_DIR"); dir != nullptr && *dir != '\0') {
    folder = dir;
  } else {
    folder = SystemStateFolder();
  }
  if (!folder.empty()) CreatePrivateFolders(folder);
  return folder;
}

}  // namespace tw
