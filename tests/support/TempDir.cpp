#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tw::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace tw::test

namespace tw::test {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void IsolateProgramFolder() {
  static TempDir folder;
  static const bool done = [] {
    setenv("TARNWICK_HOME", (folder.Path() + "/home").c_str(), 1);
    setenv("TARNWICK_STATE_DIR", (folder.Path() + "/state").c_str(), 1);
    return true;
  }();
  (void)done;
}

}  // namespace tw::test
