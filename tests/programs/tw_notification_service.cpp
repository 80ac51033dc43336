// A stand-in for the desktop's notification service: owns
// "org.freedesktop.Notifications" on the session bus and appends every
// notification it gets to the file named by its argument, one line each:
// application, summary and body separated by "|". Prints "ready" once it
// owns the name.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>

class NotificationService : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  explicit NotificationService(QString log) : log_(std::move(log)) {}

 public slots:
  uint Notify(const QString& application, uint, const QString&, const QString& summary,
              const QString& body, const QStringList&, const QVariantMap&, int) {
    QFile file(log_);
    if (file.open(QIODevice::Append))
      file.write((application + "|" + summary + "|" + body + "\n").toUtf8());
    return ++count_;
  }

 private:
  QString log_;
  uint count_ = 0;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  NotificationService service(QString::fromLocal8Bit(argv[1]));
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject("/org/freedesktop/Notifications", &service,
                          QDBusConnection::ExportAllSlots) ||
      !bus.registerService("org.freedesktop.Notifications")) {
    std::fprintf(stderr, "cannot own the name: %s\n", qPrintable(bus.lastError().message()));
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return QCoreApplication::exec();
}

#include "tw_notification_service.moc"
