#include "platform/ProgramFolder.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>

namespace tw {

std::string ExecutableFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(std::wstring(path, length)).parent_path().string();
}

std::string ProgramFolder() {
  if (const char* home = std::getenv("TARNWICK_HOME"); home != nullptr && *home != '\0')
    return home;
  return ExecutableFolder();
}

std::string ProgramFile(const std::string& name) {
  return ProgramFolder() + "\\" + name;
}

}  // namespace tw
