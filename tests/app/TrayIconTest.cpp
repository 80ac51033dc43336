// The program in the system tray: its menu runs the window's commands, its
// tooltip follows the selected resource, and closing to the tray hides the
// window only while a tray is there to bring it back.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTest>

#include "app/PingObject.h"
#include "app/TrayIcon.h"
#include "platform/fake/OffsetClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    setenv("TARNWICK_HOME", home.Path().c_str(), 1);
  }

  QAction* Item(TPingObject& window, const QString& text) {
    for (QAction* action : window.Tray()->Menu()->actions()) {
      if (action->text() == text) return action;
    }
    ADD_FAILURE() << "no menu item " << text.toStdString();
    return nullptr;
  }

  test::TempDir home;
  OffsetClock clock;
};

TEST_F(TrayIconTest, TheMenuRunsTheWindowsCommandsAndTheTooltipFollowsTheSelectedRow) {
  TPingObject window(clock);
  window.SetFlagWaitMs(0);
  window.show();
  QApplication::processEvents();
  EXPECT_FALSE(window.Tray()->Icon()->icon().isNull());
  EXPECT_EQ(window.TrayToolTip(), "Tarnwick");

  window.AddResourceRow("/media/cdrom/disk.iso", ResourceKind::File);
  Item(window, "Start")->trigger();
  EXPECT_TRUE(window.SamplingRuns());
  // The file is missing: its status is the speed the tooltip shows.
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return window.Tray()->Icon()->toolTip().startsWith("Tarnwick\n\"/media/cdrom"); },
      5000))
      << window.Tray()->Icon()->toolTip().toStdString();
  Item(window, "Stop")->trigger();
  EXPECT_FALSE(window.SamplingRuns());

  window.Tray()->ShowHideAction()->trigger();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.Tray()->ShowHideAction()->text(), "Show");
  window.Tray()->ShowHideAction()->trigger();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.Tray()->ShowHideAction()->text(), "Hide");
}

TEST_F(TrayIconTest, ClosingToTheTrayHidesTheWindowOnlyWhileATrayIsThere) {
  auto window = std::make_unique<TPingObject>(clock);
  window->SetFlagWaitMs(0);
  window->show();
  QApplication::processEvents();
  window->Parameters().closeToTray = true;
  clock.AdvanceMs(6000);  // past the start-up's "Please wait"
  if (TTrayIcon::Available()) GTEST_SKIP() << "this desktop has a tray of its own";

  // No tray: a hidden window could never come back, so it closes.
  {
    TPingObject second(clock);
    second.SetFlagWaitMs(0);
    second.show();
    QApplication::processEvents();
    second.Parameters().closeToTray = true;
    clock.AdvanceMs(6000);
    EXPECT_TRUE(second.close());
  }

  QProcess host;
  host.start(QCoreApplication::applicationDirPath() + "/tw_tray_host", {});
  ASSERT_TRUE(host.waitForReadyRead(5000));
  const bool trayFound = QTest::qWaitFor(TTrayIcon::Available, 5000);
  if (trayFound) {
    EXPECT_FALSE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->TrendTimer()->isActive());  // still running
    // The tray menu's Close ends it for real.
    window->show();
    Item(*window, "Close")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 5000));
    EXPECT_FALSE(window->TrendTimer()->isActive());
  }
  host.kill();
  host.waitForFinished(5000);
  if (!trayFound) GTEST_SKIP() << "Qt did not take the stand-in tray";
}

}  // namespace
}  // namespace tw
