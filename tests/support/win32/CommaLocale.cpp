// Windows names its locales itself and ships them all: nothing is made.
#include <clocale>

#include "support/CommaLocale.h"

namespace tw::test {

std::string PrepareCommaLocale(std::string& problem) {
  for (const char* name : {"de-DE", "German_Germany.1252"}) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const bool usable = std::setlocale(LC_ALL, name) != nullptr;
    std::setlocale(LC_ALL, previous.c_str());
    if (usable) return name;
  }
  problem = "the C library knows no German locale (\"de-DE\", \"German_Germany.1252\")";
  return {};
}

}  // namespace tw::test
