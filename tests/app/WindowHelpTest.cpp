// Help as a user meets it in a freshly started main window: F1 opens the
// contents wherever the keyboard focus is, and the help names only controls
// the window has.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <QWindow>
#include <optional>
#include <set>

#include "actions/Player.h"
#include "app/EventServices.h"
#include "app/PingObject.h"
#include "dialogs/Help.h"
#include "platform/fake/OffsetClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "util/HelpFile.h"
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

// The names of the main window's controls as a user reads them: captions
// (without the "&" of the accelerator), hints, and the status table's column
// titles.
QStringList ControlNames(TPingObject& window) {
  QStringList names;
  const auto add = [&](QString text) {
    text.remove('&');
    if (!text.isEmpty()) names << text.toLower();
  };
  for (QWidget* child : window.findChildren<QWidget*>()) {
    if (auto* button = qobject_cast<QAbstractButton*>(child)) add(button->text());
    if (auto* label = qobject_cast<QLabel*>(child)) add(label->text());
    add(child->toolTip());
  }
  for (int col = 1; col <= 4; ++col) add(QString::fromStdString(window.Table().Cell(col, 0)));
  return names;
}

// Help names controls in bold. Every control named by the topics about the
// main window (and by the topics its controls pop up) is there in a fresh
// window: help describes what the window has, not buttons still to come.
TEST_F(WindowHelpTest, EveryControlTheMainWindowHelpNamesExists) {
  TPingObject window(clock);
  window.SetFlagWaitMs(10);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const std::optional<HelpFile> file = HelpFile::Load(window.Help().HelpFilePath().toStdString());
  ASSERT_TRUE(file.has_value());

  std::set<const HelpTopic*> topics;
  for (const char* name : {"MainWindow", "StatusTableTopic", "LiveChartTopic", "TrendChartTopic"}) {
    const HelpTopic* topic = file->FindTopic(name);
    ASSERT_NE(topic, nullptr) << name;
    topics.insert(topic);
  }
  for (QWidget* child : window.findChildren<QWidget*>()) {
    if (const HelpTopic* topic = file->FindContext(HelpContextOf(child))) topics.insert(topic);
  }
  for (const int context : {HelpContext::Legend, HelpContext::Chart, HelpContext::StatusTable,
                            HelpContext::StatusTableHeader}) {
    if (const HelpTopic* topic = file->FindContext(context)) topics.insert(topic);
  }
  EXPECT_GE(topics.size(), 10u);

  const QStringList names = ControlNames(window);
  int named = 0;
  for (const HelpTopic* topic : topics) {
    for (const HelpBlock& block : topic->blocks) {
      for (const HelpSpan& span : block.spans) {
        if (!span.bold) continue;
        ++named;
        EXPECT_TRUE(names.contains(QString::fromStdString(span.text).toLower()))
            << "\"" << span.text << "\" in topic " << topic->name;
      }
    }
  }
  EXPECT_GE(named, 10);
  // The scale strip's top shows the unit, as its topic says.
  const HelpTopic* legend = file->FindContext(HelpContext::Legend);
  ASSERT_NE(legend, nullptr);
  EXPECT_NE(HelpTopicToHtml(*legend).find("KBps"), std::string::npos);
}

}  // namespace
}  // namespace tw
