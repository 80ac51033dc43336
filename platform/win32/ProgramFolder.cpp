#include "platform/ProgramFolder.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "platform/SafeFile.h"
#include "platform/win32/WideText.h"

namespace tw {

namespace {

// Whether a file can be made in `folder` (the file is gone again when its
// handle closes). Access lists decide on Windows, not a mode to look at.
bool CanWriteIn(const std::wstring& folder) {
  const std::wstring probe = folder + L"\\~tarnwick-write-probe.tmp";
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

}  // namespace

std::string ExecutableFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return Narrow(std::filesystem::path(path).parent_path().wstring());
}

std::string ProgramFolder() {
  if (const char* home = std::getenv("TARNWICK_HOME"); home != nullptr && *home != '\0') {
    CreatePrivateFolders(home);
    return home;
  }
  const std::string exeFolder = ExecutableFolder();
  if (CanWriteIn(Widen(exeFolder))) return exeFolder;
  // An install under "Program Files" cannot write beside its executable.
  const char* appData = std::getenv("APPDATA");
  const std::string folder =
      (appData != nullptr && *appData != '\0' ? std::string(appData)
                                              : std::filesystem::temp_directory_path().string()) +
      "\\Tarnwick";
  CreatePrivateFolders(folder);
  return folder;
}

std::string ProgramFile(const std::string& name) {
  return ProgramFolder() + "\\" + name;
}

}  // namespace tw
