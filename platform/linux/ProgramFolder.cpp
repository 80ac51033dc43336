#include "platform/ProgramFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/SafeFile.h"

namespace tw {

std::string ExecutableFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error).string();
  return exe.parent_path().string();
}

std::string ProgramFolder() {
  if (const char* home = std::getenv("TARNWICK_HOME"); home != nullptr && *home != '\0') {
    CreatePrivateFolders(home);
    return home;
  }
  const std::string exeFolder = ExecutableFolder();
  if (access(exeFolder.c_str(), W_OK) == 0) return exeFolder;
  // A system-wide install cannot write beside its executable.
  std::filesystem::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
    config = xdg;
  } else if (const char* user = std::getenv("HOME"); user != nullptr && *user != '\0') {
    config = std::filesystem::path(user) / ".config";
  } else {
    config = std::filesystem::temp_directory_path();
  }
  config /= "tarnwick";
  CreatePrivateFolders(config.string());
  return config.string();
}

std::string ProgramFile(const std::string& name) {
  return ProgramFolder() + "/" + name;
}

}  // namespace tw
