// One QApplication for all window tests of this program. Without an X server
// the window tests skip; the rest still runs.
#include "support/QtTestApp.h"

[[maybe_unused]] static ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new tw::test::QtTestApp);
