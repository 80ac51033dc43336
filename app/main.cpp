// Tarnwick: a desktop network-speed monitor.
#include <QApplication>

#include "app/PingObject.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarnwick");
  tw::TPingObject mainWindow;
  mainWindow.MsgDialog();  // the shared message dialog, made right after the main window
  mainWindow.show();
  return QApplication::exec();
}
