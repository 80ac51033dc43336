// The one QApplication of the window test program, made on first use.
#pragma once

#include <QApplication>

#include "app/FirstStartWizard.h"
#include "platform/AccessibleButtons.h"
#include "support/TempDir.h"

namespace tw::test {

inline QApplication& ChartsGuiApp() {
  IsolateProgramFolder();
  KeepSessionBusFromAutolaunching();
  // Windows started without a parameters file must not stop at the wizard.
  SetFirstStartWizardEnabled(false);
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  static QApplication* app = QApplication::instance()
                                 ? qobject_cast<QApplication*>(QApplication::instance())
                                 : new QApplication(argc, argv);
  return *app;
}

}  // namespace tw::test
