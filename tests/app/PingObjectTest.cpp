#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/PingObject.h"
#include "platform/fake/OffsetClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

QWidget* FindTopLevel(const QString& name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == name && w->isVisible()) return w;
  }
  return nullptr;
}

class PingObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    // Each test keeps its parameters file to itself.
    setenv("TARNWICK_HOME", home.Path().c_str(), 1);
  }
  test::TempDir home;
  OffsetClock clock;
};

TEST_F(PingObjectTest, CreatedWithCaptionButtonsAndTimers) {
  TPingObject window(clock);
  EXPECT_EQ(window.windowTitle(), "Zarezed Araru Viriz");
  EXPECT_TRUE(window.StopBtn()->isChecked());
  EXPECT_FALSE(window.StartBtn()->isChecked());
  EXPECT_EQ(window.StartBtn()->toolTip(), "Starts the test process");
  EXPECT_EQ(window.StopBtn()->toolTip(), "Stops the test process");
  EXPECT_EQ(window.PingSendTimer()->interval(), 50);
  EXPECT_FALSE(window.PingSendTimer()->isActive());
  EXPECT_EQ(window.TrendTimer()->interval(), 60000);
  EXPECT_TRUE(window.TrendTimer()->isActive());
  EXPECT_EQ(window.Table().RowCount(), 1);
  window.SetFlagWaitMs(10);
}

TEST_F(PingObjectTest, StartAndStopDriveTimerThreadsAndDelete) {
  TPingObject window(clock);
  window.SetFlagWaitMs(20);
  const int row = window.AddResourceRow("somewhere", ResourceKind::None);  // nothing to measure
  QTest::mouseClick(window.StartBtn(), Qt::LeftButton);
  EXPECT_TRUE(window.StartBtn()->isChecked());
  EXPECT_FALSE(window.StopBtn()->isChecked());
  EXPECT_TRUE(window.PingSendTimer()->isActive());
  EXPECT_FALSE(window.DeleteBtn()->isEnabled());
  // The thread's status reaches the table through the hand-over.
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.Table().Cell(4, row) == "Testing..."; }, 3000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.TickCount() >= 3; }, 3000));
  QTest::mouseClick(window.StopBtn(), Qt::LeftButton);
  EXPECT_TRUE(window.StopBtn()->isChecked());
  EXPECT_FALSE(window.PingSendTimer()->isActive());
  EXPECT_TRUE(window.DeleteBtn()->isEnabled());
  EXPECT_TRUE(window.Table().Thread(row)->IsSuspended());
  // Start after a second Stop still runs the thread.
  window.StopBtnClick();
  QTest::mouseClick(window.StartBtn(), Qt::LeftButton);
  EXPECT_FALSE(window.Table().Thread(row)->IsSuspended());
}

TEST_F(PingObjectTest, RedrawTickNeverSetsTheIcon) {
  TPingObject window(clock);
  window.SetFlagWaitMs(10);
  window.AddResourceRow("a", ResourceKind::Drive);
  EXPECT_TRUE(window.SamplingTick(TickMode::Redraw));
  EXPECT_EQ(window.SpeedIconIndexShown(), -1);
  EXPECT_TRUE(window.SamplingTick(TickMode::Tick));
  EXPECT_EQ(window.SpeedIconIndexShown(), 0);
}

TEST_F(PingObjectTest, EarlyCloseWaitsBehindPleaseWait) {
  TPingObject window(clock);
  window.SetFlagWaitMs(10);
  window.show();
  clock.AdvanceMs(3000);
  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_FALSE(window.close());
  QWidget* wait = FindTopLevel("ProgExit");
  ASSERT_NE(wait, nullptr);
  EXPECT_EQ(wait->windowTitle(), "Please wait");
  EXPECT_NE(wait->findChild<QLabel*>("WaitText"), nullptr);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 6000));
  EXPECT_GE(elapsed.elapsed(), 2900);
  EXPECT_LE(elapsed.elapsed(), 4500);
}

TEST_F(PingObjectTest, LateCloseClosesAtOnce) {
  TPingObject window(clock);
  window.SetFlagWaitMs(10);
  window.show();
  clock.AdvanceMs(6000);
  EXPECT_TRUE(window.close());
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(FindTopLevel("ProgExit"), nullptr);
}

TEST_F(PingObjectTest, CloseReleasesWorkersBlockedInHandOvers) {
  auto* window = new TPingObject(clock);
  window->SetFlagWaitMs(100);
  for (int i = 0; i < 8; ++i) window->AddResourceRow("r" + std::to_string(i), ResourceKind::None);
  window->StartBtnClick();
  // No events are processed: every worker now waits in its display update.
  clock.AdvanceMs(6000);
  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_TRUE(window->close());
  EXPECT_LT(elapsed.elapsed(), 2000);
  delete window;
}

}  // namespace
}  // namespace tw
