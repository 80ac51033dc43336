#include "support/TempDir.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "support/Environment.h"

namespace tw::test {

TempDir::TempDir() {
  // create_directory reports whether it made the folder, so a name another
  // process took first is never shared.
  std::random_device seed;
  std::mt19937_64 random(
      seed() ^ static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate = base / ("tarnwick-test-" + std::to_string(random() % 1000000000));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      std::filesystem::permissions(candidate, std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::replace, error);
      path_ = candidate.generic_string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
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
    SetEnvironment("TARNWICK_HOME", (folder.Path() + "/home").c_str());
    SetEnvironment("TARNWICK_STATE_DIR", (folder.Path() + "/state").c_str());
    return true;
  }();
  (void)done;
}

}  // namespace tw::test
