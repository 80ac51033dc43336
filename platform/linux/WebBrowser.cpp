// The freedesktop way: $BROWSER when set, else the default handler of
// "x-scheme-handler/http" in the mimeapps.list files, looked up in the
// application folders for its Exec line.
#include "platform/WebBrowser.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace tw {

namespace {

constexpr size_t kMaxCommand = 255;
constexpr int kMaxLines = 5000;  // bounds the reading of a damaged file

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = text.find(separator, start);
    const std::string part = text.substr(start, end == std::string::npos ? end : end - start);
    if (!part.empty()) parts.push_back(part);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The value of `key` in `section` of an INI-like file, or empty.
std::string ReadKey(const std::string& path, const std::string& section, const std::string& key) {
  std::ifstream in(path);
  std::string line;
  bool inSection = false;
  for (int n = 0; n < kMaxLines && std::getline(in, line); ++n) {
    line = Trimmed(line);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inSection = line == "[" + section + "]";
      continue;
    }
    if (!inSection) continue;
    const size_t eq = line.find('=');
    if (eq != std::string::npos && Trimmed(line.substr(0, eq)) == key) {
      return Trimmed(line.substr(eq + 1));
    }
  }
  return "";
}

std::string HomeFolder(const char* variable, const char* fallback) {
  const std::string value = Env(variable);
  if (!value.empty()) return value;
  const std::string home = Env("HOME");
  return home.empty() ? "" : home + fallback;
}

std::vector<std::string> DataFolders() {
  std::vector<std::string> folders;
  const std::string dataHome = HomeFolder("XDG_DATA_HOME", "/.local/share");
  if (!dataHome.empty()) folders.push_back(dataHome);
  std::string dirs = Env("XDG_DATA_DIRS");
  if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
  for (const auto& dir : SplitList(dirs, ':')) folders.push_back(dir);
  return folders;
}

std::vector<std::string> MimeAppsFiles() {
  std::vector<std::string> files;
  const std::string configHome = HomeFolder("XDG_CONFIG_HOME", "/.config");
  if (!configHome.empty()) files.push_back(configHome + "/mimeapps.list");
  std::string dirs = Env("XDG_CONFIG_DIRS");
  if (dirs.empty()) dirs = "/etc/xdg";
  for (const auto& dir : SplitList(dirs, ':')) files.push_back(dir + "/mimeapps.list");
  for (const auto& dir : DataFolders()) {
    files.push_back(dir + "/applications/mimeapps.list");
    files.push_back(dir + "/applications/defaults.list");
  }
  return files;
}

bool Exists(const std::string& path) {
  return std::ifstream(path).good();
}

// The Exec line of the first listed desktop entry that exists and runs.
std::string ExecOf(const std::string& desktopIds) {
  for (const auto& id : SplitList(desktopIds, ';')) {
    if (id.find('/') != std::string::npos || id.find("..") != std::string::npos) continue;
    for (const auto& dir : DataFolders()) {
      const std::string path = dir + "/applications/" + id;
      if (!Exists(path)) continue;
      if (ReadKey(path, "Desktop Entry", "Hidden") == "true") break;
      const std::string exec = ReadKey(path, "Desktop Entry", "Exec");
      if (!exec.empty()) return exec;
      break;
    }
  }
  return "";
}

std::string Bounded(const std::string& command) {
  return command.size() <= kMaxCommand ? command : "";
}

}  // namespace

std::string WebBrowserCommand() {
  const auto fromEnv = SplitList(Env("BROWSER"), ':');
  if (!fromEnv.empty()) return Bounded(fromEnv.front());
  for (const auto& file : MimeAppsFiles()) {
    for (const char* section : {"Default Applications", "Added Associations"}) {
      const std::string ids = ReadKey(file, section, "x-scheme-handler/http");
      if (ids.empty()) continue;
      const std::string exec = ExecOf(ids);
      if (!exec.empty()) return Bounded(exec);
    }
  }
  return "";
}

}  // namespace tw
