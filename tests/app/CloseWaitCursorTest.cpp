// Closing right after the start waits behind "Please wait": the hourglass
// shows for the whole wait and is gone once the window has closed.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>

#include "app/PingObject.h"
#include "platform/fake/OffsetClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

bool PleaseWaitShown() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == "ProgExit" && w->isVisible()) return true;
  }
  return false;
}

bool Hourglass() {
  const QCursor* cursor = QApplication::overrideCursor();
  return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

TEST(CloseWaitCursor, HourglassShowsDuringPleaseWaitAndGoesAfterTheClose) {
  test::EnsureQtApp();
  test::TempDir home;
  setenv("TARNWICK_HOME", home.Path().c_str(), 1);
  OffsetClock clock;
  TPingObject window(clock);
  window.SetFlagWaitMs(10);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_FALSE(Hourglass());
  auto* closeBtn = window.findChild<QAbstractButton*>("CloseBtn");
  ASSERT_NE(closeBtn, nullptr);
  QTest::mouseClick(closeBtn, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor(PleaseWaitShown, 2000));
  // Half a second into the wait, and again near its end.
  QTest::qWait(500);
  EXPECT_TRUE(Hourglass());
  QTest::qWait(2000);
  EXPECT_TRUE(!PleaseWaitShown() || Hourglass());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 6000));
  QTest::qWait(50);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tw
