// Points the freedesktop lookups ($XDG_* folders, $BROWSER) at a temporary
// folder of the test's own and restores the environment afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/TempDir.h"

namespace tw::test {

class XdgSandbox {
 public:
  XdgSandbox() {
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS", "BROWSER"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name,
                          value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }
    setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", dir_.File("etc").c_str(), 1);
    setenv("XDG_DATA_HOME", dir_.File("data").c_str(), 1);
    setenv("XDG_DATA_DIRS", (dir_.File("share") + ":" + dir_.File("share2")).c_str(), 1);
    unsetenv("BROWSER");
    for (const char* sub :
         {"config", "etc", "data/applications", "share/applications", "share2/applications"}) {
      std::filesystem::create_directories(dir_.File(sub));
    }
  }
  ~XdgSandbox() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  XdgSandbox(const XdgSandbox&) = delete;
  XdgSandbox& operator=(const XdgSandbox&) = delete;

  // Writes `text` to a file below the sandbox ("config/mimeapps.list", ...).
  void Write(const std::string& relative, const std::string& text) const {
    std::ofstream(dir_.File(relative)) << text;
  }
  std::string File(const std::string& relative) const { return dir_.File(relative); }

 private:
  TempDir dir_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace tw::test
