#include "platform/FolderRoots.h"

#include <windows.h>

#include <cstring>

namespace tw {

std::vector<std::string> FileSystemRoots() {
  std::vector<std::string> roots;
  char buffer[512] = {};
  const DWORD length = GetLogicalDriveStringsA(sizeof buffer - 1, buffer);
  for (const char* drive = buffer; drive < buffer + length && *drive != '\0';
       drive += std::strlen(drive) + 1) {
    roots.emplace_back(drive);
  }
  return roots;
}

std::string MountTableText() {
  return {};
}

bool FileNamesIgnoreCase() {
  return true;
}

}  // namespace tw
