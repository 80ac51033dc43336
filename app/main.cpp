// Tarnwick: a desktop network-speed monitor.
#include <QApplication>

#include "actions/Player.h"
#include "app/EventServices.h"
#include "app/PingObject.h"
#include "platform/AccessibleButtons.h"

int main(int argc, char** argv) {
  tw::KeepSessionBusFromAutolaunching();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarnwick");
  tw::TPingObject mainWindow;
  // The long-lived windows, in their order: main window, message dialog, sound player.
  mainWindow.MsgDialog();
  mainWindow.EventServices().Player();
  mainWindow.show();
  return QApplication::exec();
}
