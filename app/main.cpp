// Tarnwick: a desktop network-speed monitor.
#include <QApplication>

#include "app/PingObject.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarnwick");
  tw::TPingObject mainWindow;
  mainWindow.show();
  return QApplication::exec();
}
