// Help as a user meets it in a freshly started main window: F1 opens the
// contents wherever the keyboard focus is.
#include <gtest/gtest.h>

#include <QTest>
#include <QWindow>

#include "actions/Player.h"
#include "app/EventServices.h"
#include "app/PingObject.h"
#include "dialogs/Help.h"
#include "platform/fake/OffsetClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "util/HelpIds.h"

namespace tw {
namespace {

class WindowHelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X server (DISPLAY is not set)";
    setenv("TARNWICK_HOME", home.Path().c_str(), 1);
  }
  test::TempDir home;
  OffsetClock clock;
};

TEST_F(WindowHelpTest, F1OpensTheContentsInTheMainWindowAndThePlayer) {
  TPingObject window(clock);
  window.SetFlagWaitMs(10);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_EQ(window.Help().Window(), nullptr);
  // Through the window system, to whichever control has the focus.
  QTest::keyClick(window.windowHandle(), Qt::Key_F1);
  ASSERT_NE(window.Help().Window(), nullptr);
  EXPECT_TRUE(window.Help().Window()->isVisible());
  EXPECT_EQ(window.Help().CurrentTopic(), HelpTopicName::MainIndex);

  window.Help().JumpToTopic(HelpTopicName::Copy);
  TPlayer& player = window.EventServices().Player();
  player.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&player));
  QTest::keyClick(player.windowHandle(), Qt::Key_F1);
  EXPECT_EQ(window.Help().CurrentTopic(), HelpTopicName::MainIndex);
  player.hide();
  window.Help().Quit();
}

}  // namespace
}  // namespace tw
