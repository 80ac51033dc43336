// A home folder of the test's own: HOME, XDG_CONFIG_HOME and USER point
// into a temporary folder while it lives, and are restored afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/Environment.h"
#include "support/TempDir.h"

namespace tw::test {

// Points HOME, XDG_CONFIG_HOME and USER at a folder of the test's own.
class HomeSandbox {
 public:
  HomeSandbox() {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "USER"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    test::SetEnvironment("HOME", dir_.Path().c_str());
    test::SetEnvironment("XDG_CONFIG_HOME", dir_.File(".config").c_str());
    test::SetEnvironment("USER", "tester");
  }
  ~HomeSandbox() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        test::SetEnvironment(name, value->c_str());
      } else {
        test::UnsetEnvironment(name);
      }
    }
  }
  // Writes a file below the home folder, making its folders.
  std::string Write(const std::string& relative, const std::string& text = "x") const {
    const std::string path = dir_.File(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::string File(const std::string& relative) const { return dir_.File(relative); }

 private:
  TempDir dir_;
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

}  // namespace tw::test
