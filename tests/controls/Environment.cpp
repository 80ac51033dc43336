#include "support/QtTestApp.h"

// Registered before main() runs the tests.
static ::testing::Environment* const kQtApp =
    ::testing::AddGlobalTestEnvironment(new tw::test::QtTestApp);
