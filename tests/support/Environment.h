// Setting and removing the process's environment variables in tests (the
// systems name these calls differently; tests/support/<system>/ holds them).
#pragma once

#include <string>

namespace tw::test {

void SetEnvironment(const std::string& name, const std::string& value);
void UnsetEnvironment(const std::string& name);

}  // namespace tw::test
