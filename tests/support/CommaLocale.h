// A locale that writes numbers with a decimal comma (German), for the tests
// that check that no number the program reads or writes follows the locale.
#pragma once

#include <string>

namespace tw::test {

// The name of the comma locale ("de_DE.UTF-8") once this process can switch
// to it: the system's own if it has one, else one made with localedef in a
// folder of the build (or of the temporary folder) that LOCPATH then names.
// Empty when neither works; `problem` then says why.
std::string PrepareCommaLocale(std::string& problem);

// Switches all categories of the process's C locale to the comma locale for
// its lifetime and restores the previous locale afterwards. Not for use
// while other threads run.
class CommaLocaleScope {
 public:
  CommaLocaleScope();
  ~CommaLocaleScope();
  CommaLocaleScope(const CommaLocaleScope&) = delete;
  CommaLocaleScope& operator=(const CommaLocaleScope&) = delete;

  // False when the locale could not be made; Problem() gives the reason.
  bool Active() const { return active_; }
  const std::string& Problem() const { return problem_; }

 private:
  std::string previous_;
  std::string problem_;
  bool active_ = false;
};

// True when the C library formats "%.1f" of 1.5 as "1,5" now.
bool DecimalCommaInEffect();

}  // namespace tw::test
