#include "support/Environment.h"

#include <cstdlib>

namespace tw::test {

// The C library's copy of the environment is what getenv reads.
void SetEnvironment(const std::string& name, const std::string& value) {
  _putenv_s(name.c_str(), value.c_str());
}

// An empty value removes the variable.
void UnsetEnvironment(const std::string& name) {
  _putenv_s(name.c_str(), "");
}

}  // namespace tw::test
