// The comma locale's scope, alike on every system; how the locale is found
// or made is the system's own (tests/support/<system>/CommaLocale.cpp).
#include "support/CommaLocale.h"

#include <clocale>
#include <cstdio>

namespace tw::test {

CommaLocaleScope::CommaLocaleScope() {
  const std::string name = PrepareCommaLocale(problem_);
  if (name.empty()) return;
  previous_ = std::setlocale(LC_ALL, nullptr);
  active_ = std::setlocale(LC_ALL, name.c_str()) != nullptr && DecimalCommaInEffect();
  if (!active_) problem_ = "the locale " + name + " does not write a decimal comma";
}

CommaLocaleScope::~CommaLocaleScope() {
  if (!previous_.empty()) std::setlocale(LC_ALL, previous_.c_str());
}

bool DecimalCommaInEffect() {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 1.5);
  return std::string(text) == "1,5";
}

}  // namespace tw::test
