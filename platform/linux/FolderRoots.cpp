#include "platform/FolderRoots.h"

#include "platform/Bookmarks.h"

namespace tw {

std::vector<std::string> FileSystemRoots() {
  return {"/"};
}

std::string MountTableText() {
  // A mount table of a few thousand lines is far below this.
  return ReadForeignFile("/proc/self/mounts", 1u << 20).value_or(std::string());
}

bool FileNamesIgnoreCase() {
  return false;
}

}  // namespace tw
