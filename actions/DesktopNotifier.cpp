#include "actions/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace tw {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";

bool ServiceAvailable(QDBusConnectionInterface& bus) {
  if (bus.isServiceRegistered(kService)) return true;
  // A service the bus starts on the first call counts as running.
  const QDBusReply<QStringList> startable = bus.activatableServiceNames();
  return startable.isValid() && startable.value().contains(kService);
}

}  // namespace

std::string ShowDesktopNotification(const std::string& text) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr) {
    return "Desktop notifications cannot be shown: there is no desktop session bus.";
  }
  if (!ServiceAvailable(*bus.interface())) {
    return "Desktop notifications cannot be shown: no notification service runs on the desktop.";
  }
  QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kService, "Notify");
  // Application, replaces id, icon, summary, body, actions, hints, expiry (-1: the desktop's).
  notify << QString("Tarnwick") << 0u << QString("network-wired") << QString("Tarnwick")
         << QString::fromStdString(text) << QStringList() << QVariantMap() << -1;
  if (!bus.send(notify)) {
    return "Desktop notifications cannot be shown: " + bus.lastError().message().toStdString();
  }
  return {};
}

}  // namespace tw
