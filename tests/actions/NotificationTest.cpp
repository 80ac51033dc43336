// Desktop notifications go to the notification service on the session bus
// (a stand-in started by the test); without one the user is told, once.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QMessageBox>

#include "ActionsTestSupport.h"
#include "actions/DesktopNotifier.h"
#include "app/EventServices.h"
#include "app/PingObject.h"
#include "support/TempDir.h"

namespace tw {
namespace {

constexpr const char* kService = "org.freedesktop.Notifications";

bool ServiceRegistered() {
  QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
  return bus != nullptr && bus->isServiceRegistered(kService).value();
}

class NotificationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QDBusConnection::sessionBus().isConnected()) {
      GTEST_SKIP() << "no session bus (the test script starts one)";
    }
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    const QStringList startable = bus->activatableServiceNames().value();
    if (ServiceRegistered() || startable.contains(kService)) {
      GTEST_SKIP() << "this desktop has a notification service of its own";
    }
  }

  // Starts the stand-in service; it records into `log`.
  std::unique_ptr<test::Child> StartService() {
    auto child = std::make_unique<test::Child>(test::TestProgram("tw_notification_service"),
                                               QStringList{QString::fromStdString(log)});
    EXPECT_TRUE(test::WaitFor(ServiceRegistered, 10000));
    return child;
  }

  test::TempDir dir;
  const std::string log = dir.File("notifications");
};

TEST_F(NotificationTest, ANotificationReachesTheServiceAndItsAbsenceIsNamed) {
  const std::string missing = ShowDesktopNotification("nobody listens");
  EXPECT_NE(missing.find("no notification service"), std::string::npos) << missing;

  auto service = StartService();
  EXPECT_EQ(ShowDesktopNotification("Link slow: 12.50 Kbps"), "");
  ASSERT_TRUE(test::WaitFor([&] { return !test::RecordLines(log).isEmpty(); }, 10000));
  EXPECT_EQ(test::RecordLines(log), (QList<QByteArray>{"Tarnwick|Tarnwick|Link slow: 12.50 Kbps"}));
}

TEST_F(NotificationTest, ASpeedEventShowsItsNotificationAndAMissingServiceIsToldOnce) {
  TPingObject window;
  window.SetFlagWaitMs(0);
  const int row = window.AddResourceRow(dir.File("missing.iso"), ResourceKind::File);
  ResourceTable& table = window.Table();
  table.SetCell(Col::PerformMinSpeed, row, "1");
  table.SetCell(Col::MinOnce, row, "0");  // every time
  table.SetCell(Col::MinAction, row, "3");
  table.SetCell(Col::MinNotifyText, row, "Share too slow");
  SpeedEvents& events = window.EventServices().Events();
  const auto fire = [&] {
    table.SetCell(Col::MinSince, row, std::to_string(events.NowSeconds() - 10));
    events.Check(row, 0);
  };

  for (int i = 0; i < 3; ++i) fire();
  QApplication::processEvents();
  const QList<QMessageBox*> boxes = window.findChildren<QMessageBox*>("NotificationTrouble");
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_TRUE(boxes[0]->text().contains("no notification service"));
  boxes[0]->close();

  auto service = StartService();
  fire();
  ASSERT_TRUE(test::WaitFor([&] { return !test::RecordLines(log).isEmpty(); }, 10000));
  EXPECT_EQ(test::RecordLines(log), (QList<QByteArray>{"Tarnwick|Tarnwick|Share too slow"}));
}

}  // namespace
}  // namespace tw
