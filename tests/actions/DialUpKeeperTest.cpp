// The dial-up keeper against real dialog boxes: real processes on the test X
// server, their buttons pressed through the real accessibility bus.
#include <gtest/gtest.h>

#include "ActionsTestSupport.h"
#include "app/DialUpTimer.h"
#include "monitor/DialUpKeeper.h"
#include "platform/AccessibleButtons.h"
#include "support/TempDir.h"

namespace tw {
namespace {

using test::Child;
using test::CountLines;
using test::WaitFor;

class DialUpKeeperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveDisplay()) GTEST_SKIP() << "no X server (DISPLAY is not set)";
    windows = OpenTopWindows();
    if (!windows->Available()) GTEST_SKIP() << "the X server cannot be reached";
    buttons = OpenAccessibleButtons();
    buttons->WaitIdle(15000);
    if (!buttons->Available()) {
      GTEST_SKIP() << "the AT-SPI accessibility bus cannot be reached (needs a D-Bus session "
                      "with at-spi2-core)";
    }
  }

  // Starts a dialog and waits until its window is there.
  std::unique_ptr<Child> Dialog(const std::string& title, const std::string& button,
                                const std::string& record, const std::string& label = "",
                                int count = 1) {
    QStringList arguments{QString::fromStdString(title), QString::fromStdString(button),
                          QString::fromStdString(record), QString::fromStdString(label),
                          QString::number(count)};
    auto child = std::make_unique<Child>(test::TestProgram("tw_connect_dialog"), arguments);
    EXPECT_TRUE(test::WaitForWindow(*windows, title)) << title;
    return child;
  }

  test::TempDir dir;
  std::unique_ptr<TopWindows> windows;
  std::unique_ptr<AccessibleButtons> buttons;
};

// One test on purpose: the keeper presses every matching window on the
// screen, so the dialogs of its cases must not meet those of a parallel run.
TEST_F(DialUpKeeperTest, PressesMatchingDialogsOnly) {
  const std::string mine = dir.File("mine"), backup = dir.File("backup");
  const std::string lower = dir.File("lower"), noButton = dir.File("nobutton");
  const std::string labelFirst = dir.File("labelfirst");
  auto a = Dialog("Connect To My Provider", "&Connect", mine);
  auto b = Dialog("Connect To Backup Provider", "&Connect", backup);
  auto c = Dialog("connect to my provider", "&Connect", lower);
  auto d = Dialog("Reestablish Connection", "&Reconnect", noButton);
  // A label before the button whose text contains the button text takes the
  // press instead, and the search in that dialog stops there.
  auto e = Dialog("Connect To Label First", "&Connect", labelFirst, "Connect by modem");
  // Two dialogs of one program with one title: each is pressed.
  const std::string twins = dir.File("twins");
  auto f = Dialog("Connect To Twin Provider", "&Connect", twins, "", 2);
  const auto bothTwins = [&] {
    return CountLines(twins, "pressed 1") > 0 && CountLines(twins, "pressed 2") > 0;
  };

  DialUpKeeper keeper(*windows, *buttons);
  ConnectWindowsTable& table = keeper.Table();
  table.SetRowCount(3);
  table.SetCell(0, 1, "Connect To");
  table.SetCell(1, 1, "Connect");
  table.SetCell(0, 2, "Reestablish Connection");
  table.SetCell(1, 2, "");  // an empty button text never presses

  // The real timer runs the keeper until both matching dialogs have been
  // pressed (the accessibility bus learns of new programs after a moment).
  TDialUpTimer timer(keeper);
  timer.SetIntervalMs(300);
  timer.SetEnabled(true);
  ASSERT_TRUE(timer.Running());
  ASSERT_TRUE(WaitFor(
      [&] {
        return CountLines(mine, "pressed") > 0 && CountLines(backup, "pressed") > 0 && bothTwins();
      },
      30000))
      << "pressed: mine " << CountLines(mine, "pressed") << ", backup "
      << CountLines(backup, "pressed") << ", twins " << CountLines(twins, "pressed 1") << "+"
      << CountLines(twins, "pressed 2");
  timer.SetEnabled(false);
  ASSERT_TRUE(buttons->WaitIdle(10000));
  WaitFor([] { return false; }, 300);

  // One tick presses every matching dialog once.
  const int mineBefore = CountLines(mine, "pressed");
  const int backupBefore = CountLines(backup, "pressed");
  const int twin1Before = CountLines(twins, "pressed 1");
  const int twin2Before = CountLines(twins, "pressed 2");
  keeper.DialUpTimerTimer();
  ASSERT_TRUE(buttons->WaitIdle(10000));
  EXPECT_TRUE(WaitFor(
      [&] {
        return CountLines(mine, "pressed") == mineBefore + 1 &&
               CountLines(backup, "pressed") == backupBefore + 1 &&
               CountLines(twins, "pressed 1") == twin1Before + 1 &&
               CountLines(twins, "pressed 2") == twin2Before + 1;
      },
      5000));
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(CountLines(mine, "pressed"), mineBefore + 1);
  EXPECT_EQ(CountLines(backup, "pressed"), backupBefore + 1);
  EXPECT_EQ(CountLines(twins, "pressed 1"), twin1Before + 1);
  EXPECT_EQ(CountLines(twins, "pressed 2"), twin2Before + 1);

  // The title match is case-sensitive; an empty button text presses nothing;
  // no other control of a matching dialog was pressed.
  EXPECT_EQ(CountLines(lower, "pressed"), 0);
  EXPECT_EQ(CountLines(noButton, "pressed"), 0);
  EXPECT_EQ(CountLines(labelFirst, "pressed"), 0);
  EXPECT_EQ(CountLines(mine, "cancelled"), 0);
}

TEST(DialUpTimer, OnlyOnWithAPeriodAboveZero) {
  std::unique_ptr<TopWindows> windows = OpenTopWindows();
  std::unique_ptr<AccessibleButtons> buttons = OpenAccessibleButtons();
  DialUpKeeper keeper(*windows, *buttons);
  TDialUpTimer timer(keeper);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.IntervalMs(), 3000);
  EXPECT_FALSE(timer.Running());
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Running());
  timer.SetIntervalMs(0);  // never fires
  EXPECT_TRUE(timer.Enabled());
  EXPECT_FALSE(timer.Running());
  timer.SetIntervalMs(5000);
  EXPECT_TRUE(timer.Running());
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
}

}  // namespace
}  // namespace tw
