#include "support/CommaLocale.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tw::test {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLocaleName = "de_DE.UTF-8";

bool Usable(const char* name) {
  const locale_t probe = newlocale(LC_ALL_MASK, name, nullptr);
  if (probe == nullptr) return false;
  freelocale(probe);
  return true;
}

// Generated locales live beside the test programs, so that they are made
// once per build folder.
fs::path LocaleFolder() {
  if (const char* bin = std::getenv("TARNWICK_BIN_DIR"); bin != nullptr && *bin != '\0')
    return fs::path(bin).parent_path() / "test-locales";
  return fs::temp_directory_path() / ("tarnwick-test-locales-" + std::to_string(getuid()));
}

// Runs localedef into a private folder and moves the result into place, so
// that a test running at the same time never sees half a locale.
bool Generate(const fs::path& folder, std::string& problem) {
  const fs::path scratch = folder / ("making-" + std::to_string(getpid()));
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  fs::create_directories(scratch, ignored);
  const std::string output = (scratch / kLocaleName).string();
  const pid_t child = fork();
  if (child == 0) {
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    execlp("localedef", "localedef", "-i", "de_DE", "-f", "UTF-8", output.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = -1;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
    status = WEXITSTATUS(status);
  // localedef may end with status 1 for mere warnings: the files decide.
  const bool made = fs::exists(fs::path(output) / "LC_NUMERIC", ignored);
  if (made) fs::rename(output, folder / kLocaleName, ignored);
  fs::remove_all(scratch, ignored);
  if (!made) {
    problem = "localedef -i de_DE -f UTF-8 failed (status " + std::to_string(status) +
              "); the Debian package \"locales\" provides it";
  }
  return made;
}

}  // namespace

std::string PrepareCommaLocale(std::string& problem) {
  if (Usable(kLocaleName)) return kLocaleName;
  const fs::path folder = LocaleFolder();
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    problem = "cannot make " + folder.string() + ": " + error.message();
    return {};
  }
  // One test process makes the locale; the others wait for it.
  const int lock = open((folder / ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
  if (lock >= 0) flock(lock, LOCK_EX);
  const bool ready =
      fs::exists(folder / kLocaleName / "LC_NUMERIC", error) || Generate(folder, problem);
  if (lock >= 0) close(lock);
  if (!ready) return {};
  setenv("LOCPATH", folder.c_str(), 1);
  if (!Usable(kLocaleName)) {
    problem = "the locale made in " + folder.string() + " does not load";
    return {};
  }
  return kLocaleName;
}

}  // namespace tw::test

// glibc keeps the locale search path it builds from LOCPATH in memory that
// it never frees; the leak checker of the sanitizer builds must not blame
// the tests that use the generated locale for it.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:__argz_add_sep\n";
}
