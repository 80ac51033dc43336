// The QApplication that window tests need, made once per test program.
#pragma once

#include <QApplication>

namespace tw::test {

inline QApplication& App() {
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
  static int argc = 1;
  static char name[] = "tarnwick-test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace tw::test
